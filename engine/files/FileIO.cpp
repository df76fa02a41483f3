#include "engine/files/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;
} // namespace

bool FileIO::readWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxSize)
{
    out.clear();
    FilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        return false;
    }
    struct stat info {};
    if (fstat(fileno(f.get()), &info) != 0) {
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        errno = EISDIR;
        return false;
    }
    if (static_cast<unsigned long long>(info.st_size) > maxSize) {
        errno = EFBIG;
        return false;
    }
    out.resize(static_cast<std::size_t>(info.st_size));
    if (!out.empty() && std::fread(out.data(), 1, out.size(), f.get()) != out.size()) {
        if (!std::ferror(f.get())) {
            errno = EIO; // the file shrank while we read it
        }
        out.clear();
        return false;
    }
    return true;
}

bool FileIO::writeFileReplacing(const std::string& path, const void* data, std::size_t size)
{
    const std::string temporary = path + ".tmp";
    FilePtr f(std::fopen(temporary.c_str(), "wb"));
    if (!f) {
        return false;
    }
    bool ok = size == 0 || std::fwrite(data, 1, size, f.get()) == size;
    ok = std::fflush(f.get()) == 0 && ok;
    ok = fsync(fileno(f.get())) == 0 && ok;
    ok = std::fclose(f.release()) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int saved = errno;
        std::remove(temporary.c_str());
        errno = saved;
        return false;
    }
    return true;
}

std::string FileIO::joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}
