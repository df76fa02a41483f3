// The archives against the catalogue: each holds exactly the files assigned to it, every picture decodes
// with a sheet that has the frames the game reads, every sound decodes, and the static configuration holds
// what the game needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

#include <vorbis/vorbisfile.h>

#include "DataArchives.h"
#include "game/userdata/ProfileData.h"
#include "game/worldmap/BezierPathSimple.h"
#include "game/worldmap/ValleyPathPoints.h"

using namespace ResourceCatalogue;

namespace {

std::set<std::string> expectedFiles(Archive archive) {
    std::set<std::string> files;
    auto addTexture = [&](const TextureEntry& t) {
        files.insert(t.file);
        files.insert(sheetFile(t.file));
    };
    if (archive == Archive::Main)
        for (const TextureEntry& t : preLoaderTextures())
            addTexture(t);
    for (const TextureEntry& t : textures())
        if (t.archive == archive)
            addTexture(t);
    if (archive == Archive::Levels) {
        for (const FileEntry& image : minimapImages())
            files.insert(image.file);
        for (int level = 0; level < 32; ++level) // "./levels/a1xmas.lev" ... as "levels/a1xmas.lev"
            files.insert(wideToUtf8(ProfileData::levelNumberToFile(level)).substr(2));
    }
    if (archive == Archive::Main) {
        for (const SoundEntry& s : sounds())
            files.insert(s.file);
        for (const FileEntry& m : music())
            files.insert(m.file);
        for (const SymbolPageEntry& p : symbolPages()) {
            files.insert(p.file);
            files.insert(sheetFile(p.file));
        }
    }
    return files;
}

std::set<std::string> keysOf(const std::map<std::string, std::vector<std::uint8_t>>& files) {
    std::set<std::string> keys;
    for (const auto& [name, bytes] : files)
        keys.insert(name);
    return keys;
}

void checkSheet(const std::string& file, const char* name, int minFrames, Archive archive) {
    const DataArchives& data = DataArchives::get();
    SCOPED_TRACE(name);
    MemoryImageFile image = decodeImage(data.read(archive, file), file);
    std::vector<SheetRect> frames = readSheet(data.read(archive, sheetFile(file)));
    EXPECT_GE(int(frames.size()), minFrames);
    bool invisible = std::strcmp(name, "gui-invisible") == 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const SheetRect& f = frames[i];
        EXPECT_TRUE(f.left >= 0 && f.top >= 0 && f.width > 0 && f.height > 0) << "frame " << i;
        EXPECT_LE(f.left + f.width, image.getWidth()) << "frame " << i;
        EXPECT_LE(f.top + f.height, image.getHeight()) << "frame " << i;
        if (f.left + f.width <= image.getWidth() && f.top + f.height <= image.getHeight()) {
            EXPECT_EQ(hasInk(image, f), !invisible) << "frame " << i; // an empty frame is a missing picture
        }
    }
}

// Decodes a whole Ogg Vorbis file held in memory; returns the samples of its first channel.
struct MemoryStream {
    const std::vector<std::uint8_t>* bytes;
    std::size_t at = 0;
};

std::size_t readMemory(void* out, std::size_t size, std::size_t count, void* source) {
    auto* s = static_cast<MemoryStream*>(source);
    std::size_t n = std::min(size * count, s->bytes->size() - s->at);
    std::memcpy(out, s->bytes->data() + s->at, n);
    s->at += n;
    return size ? n / size : 0;
}

std::vector<float> decodeOgg(const std::vector<std::uint8_t>& bytes, long& rate) {
    MemoryStream stream{&bytes};
    OggVorbis_File file;
    ov_callbacks callbacks{readMemory, nullptr, nullptr, nullptr};
    std::vector<float> samples;
    if (ov_open_callbacks(&stream, &file, nullptr, 0, callbacks) != 0)
        return samples;
    rate = ov_info(&file, -1)->rate;
    for (;;) {
        float** pcm = nullptr;
        int section = 0;
        long n = ov_read_float(&file, &pcm, 4096, &section);
        if (n <= 0)
            break;
        samples.insert(samples.end(), pcm[0], pcm[0] + n);
    }
    ov_clear(&file);
    return samples;
}

} // namespace

TEST(DataArchives, EachArchiveHoldsExactlyItsCatalogueFiles) {
    const DataArchives& data = DataArchives::get();
    for (Archive archive : {Archive::Main, Archive::Language, Archive::Levels})
        EXPECT_EQ(keysOf(data.files(archive)), expectedFiles(archive)) << archiveFileName(archive);

    // The code page's archive: glyph pages numbered from 1 without gaps, their sheets, and the table.
    std::set<std::string> expected = {codePointTableFile("", "1252")};
    for (const FontEntry& font : fonts())
        for (int page = 1; data.has(Archive::CodePage, glyphPageFile(font, "1252", page)); ++page) {
            expected.insert(glyphPageFile(font, "1252", page));
            expected.insert(sheetFile(glyphPageFile(font, "1252", page)));
        }
    EXPECT_EQ(keysOf(data.files(Archive::CodePage)), expected);
    for (const FontEntry& font : fonts())
        EXPECT_TRUE(data.has(Archive::CodePage, glyphPageFile(font, "1252", 1))) << font.name;
}

