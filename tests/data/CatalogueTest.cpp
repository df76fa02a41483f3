// The catalogue against the loader's step machine: every step has exactly one job, names are unique
// resource keys, and the files follow the archive layout.
#include "game/resources/ResourceCatalogue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace ResourceCatalogue;

namespace {

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Which steps each table claims, as "kind" per step. Rows of one table may share a step (the seasons'
// landscapes, four minimap images to a step); two kinds of work may not.
std::map<int, std::string> claimedSteps() {
    std::map<int, std::string> steps;
    auto claim = [&](int step, const std::string& kind) {
        auto [at, added] = steps.emplace(step, kind);
        EXPECT_TRUE(added || (at->second == kind && (kind == "texture" || kind == "image")))
            << "step " << step << " claimed twice (" << kind << ")";
    };
    for (const TextureEntry& t : textures())
        claim(t.step, "texture");
    for (const SoundEntry& s : sounds())
        claim(s.step, "sound");
    for (const FileEntry& m : music())
        claim(m.step, "music");
    for (const FileEntry& i : minimapImages())
        claim(i.step, "image");
    for (const FontEntry& f : fonts()) {
        claim(f.loadStep, "font pages");
        claim(f.buildStep, "font");
    }
    std::set<int> symbolSteps; // one step loads the interface pages of every font
    for (const SymbolPageEntry& p : symbolPages())
        symbolSteps.insert(p.step);
    for (int step : symbolSteps)
        claim(step, "symbols");
    for (int step : {STEP_NOTHING, STEP_SETTINGS, STEP_START_MUSIC, STEP_SELECT_LEVEL_ARCHIVE,
                     STEP_SELECT_MAIN_ARCHIVE, STEP_LEVEL_FILES, STEP_LANGUAGE_CHOICE, STEP_SET_LANGUAGE,
                     STEP_POST_LOADER})
        claim(step, "work");
    return steps;
}

int countKind(const std::map<int, std::string>& steps, int first, int last, const std::string& kind) {
    int n = 0;
    for (int s = first; s <= last; ++s)
        n += steps.count(s) && steps.at(s) == kind;
    return n;
}

} // namespace

TEST(Catalogue, EveryLoaderStepHasExactlyOneJob) {
    std::map<int, std::string> steps = claimedSteps();
    ASSERT_EQ(int(steps.size()), LOADER_STEP_COUNT);
    EXPECT_EQ(steps.begin()->first, 1);
    EXPECT_EQ(steps.rbegin()->first, LOADER_STEP_COUNT);

    // The ranges of the loader's step machine.
    EXPECT_EQ(countKind(steps, 5, 9, "music"), 5);
    EXPECT_EQ(countKind(steps, 10, 11, "sound"), 2);
    EXPECT_EQ(countKind(steps, 12, 37, "texture"), 26);
    EXPECT_EQ(countKind(steps, 39, 40, "texture"), 2);
    EXPECT_EQ(countKind(steps, 41, 46, "image"), 6);
    EXPECT_EQ(countKind(steps, 48, 144, "texture"), 97);
    EXPECT_EQ(countKind(steps, 145, 207, "sound"), 63);
    EXPECT_EQ(countKind(steps, 211, 216, "font pages"), 6);
    EXPECT_EQ(countKind(steps, 217, 218, "symbols"), 2);
    EXPECT_EQ(countKind(steps, 219, 224, "font"), 6);
    EXPECT_EQ(steps.at(2), "music");
}

TEST(Catalogue, TablesAreInStepOrder) {
    auto ordered = [](auto rows, auto stepOf) {
        for (std::size_t i = 1; i < rows.size(); ++i)
            if (stepOf(rows[i - 1]) > stepOf(rows[i]))
                return false;
        return true;
    };
    EXPECT_TRUE(ordered(textures(), [](const TextureEntry& e) { return e.step; }));
    EXPECT_TRUE(ordered(sounds(), [](const SoundEntry& e) { return e.step; }));
    EXPECT_TRUE(ordered(music(), [](const FileEntry& e) { return e.step; }));
    EXPECT_TRUE(ordered(fonts(), [](const FontEntry& e) { return e.loadStep; }));
}

TEST(Catalogue, ResourceNamesAreUniqueKeys) {
    std::set<std::string> names;
    auto add = [&](const std::string& name) { EXPECT_TRUE(names.insert(name).second) << name; };
    for (const TextureEntry& t : preLoaderTextures())
        add(t.name);
    for (const TextureEntry& t : textures())
        add(t.name);
    for (const SoundEntry& s : sounds())
        add(s.name);
    for (const FileEntry& m : music())
        add(m.name);
    for (const FileEntry& i : minimapImages())
        add(i.name);
    for (const FontEntry& f : fonts()) {
        add(f.name);
        add(glyphPageName(f, 1));
    }
    for (const SymbolPageEntry& p : symbolPages())
        add(p.name);
    add(codePointTableName("1252"));
    // Frame names of one sheet cannot meet the name of another resource.
    for (const TextureEntry& t : textures())
        for (int i = 0; i < t.minFrames; ++i)
            EXPECT_FALSE(names.count(frameName(t.name, i))) << frameName(t.name, i);
}

TEST(Catalogue, FilesAndParameters) {
    std::set<std::string> files;
    for (const TextureEntry& t : textures()) {
        EXPECT_TRUE(endsWith(t.file, ".tga") || endsWith(t.file, ".jpg")) << t.file;
        EXPECT_TRUE(files.insert(t.file).second) << t.file;
        EXPECT_GE(t.minFrames, 1);
        EXPECT_EQ(t.flags & ~0xF, 0) << t.name;
    }
    int looping = 0;
    for (const SoundEntry& s : sounds()) {
        EXPECT_TRUE(endsWith(s.file, ".ogg")) << s.file;
        EXPECT_GE(s.maxPlaybacks, 1);
        EXPECT_LE(s.pitchMin, s.pitchMax) << s.name;
        looping += s.loop;
    }
    EXPECT_EQ(looping, 6);
}

TEST(Catalogue, EdgeCasesOfTheTables) {
    // Two sounds share one file; the big bite always plays at half the frequency.
    const SoundEntry* bite = nullptr;
    const SoundEntry* big = nullptr;
    for (const SoundEntry& s : sounds()) {
        if (std::string(s.name) == "appleBite") bite = &s;
        if (std::string(s.name) == "appleBiteBig") big = &s;
    }
    ASSERT_TRUE(bite && big);
    EXPECT_STREQ(bite->file, big->file);
    EXPECT_FLOAT_EQ(big->pitchMin, -0.5f);
    EXPECT_FLOAT_EQ(big->pitchMax, -0.5f);

    // A minimap image for every level that is not a bonus level (3, 7, ... 31), four to each step from 41
    // to 46, named and filed by the level's number.
    std::vector<int> levels;
    std::map<int, int> perStep;
    for (const FileEntry& i : minimapImages()) {
        int level = std::atoi(i.name + 7);
        EXPECT_EQ(std::string(i.name), "minimap" + std::string(level < 10 ? "0" : "") + std::to_string(level));
        EXPECT_EQ(std::string(i.file), "gfx/minimap/map" + std::string(i.name + 7) + ".tga");
        EXPECT_NE(level % 4, 3) << i.name;
        levels.push_back(level);
        ++perStep[i.step];
    }
    EXPECT_EQ(levels.size(), 24u);
    EXPECT_EQ(levels.front(), 0);
    EXPECT_EQ(levels.back(), 30);
    EXPECT_EQ(perStep, (std::map<int, int>{{41, 4}, {42, 4}, {43, 4}, {44, 4}, {45, 4}, {46, 4}}));

    // Every season has its sky and its two hill strips; the autumn leaf has frames to turn through.
    std::set<std::string> names;
    for (const TextureEntry& t : textures())
        names.insert(t.name);
    for (const char* season : {"spring", "summer", "autumn", "winter"})
        for (const char* sheet : {"sky-", "hillsA-", "hillsB-"})
            EXPECT_TRUE(names.count(std::string(sheet) + season)) << sheet << season;
    EXPECT_TRUE(names.count("autumnLeaf"));

    // Origin codes: the spark's right edge, the hills' corner; nothing else.
    std::map<std::string, int> origins;
    for (const TextureEntry& t : textures())
        if (t.originCode >= 0)
            origins[t.name] = t.originCode;
    std::map<std::string, int> expected = {{"spark", 6},         {"hillsA-spring", 1}, {"hillsB-spring", 1},
                                           {"hillsA-summer", 1}, {"hillsB-summer", 1}, {"hillsA-autumn", 1},
                                           {"hillsB-autumn", 1}, {"hillsA-winter", 1}, {"hillsB-winter", 1}};
    EXPECT_EQ(origins, expected);

    // Archives: the flags in the language archive, the minimap sheets in the level archive.
    for (const TextureEntry& t : textures()) {
        Archive want = t.step == 13 ? Archive::Language : (t.step == 39 || t.step == 40) ? Archive::Levels : Archive::Main;
        EXPECT_EQ(t.archive, want) << t.name;
    }
}

TEST(Catalogue, EveryFontThatPrintsSymbolsCarriesAnInterfacePage) {
    // The menus print the check mark, the arrows, back and next with the small and medium fonts and
    // the editor's boxes with the tiny one.
    std::map<std::string, int> interfacePages;
    for (const SymbolPageEntry& p : symbolPages()) {
        SCOPED_TRACE(p.name);
        ASSERT_NE(findFont(p.font), nullptr);
        EXPECT_EQ(p.flags, TEXTURE_MAY_HALVE | TEXTURE_KEEP_IMAGE);
        EXPECT_TRUE(endsWith(p.file, ".tga"));
        if (p.firstCode == 0) {
            EXPECT_EQ(p.step, 217);
            ++interfacePages[p.font];
        } else {
            EXPECT_EQ(p.step, 218);
            EXPECT_EQ(std::string(p.font), "fontTiny");
        }
    }
    for (const char* font : {"fontTiny", "fontSmall", "fontSmallOutline", "fontMedium", "fontMediumOutline"})
        EXPECT_EQ(interfacePages[font], 1) << font;
    EXPECT_EQ(std::string(symbolPages()[0].file), "gfx/font/font-tiny-GUIsymbols.tga");
    EXPECT_EQ(std::string(symbolPages().back().name), "fontTinyEditorSymbolsTex");
    EXPECT_EQ(findFont("fontNone"), nullptr);
}

TEST(Catalogue, FontFilesAndArchives) {
    const FontEntry& large = fonts()[5];
    EXPECT_EQ(glyphPageFile(large, "1252", 2), "xmas-edition/gfx/font/1252/font-large-2.tga");
    EXPECT_EQ(extraGlyphPageFile(fonts()[0], "1252", 1), "gfx/font/1252/extra-font-tiny-1.tga");
    EXPECT_EQ(glyphPageName(fonts()[1], 3), "fontSmallTex3");
    EXPECT_EQ(extraGlyphPageName(fonts()[1], 1), "fontSmallTexExtra1");
    EXPECT_EQ(codePointTableFile("", "1252"), "gfx/font/1252/1252.codepointLUT.bin");
    EXPECT_EQ(codePointTableName("1252"), "1252.codepointLUT");
    EXPECT_EQ(archiveFileName(Archive::Main), "TobbleXmasdemo.dat");
    EXPECT_EQ(archiveFileName(Archive::Language), "TobbleXmasdemo.dat.language.v2");
    EXPECT_EQ(archiveFileName(Archive::Levels), "TobbleXmasdemo.dat.levels");
    EXPECT_EQ(archiveFileName(Archive::CodePage, "1250"), "TobbleXmasdemo.dat.1250");
    EXPECT_EQ(frameName("basketA", 0), "basketA:0");
}
