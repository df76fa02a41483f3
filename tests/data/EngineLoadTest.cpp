// The data as the game's loader takes it: archives selected through the file manager, textures with their
// sheets, file blocks, and the six fonts built from their pages without tripping the font's checks.
#include <gtest/gtest.h>

#include <memory>

#include "DataArchives.h"
#include "engine/audio/KivAudio.h"
#include "engine/audio/Sound.h"
#include "engine/audio/SoundStream.h"
#include "engine/core/ErrorManager.h"
#include "engine/files/FileBlock.h"
#include "engine/files/FileManager.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"
#include "engine/text/FontQuad.h"

using namespace ResourceCatalogue;

namespace {

class EngineLoad : public ::testing::Test {
protected:
    void SetUp() override {
        ErrorManager::setThrowForTests(true);
        for (Archive archive : {Archive::Language, Archive::Levels, Archive::CodePage, Archive::Main})
            files.useWad(toUString((DataArchives::folder() + "/" + archiveFileName(archive)).c_str()));
    }
    void TearDown() override { ErrorManager::setThrowForTests(false); }

    static UString u(const std::string& text) { return toUString(text.c_str()); }
    std::unique_ptr<Texture> texture(const std::string& file, std::uint32_t flags) {
        return std::make_unique<Texture>(flags, u(file));
    }

    FileManager files;
};

} // namespace

TEST_F(EngineLoad, EveryCatalogueFileOpensThroughTheFileManager) {
    auto opens = [&](const char* file) {
        EXPECT_TRUE(files.exists(u(file))) << file;
        EXPECT_NO_THROW(files.open(u(file))) << file;
    };
    for (const TextureEntry& t : preLoaderTextures())
        opens(t.file);
    for (const TextureEntry& t : textures())
        opens(t.file);
    for (const FileEntry& i : minimapImages())
        opens(i.file);
    for (const SoundEntry& s : sounds())
        opens(s.file);
    for (const FileEntry& m : music())
        opens(m.file);
    for (const SymbolPageEntry& p : symbolPages())
        opens(p.file);
    for (const FontEntry& f : fonts())
        opens(glyphPageFile(f, "1252", 1).c_str());
}

TEST_F(EngineLoad, TexturesCarryTheFramesTheGameReads) {
    auto check = [&](const TextureEntry& t) {
        std::unique_ptr<Texture> tex;
        ASSERT_NO_THROW(tex = texture(t.file, t.flags)) << t.name;
        EXPECT_GE(int(tex->skins.size()), t.minFrames) << t.name;
        if (t.originCode >= 0 && !tex->skins.empty()) {
            EXPECT_NO_THROW(tex->skins[0]->setOriginByAlignment(t.originCode)) << t.name;
        }
    };
    for (const TextureEntry& t : preLoaderTextures())
        check(t);
    for (const TextureEntry& t : textures())
        check(t);
    // The flag check of the language step: a skin for every language code of the flag order.
    EXPECT_GE(texture("gfx/system/languageflags.tga", 0)->skins.size(), 15u);
}

TEST_F(EngineLoad, CodePointTableLoadsAsAFileBlock) {
    FileBlock block(0, u(codePointTableFile("", "1252")), files);
    ASSERT_EQ(block.size(), 512u);
    EXPECT_EQ(block.data()[0xE4 * 2] | block.data()[0xE4 * 2 + 1] << 8, 0x00E4);
    EXPECT_EQ(block.data()[0x80 * 2] | block.data()[0x80 * 2 + 1] << 8, 0x20AC);
}

TEST_F(EngineLoad, FontsBuildWithoutTrippingTheirChecks) {
    FileBlock table(0, u(codePointTableFile("", "1252")), files);
    FontQuad::registerCodePageTable(u"1252", table.data(), table.size());
    FontQuad::setLanguage(u"1252", true);
    std::vector<std::unique_ptr<Texture>> pages;
    for (const FontEntry& entry : fonts()) {
        SCOPED_TRACE(entry.name);
        FontQuad font;
        font.glyphSpacing = entry.glyphSpacing;
        std::vector<Texture*> own;
        for (int n = 1; files.exists(u(glyphPageFile(entry, "1252", n))); ++n) {
            pages.push_back(texture(glyphPageFile(entry, "1252", n), TEXTURE_MAY_HALVE | TEXTURE_KEEP_IMAGE));
            own.push_back(pages.back().get());
        }
        ASSERT_FALSE(own.empty());
        if (entry.compositeChars) {
            for (std::size_t i = 0; i < own.size(); ++i)
                ASSERT_NO_THROW(font.addSourceTexture(own[i], i == 0 ? FIRST_GLYPH_INDEX : FontQuad::CONTINUE, false));
            ASSERT_NO_THROW(font.setupCompositeChars());
        } else {
            ASSERT_NO_THROW(font.addSourceTexture(own[0], FIRST_GLYPH_INDEX, false));
        }
        bool hasSymbols = false;
        for (const SymbolPageEntry& symbols : symbolPages()) {
            if (std::string(symbols.font) != entry.name)
                continue;
            pages.push_back(texture(symbols.file, symbols.flags));
            ASSERT_NO_THROW(font.addSourceTexture(pages.back().get(), symbols.firstCode, true));
            hasSymbols = true;
        }
        if (hasSymbols) {
            // The check mark, the left and right arrows and next, as the menus print them.
            for (char16_t c : {u'\x01', u'\x07', u'\x08', u'\x0A'})
                EXPECT_NE(font.getSymbol(c), nullptr) << int(c);
        }
        if (std::string(entry.name) == "fontTiny") {
            EXPECT_NE(font.getSymbol(u'\x80'), nullptr); // the editor's group marker
        }
        EXPECT_GT(font.getLineHeight(), 0);
        for (char16_t c : {u'A', u'a', u'0', u'\u00E4', u'\u00DF', u'\u20AC', u'\u00C9'})
            EXPECT_NE(font.getSymbol(c), nullptr) << int(c);
    }
}

TEST_F(EngineLoad, SoundsAndMusicLoadThroughTheSoundService) {
    KivAudio audio;
    for (const SoundEntry& entry : sounds()) {
        std::unique_ptr<Sound> sound;
        ASSERT_NO_THROW(sound = std::make_unique<Sound>(entry.loop ? Sound::FLAG_LOOP : 0, entry.maxPlaybacks,
                                                        u(entry.file)))
            << entry.name;
        EXPECT_TRUE(sound->isLoaded()) << entry.name;
    }
    for (const FileEntry& entry : music())
        EXPECT_NO_THROW(SoundStream(1, u(entry.file))) << entry.name;
}
