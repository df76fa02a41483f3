#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/files/FileBlock.h"
#include "engine/files/FileIO.h"
#include "engine/files/FileManager.h"
#include "engine/files/WadFormat.h"
#include "engine/files/WadReader.h"
#include "engine/files/WadWriter.h"
#include "support/TempDir.h"

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> noise(std::size_t size, unsigned seed)
{
    std::vector<std::uint8_t> out(size);
    for (auto& b : out) {
        seed = seed * 214013 + 2531011;
        b = static_cast<std::uint8_t>(seed >> 16);
    }
    return out;
}

std::string asText(const FileData& data) { return std::string(reinterpret_cast<const char*>(data.bytes.get()), data.size); }

// Runs `body` and returns the fatal error's report; fails the test when there is none.
UString fatalReport(const std::function<void()>& body)
{
    ErrorManager::setThrowForTests(true);
    try {
        body();
    } catch (const FatalError& e) {
        return e.report;
    }
    ADD_FAILURE() << "no fatal error";
    return {};
}

bool contains(const UString& text, const char16_t* part) { return text.find(part) != UString::npos; }

WadWriter sampleWriter()
{
    WadWriter w;
    w.add("./levels/B1.lev", bytesOf("level b1"));
    w.add("gfx\\system\\kmstudios.tga", noise(5000, 1));
    w.add("empty.bin", std::vector<std::uint8_t>());
    w.add("sfx/music/title.ogg", std::vector<std::uint8_t>(300000, 'a'));
    return w;
}

std::vector<std::uint8_t> patched(std::vector<std::uint8_t> archive, std::uint32_t at, std::uint32_t value)
{
    std::memcpy(archive.data() + at, &value, 4);
    return archive;
}

std::uint32_t word(const std::vector<std::uint8_t>& archive, std::size_t at)
{
    std::uint32_t v;
    std::memcpy(&v, archive.data() + at, 4);
    return v;
}

// Reads every entry of an in-memory archive.
void readAll(std::vector<std::uint8_t> archive)
{
    WadReader reader("test.dat", std::move(archive));
    for (std::size_t i = 0; i < reader.entries().size(); ++i) {
        (void)reader.read(i);
    }
}

} // namespace

TEST(Wad, LayoutOfAWrittenArchive)
{
    const std::vector<std::uint8_t> a = sampleWriter().build(WadWriter::Packing::Zlib);
    EXPECT_EQ(word(a, 0), WAD_MAGIC);
    EXPECT_EQ(word(a, 4), 2u);
    EXPECT_EQ(word(a, 8), 4u);
    const std::uint32_t dir = word(a, 12);
    EXPECT_EQ(dir % 8, 0u);
    EXPECT_EQ(a.size(), dir + 4 * 92u);
    EXPECT_STREQ(reinterpret_cast<const char*>(a.data() + dir), "levels/B1.lev");
    EXPECT_STREQ(reinterpret_cast<const char*>(a.data() + dir + 92), "gfx/system/kmstudios.tga");
    for (int i = 0; i < 4; ++i) {
        const std::size_t e = dir + i * 92u;
        EXPECT_EQ(word(a, e + 64) % 8, 0u) << i;
        EXPECT_EQ(word(a, e + 76), WAD_ENTRY_ZLIB);
    }
    EXPECT_EQ(word(a, dir + 72), 8u);
    EXPECT_EQ(word(a, dir + 80), 0xf8e9187au) << "CRC-32 of 'level b1'";
}

TEST(Wad, BothPackingsReadBackAndBuildsAreRepeatable)
{
    for (const auto packing : {WadWriter::Packing::Zopfli, WadWriter::Packing::Zlib}) {
        const std::vector<std::uint8_t> a = sampleWriter().build(packing);
        EXPECT_EQ(a, sampleWriter().build(packing));
        WadReader reader("test.dat", a);
        ASSERT_EQ(reader.entries().size(), 4u);
        EXPECT_EQ(asText(reader.read(0)), "level b1");
        const FileData noisy = reader.read(1);
        ASSERT_EQ(noisy.size, 5000u);
        EXPECT_EQ(std::memcmp(noisy.bytes.get(), noise(5000, 1).data(), 5000), 0);
        EXPECT_EQ(reader.read(2).size, 0u);
        EXPECT_NE(reader.read(2).bytes, nullptr);
        EXPECT_EQ(asText(reader.read(3)), std::string(300000, 'a'));
    }
}

