// Whole-file reads and replacing writes: only regular files are read, a FIFO never blocks, a symbolic link
// keeps pointing at the file it names, an exclusive write replaces nothing, and the leftovers of an
// interrupted write are found and removed.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "engine/files/FileIO.h"
#include "support/TempDir.h"

namespace {

std::string readText(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(FileIO::readWholeFile(path, bytes)) << path;
    return std::string(bytes.begin(), bytes.end());
}
} // namespace

TEST(FileIO, OnlyRegularFilesAreReadAndAFifoDoesNotBlock)
{
    TempDir dir;
    std::vector<std::uint8_t> bytes{1, 2, 3};
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0644), 0);
    // Nobody writes to the FIFO: a blocking open would hang here.
    EXPECT_FALSE(FileIO::readWholeFile(dir.file("pipe"), bytes));
    EXPECT_EQ(errno, EINVAL);
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(FileIO::readWholeFile(dir.path(), bytes));
    EXPECT_EQ(errno, EISDIR);
    EXPECT_FALSE(FileIO::readWholeFile(dir.file("missing"), bytes));
    EXPECT_EQ(errno, ENOENT);

    const std::string text = "hello";
    ASSERT_TRUE(FileIO::writeFileReplacing(dir.file("a"), text.data(), text.size()));
    EXPECT_FALSE(FileIO::readWholeFile(dir.file("a"), bytes, 4));
    EXPECT_EQ(errno, EFBIG);
    EXPECT_EQ(readText(dir.file("a")), "hello");
}

TEST(FileIO, WritingThroughASymbolicLinkReplacesItsTarget)
{
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("real").c_str(), 0755), 0);
    ASSERT_TRUE(FileIO::writeFileReplacing(dir.file("real/settings"), "old", 3));
    ASSERT_EQ(symlink("real/settings", dir.file("link").c_str()), 0);
    ASSERT_EQ(symlink(dir.file("link").c_str(), dir.file("chain").c_str()), 0);

    ASSERT_TRUE(FileIO::writeFileReplacing(dir.file("chain"), "new", 3));
    struct stat info {};
    ASSERT_EQ(lstat(dir.file("chain").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(lstat(dir.file("link").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(readText(dir.file("real/settings")), "new");
    EXPECT_EQ(FileIO::followLinks(dir.file("chain")), dir.file("real/settings"));
    // No temporary file is left beside the link or the target.
    EXPECT_NE(access(dir.file("chain.tmp").c_str(), F_OK), 0);
    EXPECT_NE(access(dir.file("real/settings.tmp").c_str(), F_OK), 0);

    // A link to a file that does not exist yet creates it.
    ASSERT_EQ(symlink("real/later", dir.file("dangling").c_str()), 0);
    ASSERT_TRUE(FileIO::writeFileReplacing(dir.file("dangling"), "x", 1));
    EXPECT_EQ(readText(dir.file("real/later")), "x");
}

TEST(FileIO, AnExclusiveWriteReplacesNothing)
{
    TempDir dir;
    ASSERT_TRUE(FileIO::writeFileExclusive(dir.file("kept.bad"), "first", 5));
    EXPECT_EQ(readText(dir.file("kept.bad")), "first");
    // With the rights of any file the game writes.
    ASSERT_TRUE(FileIO::writeFileReplacing(dir.file("saved"), "x", 1));
    struct stat kept {}, saved {};
    ASSERT_EQ(stat(dir.file("kept.bad").c_str(), &kept), 0);
    ASSERT_EQ(stat(dir.file("saved").c_str(), &saved), 0);
    EXPECT_EQ(kept.st_mode & 07777, saved.st_mode & 07777);
    // A file, a folder or a link, even one to nothing, holds the name: refused, and nothing changes.
    ASSERT_EQ(mkdir(dir.file("folder").c_str(), 0755), 0);
    ASSERT_EQ(symlink("nowhere", dir.file("dangling").c_str()), 0);
    for (const char* name : {"kept.bad", "folder", "dangling"}) {
        EXPECT_FALSE(FileIO::writeFileExclusive(dir.file(name), "second", 6)) << name;
        EXPECT_EQ(errno, EEXIST) << name;
    }
    EXPECT_EQ(readText(dir.file("kept.bad")), "first");
    EXPECT_NE(access(dir.file("nowhere").c_str(), F_OK), 0);
    // No temporary file is left behind.
    EXPECT_TRUE(FileIO::removeInterruptedWrites(dir.path()).empty());
}

TEST(FileIO, LeftoversOfInterruptedWritesAreRemoved)
{
    TempDir dir;
    for (const char* name : {"TobbleXmasdemo.pro.tmp", ".cfg.tmp", "keep.txt", "tmp"}) {
        ASSERT_TRUE(FileIO::writeFileReplacing(dir.file(name), "x", 1));
    }
    ASSERT_EQ(mkdir(dir.file("folder.tmp").c_str(), 0755), 0); // not a file: left alone
    std::vector<std::string> removed = FileIO::removeInterruptedWrites(dir.path());
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<std::string>{".cfg.tmp", "TobbleXmasdemo.pro.tmp"}));
    EXPECT_EQ(access(dir.file("keep.txt").c_str(), F_OK), 0);
    EXPECT_EQ(access(dir.file("tmp").c_str(), F_OK), 0);
    EXPECT_EQ(access(dir.file("folder.tmp").c_str(), F_OK), 0);
    EXPECT_NE(access(dir.file(".cfg.tmp").c_str(), F_OK), 0);
}
