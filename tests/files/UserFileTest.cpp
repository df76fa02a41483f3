#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <zlib.h>

#include "engine/files/FileIO.h"
#include "engine/files/FileManager.h"
#include "engine/files/Md5.h"
#include "engine/files/UserDataFolder.h"
#include "support/TempDir.h"

namespace {

struct Record {
    std::array<std::uint8_t, 9720> bytes;
};

Record pattern(std::uint8_t seed)
{
    Record r;
    for (std::size_t i = 0; i < r.bytes.size(); ++i) {
        r.bytes[i] = static_cast<std::uint8_t>((i * 7 + seed) ^ (i >> 5));
    }
    return r;
}

std::vector<std::uint8_t> readBytes(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(FileIO::readWholeFile(path, bytes));
    return bytes;
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    ASSERT_TRUE(FileIO::writeFileReplacing(path, bytes.data(), bytes.size()));
}

// Re-seals a hand-made body with a correct digest, so that only the check under test fails.
std::vector<std::uint8_t> sealed(std::vector<std::uint8_t> file)
{
    const Md5Digest d = md5Digest(file.data() + 64, file.size() - 64);
    std::memcpy(file.data() + 48, d.data(), 16);
    return file;
}

class UserFile : public ::testing::Test {
protected:
    TempDir dir;
    UString folder = utf8ToWide(dir.path());
    std::string path = dir.file("TobbleXmasdemo.hst");
    Record original = pattern(1);

    void save() { ASSERT_TRUE(FileManager::saveUserFile(&original, sizeof(original), folder, u"TobbleXmasdemo.hst", u"1.25")); }
    FileManager::UserFile load(Record& record)
    {
        return FileManager::loadUserFile(&record, sizeof(record), folder, u"TobbleXmasdemo.hst", u"1.25");
    }
    // Loading must fail with `expected` and leave the defaults untouched.
    void expectRejected(FileManager::UserFile expected = FileManager::UserFile::Damaged)
    {
        Record defaults = pattern(9);
        const Record before = defaults;
        EXPECT_EQ(load(defaults), expected);
        EXPECT_EQ(defaults.bytes, before.bytes);
    }
};

} // namespace

TEST_F(UserFile, RoundTripWithTheDocumentedLayout)
{
    save();
    const std::vector<std::uint8_t> file = readBytes(path);
    ASSERT_GT(file.size(), 68u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data())), "TobbleXmasdemo");
    EXPECT_TRUE(std::all_of(file.begin() + 14, file.begin() + 32, [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data() + 32)), "1.25");
    EXPECT_TRUE(md5Equal(file.data() + 48, md5Digest(file.data() + 64, file.size() - 64).data()));
    EXPECT_EQ(file[64] | file[65] << 8 | file[66] << 16 | file[67] << 24, 9720);
    std::vector<std::uint8_t> inflated(9720);
    uLongf size = inflated.size();
    ASSERT_EQ(uncompress(inflated.data(), &size, file.data() + 68, file.size() - 68), Z_OK);
    EXPECT_EQ(std::memcmp(inflated.data(), original.bytes.data(), 9720), 0);

    Record loaded = pattern(9);
    EXPECT_EQ(load(loaded), FileManager::UserFile::Loaded);
    EXPECT_EQ(loaded.bytes, original.bytes);
    // No temporary file is left behind.
    struct stat info {};
    EXPECT_NE(stat((path + ".tmp").c_str(), &info), 0);

    // A second save replaces the first.
    original = pattern(2);
    save();
    EXPECT_EQ(load(loaded), FileManager::UserFile::Loaded);
    EXPECT_EQ(loaded.bytes, original.bytes);
}

TEST_F(UserFile, MissingShortOrOversizedFilesAreRejected)
{
    expectRejected(FileManager::UserFile::Missing); // no file at all
    writeBytes(path, {});
    expectRejected();
    save();
    std::vector<std::uint8_t> file = readBytes(path);
    file.resize(67);
    writeBytes(path, file);
    expectRejected();
    // Over the size cap: not read at all, so it counts as unreadable.
    writeBytes(path, std::vector<std::uint8_t>(200000, 0));
    expectRejected(FileManager::UserFile::Unreadable);
}

TEST_F(UserFile, EveryDamagedFieldIsRejected)
{
    save();
    const std::vector<std::uint8_t> good = readBytes(path);

    std::vector<std::uint8_t> flipped = good;
    flipped[good.size() / 2] ^= 0x40; // payload damaged, digest left as it was
    writeBytes(path, flipped);
    expectRejected();

    flipped = good;
    flipped[50] ^= 1; // digest damaged
    writeBytes(path, flipped);
    expectRejected();

    std::vector<std::uint8_t> truncated(good.begin(), good.end() - 5);
    writeBytes(path, sealed(truncated)); // stream cut short but digest fits
    expectRejected();

    std::vector<std::uint8_t> otherSize = good;
    otherSize[64] = 0x38; // 9720 -> 9528: stored size differs from the expected one
    writeBytes(path, sealed(otherSize));
    expectRejected();

    std::vector<std::uint8_t> trailing = good;
    trailing.push_back(0);
    writeBytes(path, sealed(trailing)); // bytes after the zlib stream
    expectRejected();
}

TEST_F(UserFile, StoredSizeMustMatchTheInflatedSize)
{
    // A record of another size, sealed correctly: the stored size says 50488, the caller expects 9720.
    std::vector<std::uint8_t> other(50488, 3);
    ASSERT_TRUE(FileManager::saveUserFile(other.data(), other.size(), folder, u"TobbleXmasdemo.hst", u"1.25"));
    expectRejected();

    // The stored size claims 9720 but the stream holds fewer bytes.
    std::vector<std::uint8_t> small(100, 5);
    ASSERT_TRUE(FileManager::saveUserFile(small.data(), small.size(), folder, u"TobbleXmasdemo.hst", u"1.25"));
    std::vector<std::uint8_t> file = readBytes(path);
    file[64] = 9720 & 0xFF;
    file[65] = 9720 >> 8;
    writeBytes(path, sealed(file));
    expectRejected();
}

TEST(UserDataFolder, CreatedUnderXdgDataHomeWithGroupRights)
{
    TempDir dir;
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", (dir.path() + "share").c_str(), 1);
    const UString folder = createUserDataFolder();
    if (old) {
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
    EXPECT_EQ(folder, utf8ToWide(dir.path() + "share/Kestrelmoor studios/TobbleXmasdemo/1.25/"));
    for (const std::string sub : {"share/Kestrelmoor studios", "share/Kestrelmoor studios/TobbleXmasdemo",
                                  "share/Kestrelmoor studios/TobbleXmasdemo/1.25"}) {
        struct stat info {};
        ASSERT_EQ(stat(dir.file(sub).c_str(), &info), 0) << sub;
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_mode & 060, 060u) << sub;
    }
    // A second call finds the folder in place.
    setenv("XDG_DATA_HOME", (dir.path() + "share").c_str(), 1);
    EXPECT_EQ(createUserDataFolder(), folder);
    if (old) {
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
}