TEST(DataArchives, SheetsHaveTheFramesTheGameReads) {
    for (const TextureEntry& t : preLoaderTextures())
        checkSheet(t.file, t.name, t.minFrames, Archive::Main);
    for (const TextureEntry& t : textures())
        checkSheet(t.file, t.name, t.minFrames, t.archive);
}

TEST(DataArchives, PicturesDecodeAtSensibleSizes) {
    const DataArchives& data = DataArchives::get();
    for (const FileEntry& i : minimapImages()) {
        MemoryImageFile image = decodeImage(data.read(Archive::Levels, i.file), i.file);
        EXPECT_EQ(image.getWidth(), 256) << i.name; // the size the mini-map overlay insists on
        EXPECT_EQ(image.getHeight(), 192) << i.name;
    }
    // The world map is about twice as wide as the screen, drawn in enough pixels to stay sharp when it is
    // enlarged for a large screen, in the proportions of the road's units; the intro's blurred twin matches
    // the sharp one.
    MemoryImageFile valley = decodeImage(data.read(Archive::Main, "xmas-edition/gfx/valley.jpg"), "valley");
    EXPECT_GE(valley.getWidth(), 2 * int(ValleyPathPoints::PICTURE_WIDTH));
    const double pixels = valley.getWidth() / double(ValleyPathPoints::PICTURE_WIDTH);
    EXPECT_DOUBLE_EQ(valley.getHeight(), pixels * ValleyPathPoints::PICTURE_HEIGHT);
    // The icons print the names of the levels from spring to autumn in light green without an outline, just
    // above the road: the grass there is dark enough for them to read.
    auto luminance = [](std::uint32_t argb) {
        double sum = 0;
        for (auto [shift, weight] : {std::pair{16, 0.2126}, {8, 0.7152}, {0, 0.0722}}) {
            const double c = ((argb >> shift) & 0xFF) / 255.0;
            sum += weight * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return sum;
    };
    BezierPathSimple road;
    ValleyPathPoints::build(road, 1.0f);
    for (int level = 4; level <= 23; ++level) {
        const V3 p = road.evaluateL(ValleyPathPoints::arcLengthOfLevel(level, road.totalLength));
        const int cx = valley.getWidth() / 2 + int(p.x * pixels), cy = valley.getHeight() / 2 - int(p.y * pixels);
        std::vector<double> around;
        for (int y = std::max(0, cy - int(32 * pixels)); y < cy - int(12 * pixels); ++y)
            for (int x = std::max(0, cx - int(50 * pixels)); x < std::min(valley.getWidth(), cx + int(50 * pixels)); ++x)
                around.push_back(luminance(valley.getPixel(x, y)));
        ASSERT_FALSE(around.empty()) << level;
        // The grass, not the road that may pass behind a name: the darker third of the pixels.
        std::nth_element(around.begin(), around.begin() + long(around.size() / 3), around.end());
        EXPECT_GT((luminance(0x80FF00) + 0.05) / (around[around.size() / 3] + 0.05), 2.5) << "level " << level;
    }
    MemoryImageFile sharp = decodeImage(data.read(Archive::Main, "xmas-edition/gfx/intro.jpg"), "intro");
    MemoryImageFile blurred = decodeImage(data.read(Archive::Main, "xmas-edition/gfx/intro-blurred.jpg"), "blurred");
    EXPECT_EQ(sharp.getWidth(), blurred.getWidth());
    EXPECT_EQ(sharp.getHeight(), blurred.getHeight());
}

TEST(DataArchives, SoundsAndMusicDecode) {
    const DataArchives& data = DataArchives::get();
    auto check = [&](const char* file, bool silent) {
        SCOPED_TRACE(file);
        long rate = 0;
        std::vector<float> samples = decodeOgg(data.read(Archive::Main, file), rate);
        ASSERT_FALSE(samples.empty());
        EXPECT_GE(rate, 11025);
        float peak = 0;
        for (float s : samples)
            peak = std::max(peak, std::abs(s));
        if (silent) {
            EXPECT_LT(peak, 0.01f);
        } else {
            EXPECT_GT(peak, 0.05f);
        }
        EXPECT_LE(peak, 1.0f); // no clipping
    };
    for (const SoundEntry& s : sounds())
        check(s.file, false);
    for (const FileEntry& m : music())
        check(m.file, std::strcmp(m.name, "musicNone") == 0);
}

TEST(DataArchives, StaticConfigurationLetsTheLanguageBeChosen) {
    MemoryIniFile ini;
    ASSERT_TRUE(ini.load(DataArchives::folder() + "/.cfg.static"));
    EXPECT_EQ(ini.getInt(u"Language", u"singleLanguage", 99), -1);
    EXPECT_TRUE(ini.keyExists(u"Language", u"languageMask"));
    EXPECT_EQ(ini.getString(u"Language", u"languageMask", u"x"), u"");
    EXPECT_EQ(ini.getInt(u"Graphics", u"hq2x", 0), 1);
    EXPECT_EQ(ini.getString(u"Network", u"webHost", u""), u"localhost");
}
