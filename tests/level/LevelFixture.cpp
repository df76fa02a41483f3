#include "LevelFixture.h"

#include <chrono>
#include <cstdio>

#include "engine/audio/Sound.h"
#include "engine/audio/SoundStream.h"
#include "engine/core/ErrorManager.h"
#include "engine/files/FileBlock.h"
#include "engine/files/FileManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/net/KivNetwork.h"
#include "engine/platform/PlatformEventInjector.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/Quad.h"
#include "engine/render/Skin.h"
#include "engine/render/Texture.h"
#include "engine/text/FontQuad.h"
#include "game/language/Language.h"
#include "game/level/ContextLevelManager.h"
#include "game/level/LevelBuilder.h"
#include "game/level/LevelServices.h"
#include "game/resources/ResourceCatalogue.h"
#include "game/userdata/GameConfiguration.h"
#include "game/userdata/ProfileData.h"

namespace RC = ResourceCatalogue;

namespace {
UString wide(const std::string& text) { return utf8ToWide(text); }

// Every loaded resource hangs here, so that it goes before the engine does.
KivBase& holder()
{
    static KivBase* node = new KivBase();
    return *node;
}

void add(KivBase* resource, const UString& name)
{
    holder().appendChild(resource);
    Kiv::instance()->resourceManager->addResource(name, resource);
}

void addTexture(Texture* texture, const std::string& name)
{
    add(texture, wide(name));
    for (std::size_t i = 0; i < texture->skins.size(); ++i) {
        Kiv::instance()->resourceManager->addResource(wide(RC::frameName(name, static_cast<int>(i))),
                                                      texture->skins[i]);
    }
}

void buildFont(const RC::FontEntry& entry)
{
    ResourceManager& rm = *Kiv::instance()->resourceManager;
    FileManager& files = *Kiv::instance()->fileManager;
    const std::string page = "1252";
    for (int n = 1;; ++n) {
        const UString path = wide(RC::glyphPageFile(entry, page, n));
        if (!files.exists(path)) {
            break;
        }
        add(new Texture(14, path), wide(RC::glyphPageName(entry, n)));
    }
    for (int n = 1;; ++n) {
        const UString path = wide(RC::extraGlyphPageFile(entry, page, n));
        if (!files.exists(path)) {
            break;
        }
        add(new Texture(10, path), wide(RC::extraGlyphPageName(entry, n)));
    }
    const UString tableName = wide(RC::codePointTableName(page));
    const UString tablePath = wide(RC::codePointTableFile(entry.pathPrefix, page));
    if (rm.find(tableName, false) == nullptr && files.exists(tablePath)) {
        add(new FileBlock(0, tablePath), tableName);
    }
    auto* font = new FontQuad();
    font->name = wide(entry.name);
    font->spaceAdvance = entry.spaceAdvance;
    font->glyphSpacing = entry.glyphSpacing;
    font->accentOffsetCapital = entry.accentOffsetCaps;
    font->accentOffsetSmall = entry.accentOffsetSmall;
    font->bAllowCachedDrawing = entry.cachedDrawingAllowed;
    font->bCacheFlag = entry.cacheFlag;
    if (entry.compositeChars) {
        font->addSourceTextures(wide(entry.textureBase));
    } else {
        font->addSourceTexture(rm.find<Texture>(wide(RC::glyphPageName(entry, 1))), RC::FIRST_GLYPH_INDEX, false);
    }
    for (const RC::SymbolPageEntry& symbols : RC::symbolPages()) {
        if (std::string_view(symbols.font) == entry.name) {
            if (rm.find(wide(symbols.name), false) == nullptr) {
                add(new Texture(symbols.flags, wide(symbols.file)), wide(symbols.name));
            }
            font->addSourceTexture(rm.find<Texture>(wide(symbols.name)), symbols.firstCode, true);
        }
    }
    if (entry.compositeChars) {
        font->setupCompositeChars();
    }
    font->createFontCache();
    add(font, wide(entry.name));
}
} // namespace

LevelEnvironment& LevelEnvironment::get()
{
    static LevelEnvironment* instance = new LevelEnvironment();
    return *instance;
}

LanguageForEngine::LanguageForEngine() { Kiv::setLanguageFactory(&Language::createForEngine, &Language::destroyForEngine); }

