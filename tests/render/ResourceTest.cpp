#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "engine/core/KivRandom.h"
#include "engine/core/Logger.h"
#include "engine/files/FileBlock.h"
#include "engine/files/FileManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/render/Context.h"
#include "engine/render/FadingSprite.h"
#include "engine/render/ParticleEmitter.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"
#include "engine/text/Console.h"
#include "engine/text/FontQuad.h"
#include "support/TempDir.h"
#include "GraphicsFixture.h"

namespace {
void writeFile(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string solidTga(const TempDir& dir, const std::string& name, int w, int h)
{
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h, 0xFFFFFFFFu);
    MemoryImageFile::writeTGA(dir.file(name), pixels.data(), w, h);
    return dir.file(name);
}
} // namespace

using Resources = GraphicsFixture;

TEST_F(Resources, SkinSheetsBesideTheImage)
{
    TempDir dir;
    const std::string image = solidTga(dir, "sheet.tga", 32, 16);
    writeFile(dir.file("sheet.ini"), "[Skin 0]\nleft=0\ntop=0\nwidth=16\nheight=16\norigin_adjust_x=3\norigin_adjust_y=2\n"
                                     "[Skin 1]\nleft=16\ntop=4\nwidth=16\nheight=12\n");
    EXPECT_EQ(Texture::sheetPathFor(u"gfx/a.b/sheet.tga"), u"gfx/a.b/sheet.ini");
    EXPECT_EQ(Texture::sheetPathFor(u"gfx/a.b/noext"), u"gfx/a.b/noext.ini");
    Texture texture(0, utf8ToWide(image));
    ASSERT_EQ(texture.skins.size(), 2u);
    EXPECT_EQ(texture.width, 32);
    EXPECT_EQ(texture.skins[0]->width, 16.0f);
    EXPECT_EQ(texture.skins[0]->origin, V3(3.0f, -2.0f, 0.0f));
    EXPECT_EQ(texture.skins[1]->height, 12.0f);
    EXPECT_FLOAT_EQ(texture.skins[1]->texTop, 0.25f);
    EXPECT_FALSE(texture.needsBlending());
    EXPECT_NE(texture.getHandle(), 0u);

    // Without a sheet: one skin over the whole image.
    const std::string plain = solidTga(dir, "plain.tga", 8, 4);
    Texture single(Texture::ALPHA_ALWAYS, utf8ToWide(plain));
    ASSERT_EQ(single.skins.size(), 1u);
    EXPECT_EQ(single.skins[0]->width, 8.0f);
    EXPECT_TRUE(single.needsBlending());

    // A rectangle outside the image stops the program with a clear message.
    writeFile(dir.file("plain.ini"), "[Skin 0]\nleft=4\ntop=0\nwidth=8\nheight=4\n");
    try {
        Texture bad(0, utf8ToWide(plain));
        FAIL() << "no fatal error";
    } catch (const FatalError& e) {
        EXPECT_NE(e.message.find(u"Skin 0 (4, 0, 8x4)"), UString::npos);
        EXPECT_NE(e.message.find(u"outside the 8x4 image"), UString::npos);
    }
}

TEST_F(Resources, TexturesLargerThanTheLimitAreHalvedWhenAllowed)
{
    TempDir dir;
    const std::string image = solidTga(dir, "big.tga", 600, 300);
    graphics->bSimulate256x256TextureHW = true;
    Texture halved(Texture::MAY_HALVE | Texture::KEEP_IMAGE, utf8ToWide(image));
    EXPECT_EQ(halved.width, 600); // the skins keep their pixel sizes
    EXPECT_EQ(halved.skins[0]->width, 600.0f);
    ASSERT_NE(halved.getImage(), nullptr);
    EXPECT_EQ(halved.getImage()->getWidth(), 600);
    Texture allowed(Texture::ALLOW_512, utf8ToWide(solidTga(dir, "mid.tga", 400, 100)));
    EXPECT_NE(allowed.getHandle(), 0u);
    graphics->bSimulate256x256TextureHW = false;

    MemoryImageFile small = MemoryImageFile::MemoryImageFileBlank(4, 2);
    std::unique_ptr<Texture> fromImage(Texture::TextureFromImage(small));
    EXPECT_EQ(fromImage->skins.size(), 1u);
    EXPECT_TRUE(fromImage->needsBlending()); // the blank image is transparent
}

