#include "game/front/Loader.h"

#include "engine/audio/KivAudio.h"
#include "engine/audio/Sound.h"
#include "engine/audio/SoundStream.h"
#include "engine/core/ErrorManager.h"
#include "engine/core/Logger.h"
#include "engine/core/TimeKeeper.h"
#include "engine/files/FileBlock.h"
#include "engine/files/FileManager.h"
#include "engine/files/ResourceManager.h"
#include "engine/kiv/Kiv.h"
#include "engine/render/KivGraphics.h"
#include "engine/render/MemoryImageResource.h"
#include "engine/render/Quad.h"
#include "engine/render/Texture.h"
#include "engine/text/FontQuad.h"
#include "game/front/ContextLanguageSelect.h"
#include "game/front/ContextManager.h"
#include "game/front/Global.h"
#include "game/front/LoaderProgressBar.h"
#include "game/language/Language.h"
#include "game/resources/ResourceCatalogue.h"
#include "game/userdata/ProfileData.h"

namespace RC = ResourceCatalogue;

namespace {
constexpr std::uint32_t GLYPH_PAGE_FLAGS = 14;
constexpr std::uint32_t EXTRA_PAGE_FLAGS = 10;
constexpr const char* FALLBACK_CODE_PAGE = "1252";

Kiv& engine() { return *Kiv::instance(); }
FileManager& files() { return *FileManager::instance(); }
ResourceManager& resources() { return *ResourceManager::instance(); }

UString wide(const std::string& text) { return utf8ToWide(text); }

void selectArchive(RC::Archive archive, std::string_view codePage = FALLBACK_CODE_PAGE)
{
    files().useWad(wide(Global::getDataArchivePath() + RC::archiveSuffix(archive, codePage)));
}

// The text of an id in a given language, whatever the current language is.
UString languageText(int language, int id)
{
    const Language* texts = engine().language;
    if (texts == nullptr || language < 0 || language >= Language::NUMLANGUAGES) {
        return {};
    }
    const char16_t* text = texts->texts[language][id];
    return text != nullptr ? UString(text) : UString();
}

FontQuad** globalFontSlot(std::string_view name)
{
    Global* global = Global::instance();
    if (name == "fontTiny") return &global->fontTiny;
    if (name == "fontSmall") return &global->fontSmall;
    if (name == "fontSmallOutline") return &global->fontSmallOutline;
    if (name == "fontMedium") return &global->fontMedium;
    if (name == "fontMediumOutline") return &global->fontMediumOutline;
    if (name == "fontLarge") return &global->fontLarge;
    return nullptr;
}
} // namespace

Loader::Loader()
{
    Logger::logFrom("Loader::Loader", u"Loading resources...");
    bDeleteWhenClosed = true;
    bEscapeCloses = false;
    bShowPointer = false;
    bHideFrameRate = true;
    clearColor = UColor(0xFF000000u);
    auto* barTexture = resources().find<Texture>(u"gui-game-progressBar");
    pProgressBar = new LoaderProgressBar(barTexture, 0, 1);
    if (Kiv::instance() != nullptr && engine().bEnableDelayedLoad) {
        pProgressBar->bHidden = true;
    }
    addChild(pProgressBar);
    totalSteps = loadStuff(true);
}

Loader::~Loader() = default;

double Loader::clock()
{
    const TimeKeeper* keeper = Kiv::instance() != nullptr ? engine().timeKeeper : nullptr;
    return keeper != nullptr ? keeper->getUnfrozenTime() : 0.0;
}

void Loader::tickContents(double time, double dt)
{
    Context::tickContents(time, dt);
    const double deadline = clock() + TIME_BUDGET;
    while (deadline > clock()) {
        const int n = loadStuff(false);
        pProgressBar->setProgress(static_cast<float>(n) / static_cast<float>(totalSteps));
        if (bOneStep) {
            bOneStep = false;
            return;
        }
        const Global* global = Global::instance();
        if (global->contextManager == nullptr || global->contextManager->getLastChild() != this) {
            bOneStep = true;
            return;
        }
        if (n >= totalSteps) {
            return;
        }
    }
}

int Loader::loadStuff(bool countOnly)
{
    if (countOnly) {
        return RC::LOADER_STEP_COUNT;
    }
    if (currentStep >= RC::LOADER_STEP_COUNT) {
        return RC::LOADER_STEP_COUNT;
    }
    ++currentStep;
    if (stepObserver) {
        stepObserver(currentStep, true);
    }
    runStep(currentStep);
    if (stepObserver) {
        stepObserver(currentStep, false);
    }
    return currentStep;
}