LevelEnvironment::LevelEnvironment()
{
    harness.kiv().language->setLanguage(0);
    ErrorManager::setThrowForTests(true);
    const auto start = std::chrono::steady_clock::now();
    loadResources();
    loadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    configuration = std::make_unique<GameConfiguration>();
    profile = std::make_unique<ProfileData>();
    profile->reset();
    profile->setName(u"Tester");
    LevelServices::fallback().configuration = configuration.get();
    LevelServices::fallback().profile = profile.get();
}

void LevelEnvironment::loadResources()
{
    FileManager& files = *harness.kiv().fileManager;
    for (RC::Archive archive : {RC::Archive::Language, RC::Archive::Levels, RC::Archive::CodePage, RC::Archive::Main}) {
        files.useWad(wide(std::string(TOBBLE_RUNTIME_DIR) + "/" + RC::archiveFileName(archive)));
    }
    for (const RC::TextureEntry& t : RC::textures()) {
        auto* texture = new Texture(t.flags, wide(t.file));
        addTexture(texture, t.name);
        if (t.originCode >= 0 && !texture->skins.empty()) {
            texture->skins[0]->setOriginByAlignment(t.originCode);
        }
    }
    for (const RC::SoundEntry& s : RC::sounds()) {
        auto* sound = new Sound(s.loop ? RC::SOUND_LOOP : 0, s.maxPlaybacks, wide(s.file));
        sound->minInterval = s.minInterval;
        sound->pitchMin = s.pitchMin;
        sound->pitchMax = s.pitchMax;
        add(sound, wide(s.name));
    }
    for (const RC::FileEntry& m : RC::music()) {
        add(new SoundStream(1, wide(m.file)), wide(m.name));
    }
    for (const RC::FontEntry& f : RC::fonts()) {
        buildFont(f);
    }
}

void LevelTest::SetUp()
{
    env = &LevelEnvironment::get();
    env->profile->currentLevel = 4;
    LevelServices::fallback().fade = 0.0f;
    LevelServices::fallback().fadeTarget = 0.0f;
}

void LevelTest::TearDown()
{
    manager.reset();
    THEROLE = nullptr;
    // Keys left down would leak into the next test.
    for (const char* key : {"Escape", "Pause", "Space", "Return", "M", "X", "Left", "Right"}) {
        PlatformEventInjector::key(key, false);
    }
    harness().frame(nullptr);
}

void LevelTest::play(LevelBuilder& builder)
{
    Packet stream = builder.stream();
    manager = std::make_unique<ContextLevelManager>(stream);
}

void LevelTest::frames(int count) { harness().frames(count, manager.get()); }

void LevelTest::pressKey(int code)
{
    static const std::pair<int, const char*> names[] = {{0x01, "Escape"}, {0xC5, "Pause"}, {57, "Space"},
                                                        {28, "Return"},   {50, "M"},       {45, "X"},
                                                        {203, "Left"},    {205, "Right"}};
    for (const auto& [c, name] : names) {
        if (c == code) {
            PlatformEventInjector::key(name, true);
        }
    }
}

void LevelTest::releaseKey(int code)
{
    static const std::pair<int, const char*> names[] = {{0x01, "Escape"}, {0xC5, "Pause"}, {57, "Space"},
                                                        {28, "Return"},   {50, "M"},       {45, "X"},
                                                        {203, "Left"},    {205, "Right"}};
    for (const auto& [c, name] : names) {
        if (c == code) {
            PlatformEventInjector::key(name, false);
        }
    }
}

void LevelTest::touchDown(float x, float y)
{
    const KivGraphics* graphics = KivGraphics::instance();
    const int h = graphics != nullptr ? graphics->height : 600;
    PlatformEventInjector::mouseButton(0, true, static_cast<int>(x), h - static_cast<int>(y));
}

void LevelTest::touchUp() { PlatformEventInjector::mouseButton(0, false, 0, 0); }

UColor LevelTest::pixel(int x, int y)
{
    int w = 0;
    int h = 0;
    const std::vector<std::uint32_t> all = KivGraphics::instance()->readScreen(w, h);
    if (x < 0 || y < 0 || x >= w || y >= h) {
        return UColor(0u);
    }
    return UColor(all[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)]);
}

void LevelTest::saveScreenshot(const std::string& name)
{
    KivGraphics::instance()->saveScreenshot(std::string(TOBBLE_RUNTIME_DIR) + "/" + name + ".tga", true);
}