TEST(Wad, WriterRefusesBadNames)
{
    WadWriter w;
    w.add("a/b.txt", bytesOf("x"));
    EXPECT_TRUE(contains(fatalReport([&] { w.add("./A/B.TXT", bytesOf("y")); }), u"Assertion failed."));
    EXPECT_TRUE(contains(fatalReport([&] { w.add(std::string(64, 'n'), bytesOf("y")); }), u"must have 1 to 63 bytes"));
    EXPECT_TRUE(contains(fatalReport([&] { w.add("./", bytesOf("y")); }), u"must have 1 to 63 bytes"));
    w.add(std::string(63, 'n'), bytesOf("y"));
    EXPECT_EQ(w.count(), 2u);
}

TEST(Wad, DamagedArchivesEndInTheFatalPath)
{
    const std::vector<std::uint8_t> good = sampleWriter().build(WadWriter::Packing::Zlib);
    readAll(good);
    const std::uint32_t dir = word(good, 12);
    const std::uint32_t firstData = word(good, dir + 64);

    // Wrong version: the assertion names the comparison.
    const UString version = fatalReport([&] { readAll(patched(good, 4, 1)); });
    EXPECT_TRUE(contains(version, u"Statement: wadVersion == WAD_VERSION")) << wideToUtf8(version);

    struct Case {
        const char* what;
        std::vector<std::uint8_t> archive;
        const char16_t* message;
    };
    std::vector<Case> cases = {
        {"empty file", {}, u"shorter than its header"},
        {"cut header", std::vector<std::uint8_t>(good.begin(), good.begin() + 15), u"shorter than its header"},
        {"cut directory", std::vector<std::uint8_t>(good.begin(), good.end() - 1), u"directory outside the file"},
        {"cut before directory", std::vector<std::uint8_t>(good.begin(), good.begin() + dir), u"directory outside"},
        {"magic", patched(good, 0, 0x12345678), u"not an archive"},
        {"huge count", patched(good, 8, 0xFFFFFFFF), u"directory outside the file"},
        {"directory in header", patched(good, 12, 8), u"directory outside the file"},
        {"directory past end", patched(good, 12, 0xFFFFFFF8), u"directory outside the file"},
        {"misaligned offset", patched(good, dir + 64, firstData + 4), u"lies outside the data"},
        {"offset in header", patched(good, dir + 64, 8), u"lies outside the data"},
        {"offset past end", patched(good, dir + 64, 0xFFFFFFF8), u"lies outside the data"},
        {"packed size past directory", patched(good, dir + 68, dir), u"lies outside the data"},
        {"unpacked size too large", patched(good, dir + 72, 0xFFFFFFFF), u"impossible size"},
        {"unpacked size off by one", patched(good, dir + 72, 9), u"does not inflate to its size"},
        {"unpacked size short", patched(good, dir + 72, 7), u"does not inflate to its size"},
        {"packed size short", patched(good, dir + 68, word(good, dir + 68) - 1), u"does not inflate"},
        {"bad CRC", patched(good, dir + 80, 0xf8e9187b), u"fails its CRC check"},
        {"unknown flags", patched(good, dir + 76, 2), u"unknown flags"},
    };
    std::vector<std::uint8_t> noName = good;
    std::memset(noName.data() + dir, 'x', 64); // no NUL inside the name field
    cases.push_back({"unterminated name", noName, u"without a valid name"});
    std::vector<std::uint8_t> twice = good;
    std::memcpy(twice.data() + dir + 92, "LEVELS/b1.lev", 14);
    cases.push_back({"same name twice", twice, u"appears twice"});
    std::vector<std::uint8_t> garbled = good;
    garbled[firstData + 3] ^= 0x55;
    cases.push_back({"garbled data", garbled, u"entry 'levels/B1.lev'"});
    std::vector<std::uint8_t> badStreamHeader = good;
    badStreamHeader[firstData] ^= 0x01; // not a deflate stream
    cases.push_back({"stream header", badStreamHeader, u"entry 'levels/B1.lev' does not inflate"});

    for (const Case& c : cases) {
        const UString report = fatalReport([&] { readAll(c.archive); });
        EXPECT_TRUE(contains(report, u"Archive 'test.dat' is damaged (")) << c.what;
        EXPECT_TRUE(contains(report, c.message)) << c.what << ": " << wideToUtf8(report);
    }
}