void Loader::runStep(int step)
{
    switch (step) {
    case RC::STEP_SETTINGS: {
        Global* global = Global::instance();
        if (const KivGraphics* graphics = KivGraphics::instance()) {
            global->config.bFullScreen = graphics->bFullScreen ? 1 : 0;
        }
        global->applySettings(-1, -1);
        bOneStep = true;
        break;
    }
    case RC::STEP_START_MUSIC:
        if (KivAudio* audio = KivAudio::instance()) {
            audio->setMusic(resources().find<SoundStream>(u"musicMenu"));
        }
        break;
    case RC::STEP_SELECT_LEVEL_ARCHIVE:
        selectArchive(RC::Archive::Levels);
        break;
    case RC::STEP_SELECT_MAIN_ARCHIVE:
        selectArchive(RC::Archive::Main);
        break;
    case RC::STEP_LEVEL_FILES:
        recordLevelFiles();
        break;
    case RC::STEP_LANGUAGE_CHOICE:
        chooseLanguage();
        break;
    case RC::STEP_SET_LANGUAGE:
        if (Language* language = engine().language) {
            language->setLanguage(engine().defaultLanguage);
        }
        break;
    case RC::STEP_POST_LOADER:
        Global::instance()->initPostLoader();
        bClosed = true;
        break;
    default:
        break;
    }
    loadCatalogueEntries(step);
}

void Loader::loadCatalogueEntries(int step)
{
    for (const RC::FileEntry& entry : RC::music()) {
        if (entry.step == step) {
            addResource(new SoundStream(1, wide(entry.file)), wide(entry.name));
        }
    }
    for (const RC::SoundEntry& entry : RC::sounds()) {
        if (entry.step == step) {
            auto* sound = new Sound(entry.loop ? RC::SOUND_LOOP : 0, entry.maxPlaybacks, wide(entry.file));
            addResource(sound, wide(entry.name));
            sound->minInterval = entry.minInterval;
            sound->pitchMin = entry.pitchMin;
            sound->pitchMax = entry.pitchMax;
        }
    }
    for (const RC::TextureEntry& entry : RC::textures()) {
        if (entry.step == step) {
            loadTexture(entry);
        }
    }
    for (const RC::FileEntry& entry : RC::minimapImages()) {
        if (entry.step == step) {
            addResource(new MemoryImageResource(1, wide(entry.file)), wide(entry.name));
        }
    }
    for (const RC::FontEntry& font : RC::fonts()) {
        if (font.loadStep == step) {
            fontRes(false, wide(font.textureBase), wide(font.pathPrefix), wide(font.fileName), UString());
        }
    }
    for (const RC::SymbolPageEntry& page : RC::symbolPages()) {
        if (page.step == step) {
            addResource(new Texture(page.flags, wide(page.file)), wide(page.name));
        }
    }
    for (const RC::FontEntry& font : RC::fonts()) {
        if (font.buildStep == step) {
            buildFont(font);
        }
    }
}

void Loader::loadTexture(const RC::TextureEntry& entry)
{
    // Files of the language archive are read with that archive current; the level archive's steps lie
    // between the two steps that select it and the main archive.
    const bool otherArchive = entry.archive == RC::Archive::Language;
    if (otherArchive) {
        selectArchive(entry.archive);
    }
    auto* texture = new Texture(entry.flags, wide(entry.file));
    addTexture(texture, wide(entry.name));
    if (entry.originCode >= 0 && !texture->skins.empty()) {
        texture->skins[0]->setOriginByAlignment(entry.originCode);
    }
    if (otherArchive) {
        selectArchive(RC::Archive::Main);
    }
}

void Loader::recordLevelFiles()
{
    if (!files().bBuildWad) {
        return;
    }
    // Every level of the level table, as the data builder packs them.
    selectArchive(RC::Archive::Levels);
    for (int level = 0; level < ProfileData::NUMLEVELS; ++level) {
        FileBlock block(0, ProfileData::levelNumberToFile(level));
    }
    selectArchive(RC::Archive::Main);
}

void Loader::chooseLanguage()
{
    Kiv& kiv = engine();
    if (kiv.singleLanguage >= 0) {
        kiv.defaultLanguage = kiv.singleLanguage;
        Logger::logFrom("Loader::loadStuff", u"Single language mode (%d).", kiv.defaultLanguage);
        return;
    }
    Logger::logFrom("Loader::loadStuff", u"Multilanguage mode (%d).", kiv.defaultLanguage);
    const std::vector<int> offered = ContextLanguageSelect::offeredLanguages();
    if (!files().readsLooseFiles()) {
        auto* flags = resources().find<Texture>(u"languageFlags");
        for (int language : offered) {
            const std::string codePage = wideToUtf8(languageText(language, STR_LANGUAGECODEPAGE));
            UString archive = wide(Global::getDataArchivePath() + RC::archiveSuffix(RC::Archive::CodePage, codePage));
            if (files().renderMode == 2) {
                archive += u".hq2x";
            }
            FileManager::verifyFileDisk(archive);
            const UString isoCode = languageText(language, STR_LANGUAGEISOCODE);
            if (!(static_cast<int>(flags->skins.size()) > ContextLanguageSelect::isoCode2skinIndex(isoCode))) {
                ErrorManager::assertionFailed("FIND_RESOURCE(Texture,TT(\"languageFlags\"))->skins.size()>"
                                              "ContextLanguageSelect::isoCode2skinIndex(isoCode)",
                                              "Loader::loadStuff", "Loader", 844);
            }
        }
    }
    if (kiv.defaultLanguage == -2) {
        kiv.defaultLanguage = ContextLanguageSelect::autodetectLanguage();
    } else if (kiv.defaultLanguage < 0) {
        Global::instance()->contextManager->addContext(new ContextLanguageSelect());
    }
}