TEST_F(Resources, FontsFindTheirPagesAndTablesAmongTheResources)
{
    TempDir dir;
    ResourceManager resources;
    FileManager files;
    files.bUseWad = false;
    std::string table(512, '\0');
    for (int i = 0; i < 256; ++i) {
        table[i * 2] = static_cast<char>(i);
    }
    table[0x41 * 2] = 'Z'; // index 0x41 draws 'Z'
    writeFile(dir.file("9999.codepointLUT.bin"), table);
    auto block = std::make_unique<FileBlock>(0, utf8ToWide(dir.file("9999.codepointLUT.bin")));
    resources.addResource(u"9999.codepointLUT", block.get());
    std::vector<std::unique_ptr<Texture>> pages;
    for (const char* name : {"fontTex1", "fontTex2", "fontTexExtra1"}) {
        pages.push_back(std::make_unique<Texture>(0, utf8ToWide(solidTga(dir, std::string(name) + ".tga", 5, 9))));
        resources.addResource(utf8ToWide(name), pages.back().get());
    }
    FontQuad::setLanguage(u"9999", false);
    FontQuad font;
    font.addSourceTextures(u"fontTex");
    FontQuad::setLanguage(u"1252", false);
    // Pages 1, 2 and Extra1 from index 33 on: 33, 34, 35; nothing for a page 3.
    EXPECT_EQ(font.nextSymbolToLoad, 36);
    EXPECT_NE(font.getSymbol(u'!'), nullptr);
    EXPECT_NE(font.getSymbol(u'#'), nullptr);
    EXPECT_EQ(font.getSymbol(u'$'), nullptr);
    EXPECT_EQ(font.getLineHeight(), 9);
}

TEST_F(Resources, ParticlesFadingSpritesAndTheConsole)
{
    ResourceManager resources;
    MemoryImageFile dot = MemoryImageFile::MemoryImageFileBlank(2, 2);
    std::unique_ptr<Texture> glint(Texture::TextureFromImage(dot));
    resources.addResource(u"glint:0", glint->skins[0]);
    EXPECT_EQ(ParticleEmitter::getGlintSkin(), glint->skins[0]);

    KivRandom::setSeed(1);
    KivBase owner;
    auto* emitter = new ParticleEmitter(5, V3(10, 20, 0), 2.0f, 4.0f, 0.0f, 0.0f, UColor(0xFFFFFF00u), 1.0);
    owner.appendChild(emitter);
    ASSERT_EQ(emitter->getParticles().size(), 5u);
    for (const auto& p : emitter->getParticles()) {
        EXPECT_GE(p.velocity.x, 2.0f);
        EXPECT_LE(p.velocity.x, 4.0f);
        EXPECT_NEAR(p.velocity.y, 0.0f, 1e-6f); // no spread
    }
    emitter->tick(0.0, 0.5);
    EXPECT_GT(emitter->getParticles()[0].position.x, 10.0f);
    graphics->beginScene();
    emitter->render();
    graphics->endScene();
    emitter->tick(0.0, 0.6);
    EXPECT_TRUE(emitter->bDeleted);

    FadingSprite fading(glint->skins[0], V3(0, 0, 0), 1.0, 0.5, 2.0, 0.5);
    EXPECT_EQ(fading.getFade(), 0.0f);
    fading.tick(0.0, 1.25);
    EXPECT_FLOAT_EQ(fading.getFade(), 0.5f);
    fading.tick(0.0, 1.0);
    EXPECT_FLOAT_EQ(fading.getFade(), 1.0f);
    fading.tick(0.0, 1.5);
    EXPECT_FLOAT_EQ(fading.getFade(), 0.5f);
    EXPECT_FALSE(fading.bDeleted);
    fading.tick(0.0, 0.5);
    EXPECT_TRUE(fading.bDeleted);

    std::vector<UString> logged;
    Logger::setObserver([&](UStringView line) { logged.emplace_back(line); });
    Console console;
    console.print(u"%d apples", 3);
    Logger::setObserver(nullptr);
    ASSERT_EQ(console.getLines().size(), 1u);
    EXPECT_EQ(console.getLines()[0], u"3 apples");
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0], u"> 3 apples");
    bool overlay = false;
    console.debugOverlay = [&] { overlay = true; };
    console.renderDebugOverlay();
    EXPECT_TRUE(overlay);
}