class FileManagerTest : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path oldCwd = std::filesystem::current_path();
    FileManager files;

    void SetUp() override
    {
        ErrorManager::setThrowForTests(true);
        std::filesystem::current_path(dir.path());
    }
    void TearDown() override { std::filesystem::current_path(oldCwd); }

    void writeLoose(const std::string& name, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(name).parent_path().empty()
                                                ? std::filesystem::path(".")
                                                : std::filesystem::path(name).parent_path());
        ASSERT_TRUE(FileIO::writeFileReplacing(name, text.data(), text.size()));
    }
};

TEST_F(FileManagerTest, ArchiveLookUpsIgnoreCaseAndLeadingDot)
{
    sampleWriter().write("game.dat", WadWriter::Packing::Zlib);
    files.useWad(u"game.dat");
    EXPECT_EQ(files.currentWad(), u"game.dat");
    EXPECT_TRUE(files.exists(u"./levels/b1.lev"));
    EXPECT_TRUE(files.exists(u"LEVELS/B1.LEV"));
    EXPECT_TRUE(files.exists(u"gfx/system/kmstudios.tga"));
    EXPECT_FALSE(files.exists(u"levels/b2.lev"));
    EXPECT_FALSE(FileManager::existsDisk(u"levels/b1.lev")); // only inside the archive
    EXPECT_TRUE(FileManager::existsDisk(u"game.dat"));
    EXPECT_EQ(asText(files.open(u"./levels/b1.lev")), "level b1");

    FileBlock block(0, u"./levels/b1.lev", files);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data()), block.size()), "level b1");

    const UString missing = fatalReport([&] { (void)files.open(u"./levels/b2.lev"); });
    EXPECT_TRUE(contains(missing, u"Error: WAD entry ./levels/b2.lev not found.\n Function: FileManager::open()"))
        << wideToUtf8(missing);
    EXPECT_TRUE(contains(fatalReport([&] { files.verifyFile(u"nothing.tga"); }), u"File 'nothing.tga' does not exist."));
    files.verifyFile(u"LEVELS/b1.lev");
}

TEST_F(FileManagerTest, LooseFilesWhenArchivesAreOffOrDiskIsForced)
{
    writeLoose("levels/b1.lev", "loose b1");
    sampleWriter().write("game.dat", WadWriter::Packing::Zlib);
    files.useWad(u"game.dat");
    files.bForceDisk = true;
    EXPECT_EQ(asText(files.open(u"./levels/b1.lev")), "loose b1");
    EXPECT_FALSE(files.exists(u"gfx/system/kmstudios.tga"));
    files.bForceDisk = false;
    EXPECT_EQ(asText(files.open(u"./levels/b1.lev")), "level b1");

    FileManager loose;
    loose.bUseWad = false;
    loose.useWad(u"not-there.dat"); // archives are not read, so a missing one does not matter
    EXPECT_EQ(FileManager::instance(), &loose);
    FileBlock block(0, u"levels/b1.lev");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data()), block.size()), "loose b1");
    const UString report = fatalReport([&] { FileBlock missing(0, u"levels/b2.lev"); });
    EXPECT_TRUE(contains(report, u"Failed to open file 'levels/b2.lev' (errno 2:No such file or directory, cwd "))
        << wideToUtf8(report);
    EXPECT_TRUE(contains(fatalReport([&] { FileManager::verifyFileDisk(u"levels/b2.lev"); }),
                         u"File levels/b2.lev verification failed (errno 2:No such file or directory, cwd "));
    FileManager::verifyFileDisk(u"levels/b1.lev");
}