void Loader::fontRes(bool prefetch, const UString& base, const UString& prefix, const UString& fileName,
                     const UString& codePageIn)
{
    UString codePage = codePageIn;
    if (codePage.empty()) {
        if (files().bBuildWad) {
            for (int language = 0; language < Language::NUMLANGUAGES; ++language) {
                fontRes(true, base, prefix, fileName, languageText(language, STR_LANGUAGECODEPAGE));
            }
        }
        const Language* language = engine().language;
        codePage = language != nullptr ? UString(language->getText(STR_LANGUAGECODEPAGE)) : UString(u"1252");
    }
    const std::string page = wideToUtf8(codePage);
    RC::FontEntry font{};
    const std::string baseName = wideToUtf8(base), prefixName = wideToUtf8(prefix), file = wideToUtf8(fileName);
    font.textureBase = baseName.c_str();
    font.pathPrefix = prefixName.c_str();
    font.fileName = file.c_str();

    selectArchive(RC::Archive::CodePage, page);
    for (int n = 1;; ++n) {
        const UString path = wide(RC::glyphPageFile(font, page, n));
        if (!files().exists(path)) {
            break;
        }
        if (prefetch) {
            Texture probe(0, path);
        } else {
            addResource(new Texture(GLYPH_PAGE_FLAGS, path), wide(RC::glyphPageName(font, n)));
        }
    }
    for (int n = 1;; ++n) {
        const UString path = wide(RC::extraGlyphPageFile(font, page, n));
        if (!files().exists(path)) {
            break;
        }
        if (prefetch) {
            Texture probe(0, path);
        } else {
            addResource(new Texture(EXTRA_PAGE_FLAGS, path), wide(RC::extraGlyphPageName(font, n)));
        }
    }
    const UString tableName = wide(RC::codePointTableName(page));
    const UString tablePath = wide(RC::codePointTableFile(prefixName, page));
    if (resources().find(tableName, false) == nullptr && files().exists(tablePath)) {
        if (prefetch) {
            FileBlock probe(0, tablePath);
        } else {
            addResource(new FileBlock(0, tablePath), tableName);
        }
    }
    selectArchive(RC::Archive::Main);

    if (!prefetch && resources().find(wide(RC::glyphPageName(font, 1)), false) == nullptr) {
        if (page != FALLBACK_CODE_PAGE) {
            fontRes(false, base, prefix, fileName, utf8ToWide(FALLBACK_CODE_PAGE));
        } else {
            ErrorManager::error(formatString(u"Could not find any 8-bit glyphs for font '%s'", fileName),
                                "Loader::fontRes", "Loader", 1102);
        }
    }
}

void Loader::buildFont(const RC::FontEntry& entry)
{
    auto* font = new FontQuad();
    font->name = wide(entry.name);
    if (FontQuad** slot = globalFontSlot(entry.name)) {
        *slot = font;
    }
    font->spaceAdvance = entry.spaceAdvance;
    font->glyphSpacing = entry.glyphSpacing;
    font->accentOffsetCapital = entry.accentOffsetCaps;
    font->accentOffsetSmall = entry.accentOffsetSmall;
    font->bAllowCachedDrawing = entry.cachedDrawingAllowed;
    font->bCacheFlag = entry.cacheFlag;
    if (entry.compositeChars) {
        font->addSourceTextures(wide(entry.textureBase));
    } else {
        font->addSourceTexture(resources().find<Texture>(wide(RC::glyphPageName(entry, 1))), RC::FIRST_GLYPH_INDEX,
                               false);
    }
    // The symbol pages are taken by code as they are, after the glyph pages.
    for (const RC::SymbolPageEntry& page : RC::symbolPages()) {
        if (std::string_view(page.font) == entry.name) {
            font->addSourceTexture(resources().find<Texture>(wide(page.name)), page.firstCode, true);
        }
    }
    if (entry.compositeChars) {
        font->setupCompositeChars();
        font->emptyHook();
    }
    if (entry.enableFontCache) {
        font->enableFontCache();
    }
    font->createFontCache();
    addResource(font, wide(entry.name));
}

void Loader::addResource(KivBase* resource, const UString& name)
{
    Global::instance()->resourceHolder->addChild(resource);
    resources().addResource(name, resource);
}

void Loader::addTexture(Texture* texture, const UString& name)
{
    addResource(texture, name);
    const std::string narrow = wideToUtf8(name);
    for (std::size_t i = 0; i < texture->skins.size(); ++i) {
        resources().addResource(wide(RC::frameName(narrow, static_cast<int>(i))), texture->skins[i]);
    }
}
