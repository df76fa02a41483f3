#include "engine/files/FileIO.h"

#include <cerrno>
#include <chrono>
#include <cstdio>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* TEMPORARY_SUFFIX = ".tmp";

// A file descriptor closed at the end of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor()
    {
        if (fd >= 0) {
            const int saved = errno;
            ::close(fd);
            errno = saved;
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd; }
    // Closes now, reporting a failed close (a delayed write error).
    bool close()
    {
        const int result = ::close(fd);
        fd = -1;
        return result == 0;
    }

private:
    int fd;
};

bool writeAll(int fd, const std::uint8_t* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

bool FileIO::readWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxSize)
{
    out.clear();
    // Without O_NONBLOCK opening a FIFO would wait for a writer.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        return false;
    }
    struct stat info {};
    if (fstat(fd.get(), &info) != 0) {
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    if (static_cast<unsigned long long>(info.st_size) > maxSize) {
        errno = EFBIG;
        return false;
    }
    out.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::read(fd.get(), out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO; // the file shrank while we read it
            }
            out.clear();
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string FileIO::followLinks(const std::string& path)
{
    std::string current = path;
    // As many links as the system itself follows.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
        const ssize_t n = readlink(current.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) {
            return current;
        }
        target.resize(static_cast<std::size_t>(n));
        current = target[0] == '/' ? target : joinPath(folderOf(current), target);
    }
    return current;
}

namespace {
// Writes the bytes to an open file and flushes them to the disk; the file is closed either way.
bool writeAndSync(Descriptor& fd, const void* data, std::size_t size)
{
    bool ok = writeAll(fd.get(), static_cast<const std::uint8_t*>(data), size);
    ok = ok && fsync(fd.get()) == 0;
    return fd.close() && ok;
}

// A new file beside `path` under a name no other writer uses (this process's id and the clock), ending as the
// leftovers of an interrupted write do, made with the mode any new file of the folder gets; -1 when none
// could be made.
int openTemporaryOfItsOwn(const std::string& path, std::string& temporary)
{
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = path + "." + std::to_string(getpid()) + "-" + std::to_string(tick + attempt) + TEMPORARY_SUFFIX;
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// The rename or link of a file reaches the disk only with its folder.
void syncFolder(const std::string& path)
{
    Descriptor folder(::open(FileIO::folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) {
        fsync(folder.get());
    }
}
} // namespace

bool FileIO::writeFileReplacing(const std::string& path, const void* data, std::size_t size)
{
    const std::string target = followLinks(path);
    const std::string temporary = target + TEMPORARY_SUFFIX;
    {
        Descriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
        if (fd.get() < 0) {
            return false;
        }
        if (!writeAndSync(fd, data, size) || std::rename(temporary.c_str(), target.c_str()) != 0) {
            const int saved = errno;
            std::remove(temporary.c_str());
            errno = saved;
            return false;
        }
    }
    syncFolder(target);
    return true;
}

bool FileIO::writeFileExclusive(const std::string& path, const void* data, std::size_t size)
{
    std::string temporary;
    Descriptor fd(openTemporaryOfItsOwn(path, temporary));
    if (fd.get() < 0) {
        return false;
    }
    bool ok = writeAndSync(fd, data, size) && ::link(temporary.c_str(), path.c_str()) == 0;
    const int err = errno;
    std::remove(temporary.c_str());
    if (!ok && (err == EPERM || err == EOPNOTSUPP || err == ENOSYS)) {
        // A file system without links: the file is made under its name, which must be free; a part
        // written there is taken away again.
        Descriptor direct(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (direct.get() < 0) {
            return false;
        }
        if (!writeAndSync(direct, data, size)) {
            const int failed = errno;
            std::remove(path.c_str());
            errno = failed;
            return false;
        }
    } else if (!ok) {
        errno = err;
        return false;
    }
    syncFolder(path);
    return true;
}

std::vector<std::string> FileIO::removeInterruptedWrites(const std::string& folder)
{
    std::vector<std::string> removed;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return removed;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (!endsWith(name, TEMPORARY_SUFFIX)) {
            continue;
        }
        const std::string path = joinPath(folder, name);
        struct stat info {};
        if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && std::remove(path.c_str()) == 0) {
            removed.push_back(name);
        }
    }
    closedir(dir);
    return removed;
}

std::string FileIO::joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

std::string FileIO::folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}