TEST_F(FileManagerTest, UseWadOpensEachArchiveOnceAndAppendsHq2x)
{
    const UString missing = fatalReport([&] { files.useWad(u"game.dat"); });
    EXPECT_TRUE(contains(missing, u"Failed to open file 'game.dat' (errno 2:No such file or directory, cwd "));

    WadWriter hq;
    hq.add("levels/b1.lev", bytesOf("hq b1"));
    hq.write("game.dat.hq2x", WadWriter::Packing::Zlib);
    WadWriter patch;
    patch.add("gfx/other.tga", bytesOf("other"));
    patch.add("Levels/B1.lev", bytesOf("patched b1"));
    patch.write("game.dat.1252.hq2x", WadWriter::Packing::Zlib);
    files.renderMode = 2;
    files.useWad(u"game.dat");
    EXPECT_EQ(files.currentWad(), u"game.dat.hq2x");
    EXPECT_EQ(asText(files.open(u"levels/b1.lev")), "hq b1");
    files.useWad(u"game.dat.1252");
    EXPECT_EQ(asText(files.open(u"levels/b1.lev")), "patched b1"); // the later archive wins
    std::filesystem::remove("game.dat.hq2x");
    files.useWad(u"game.dat"); // already open: not read again
    EXPECT_EQ(asText(files.open(u"gfx/other.tga")), "other");
}

TEST_F(FileManagerTest, BuildingModeRecordsOpenedFilesIntoTheCurrentArchive)
{
    writeLoose("levels/a1xmas.lev", "a1");
    writeLoose("levels/b1.lev", "b1");
    writeLoose("gfx/pig.tga", std::string(10000, 'p'));
    {
        FileManager builder;
        builder.bBuildWad = true;
        builder.useWad(u"game.dat");
        FileBlock(0, u"gfx/pig.tga");
        builder.useWad(u"game.dat.levels");
        FileBlock(0, u"./levels/a1xmas.lev");
        FileBlock(0, u"./levels/b1.lev");
        FileBlock(0, u"./levels/b1.lev"); // recorded once
        builder.useWad(u"game.dat");
        EXPECT_TRUE(builder.exists(u"levels/b1.lev")); // loose files while building
        builder.useWad(u"game.dat.empty");
    } // the archives are written when the builder goes away

    files.useWad(u"game.dat.levels");
    files.useWad(u"game.dat");
    files.useWad(u"game.dat.empty");
    WadReader levels("game.dat.levels");
    ASSERT_EQ(levels.entries().size(), 2u);
    EXPECT_EQ(levels.entries()[0].name, "levels/a1xmas.lev");
    EXPECT_EQ(levels.entries()[1].name, "levels/b1.lev");
    EXPECT_EQ(WadReader("game.dat").entries().size(), 1u);
    EXPECT_EQ(WadReader("game.dat.empty").entries().size(), 0u);
    EXPECT_EQ(asText(files.open(u"./levels/b1.lev")), "b1");
    EXPECT_EQ(asText(files.open(u"gfx/pig.tga")), std::string(10000, 'p'));
}

TEST_F(FileManagerTest, ArchiveMessagesSayWhatIsWrong)
{
    // A folder where the archive should be: said as such, not with whatever errno held before.
    std::filesystem::create_directory("folder.dat");
    errno = ENOENT;
    const UString folder = fatalReport([&] { files.useWad(u"folder.dat"); });
    EXPECT_TRUE(contains(folder, u"Failed to open file 'folder.dat' (errno 21:Is a directory, cwd ")) << wideToUtf8(folder);

    // Another version: named in the log just before the assertion.
    std::vector<std::uint8_t> old = sampleWriter().build(WadWriter::Packing::Zlib);
    old[4] = 3;
    old[5] = old[6] = old[7] = 0;
    ASSERT_TRUE(FileIO::writeFileReplacing("old.dat", old.data(), old.size()));
    std::vector<std::string> log;
    Logger::setObserver([&](UStringView line) { log.push_back(wideToUtf8(line)); });
    const UString version = fatalReport([&] { files.useWad(u"old.dat"); });
    Logger::setObserver(nullptr);
    EXPECT_TRUE(contains(version, u"Statement: wadVersion == WAD_VERSION"));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], "WadReader::readDirectory(): Archive 'old.dat' is of another version (3, expected " +
                          std::to_string(WAD_VERSION) + ").");

    // A FIFO is no archive either, and opening it does not wait for a writer.
    ASSERT_EQ(mkfifo("pipe.dat", 0644), 0);
    EXPECT_TRUE(contains(fatalReport([&] { files.useWad(u"pipe.dat"); }), u"(errno 22:Invalid argument, cwd "));
}
