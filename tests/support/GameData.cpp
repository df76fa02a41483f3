#include "support/GameData.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/audio/Sound.h"
#include "engine/audio/SoundStream.h"
#include "engine/files/FileBlock.h"
#include "engine/files/FileManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/MemoryImageResource.h"
#include "engine/render/Quad.h"
#include "engine/render/Skin.h"
#include "engine/render/Texture.h"
#include "engine/text/FontQuad.h"
#include "game/front/ContextManager.h"
#include "game/front/Loader.h"
#include "game/front/MyGlobal.h"
#include "game/resources/ResourceCatalogue.h"
#include "support/KivHarness.h"

namespace RC = ResourceCatalogue;

namespace {

UString wide(const std::string& text) { return utf8ToWide(text); }

// Every resource hangs here, so that none goes before the engine does.
KivBase& holder() {
    static KivBase* node = new KivBase();
    return *node;
}

void add(KivBase* resource, const UString& name) {
    holder().appendChild(resource);
    Kiv::instance()->resourceManager->addResource(name, resource);
}

void addTexture(Texture* texture, const std::string& name) {
    add(texture, wide(name));
    for (std::size_t i = 0; i < texture->skins.size(); ++i)
        Kiv::instance()->resourceManager->addResource(wide(RC::frameName(name, int(i))), texture->skins[i]);
}

void buildFont(const RC::FontEntry& entry) {
    ResourceManager& rm = *Kiv::instance()->resourceManager;
    FileManager& files = *Kiv::instance()->fileManager;
    const std::string page = "1252";
    for (int n = 1;; ++n) {
        const UString path = wide(RC::glyphPageFile(entry, page, n));
        if (!files.exists(path))
            break;
        add(new Texture(14, path), wide(RC::glyphPageName(entry, n)));
    }
    const UString tableName = wide(RC::codePointTableName(page));
    const UString tablePath = wide(RC::codePointTableFile(entry.pathPrefix, page));
    if (rm.find(tableName, false) == nullptr && files.exists(tablePath))
        add(new FileBlock(0, tablePath), tableName);
    auto* font = new FontQuad();
    font->name = wide(entry.name);
    font->spaceAdvance = entry.spaceAdvance;
    font->glyphSpacing = entry.glyphSpacing;
    font->accentOffsetCapital = entry.accentOffsetCaps;
    font->accentOffsetSmall = entry.accentOffsetSmall;
    font->bAllowCachedDrawing = entry.cachedDrawingAllowed;
    font->bCacheFlag = entry.cacheFlag;
    if (entry.compositeChars)
        font->addSourceTextures(wide(entry.textureBase));
    else
        font->addSourceTexture(rm.find<Texture>(wide(RC::glyphPageName(entry, 1))), RC::FIRST_GLYPH_INDEX, false);
    for (const RC::SymbolPageEntry& symbols : RC::symbolPages())
        if (std::string_view(symbols.font) == entry.name) {
            if (rm.find(wide(symbols.name), false) == nullptr)
                add(new Texture(symbols.flags, wide(symbols.file)), wide(symbols.name));
            font->addSourceTexture(rm.find<Texture>(wide(symbols.name)), symbols.firstCode, true);
        }
    if (entry.compositeChars)
        font->setupCompositeChars();
    font->createFontCache();
    add(font, wide(entry.name));
    Global& global = *Global::instance();
    const std::pair<std::string_view, FontQuad**> slots[] = {
        {"fontTiny", &global.fontTiny},         {"fontSmall", &global.fontSmall},
        {"fontSmallOutline", &global.fontSmallOutline}, {"fontMedium", &global.fontMedium},
        {"fontMediumOutline", &global.fontMediumOutline}, {"fontLarge", &global.fontLarge}};
    for (const auto& [name, slot] : slots)
        if (name == entry.name)
            *slot = font;
}

} // namespace

double GameData::load(KivHarness& harness, const std::string& archiveFolder) {
    const auto start = std::chrono::steady_clock::now();
    // The game object the level code asks for its settings, fonts and player.
    if (Global::instance() == nullptr) {
        auto* global = new MyGlobal();
        Global::setInstance(global);
        global->resourceHolder = new KivBase();
        global->contextManager = new ContextManager();
        if (global->profiles.countProfiles() == 0)
            global->profiles.addProfile(u"Bot");
    }
    FileManager& files = *harness.kiv().fileManager;
    for (RC::Archive archive : {RC::Archive::Language, RC::Archive::Levels, RC::Archive::CodePage, RC::Archive::Main})
        files.useWad(wide(archiveFolder + "/" + RC::archiveFileName(archive)));
    for (const RC::TextureEntry& t : RC::textures()) {
        auto* texture = new Texture(t.flags, wide(t.file));
        addTexture(texture, t.name);
        if (t.originCode >= 0 && !texture->skins.empty())
            texture->skins[0]->setOriginByAlignment(t.originCode);
    }
    for (const RC::FileEntry& image : RC::minimapImages())
        add(new MemoryImageResource(1, wide(image.file)), wide(image.name));
    for (const RC::SoundEntry& s : RC::sounds()) {
        auto* sound = new Sound(s.loop ? RC::SOUND_LOOP : 0, s.maxPlaybacks, wide(s.file));
        sound->minInterval = s.minInterval;
        sound->pitchMin = s.pitchMin;
        sound->pitchMax = s.pitchMax;
        add(sound, wide(s.name));
    }
    for (const RC::FileEntry& m : RC::music())
        add(new SoundStream(1, wide(m.file)), wide(m.name));
    for (const RC::FontEntry& f : RC::fonts())
        buildFont(f);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

MyGlobal* GameData::startThroughLoader(KivHarness& harness, const std::string& archiveFolder) {
    namespace fs = std::filesystem;
    for (RC::Archive archive : {RC::Archive::Main, RC::Archive::Language, RC::Archive::Levels, RC::Archive::CodePage}) {
        const std::string name = RC::archiveFileName(archive);
        fs::create_symlink(fs::absolute(fs::path(archiveFolder) / name), fs::path(harness.dataFolder.path()) / name);
    }
    auto* global = new MyGlobal();
    Global::setInstance(global);
    global->initPreLoader();
    for (int i = 0; i < 5000 && (global->contextIntro == nullptr ||
                                 dynamic_cast<Loader*>(global->contextManager->getTop()) != nullptr);
         ++i) {
        harness.frame(global->contextManager);
    }
    return global;
}
