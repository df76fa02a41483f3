#pragma once
// The resource catalogue: every file the loader opens, the name it is registered under, its parameters and
// the archive it lives in. The loader reads these tables step by step and the data builder makes exactly
// these files, so names and paths exist once.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ResourceCatalogue {

// The archives beside the executable: "TobbleXmasdemo.dat" plus a suffix; a code page's archive ends in
// "." and the code page ("TobbleXmasdemo.dat.1252").
enum class Archive : std::uint8_t { Main, Language, Levels, CodePage };

inline constexpr int LOADER_STEP_COUNT = 225;
// The first code-page index that has a glyph in the font pages.
inline constexpr int FIRST_GLYPH_INDEX = 33;
// Entries of a code-point table: one little-endian 16-bit code point per byte value.
inline constexpr int CODE_PAGE_ENTRIES = 256;

// Texture flag bits.
inline constexpr std::uint8_t TEXTURE_ALPHA_ALWAYS = 0x1;
inline constexpr std::uint8_t TEXTURE_MAY_HALVE = 0x2;
inline constexpr std::uint8_t TEXTURE_512_IN_256_MODE = 0x4;
inline constexpr std::uint8_t TEXTURE_KEEP_IMAGE = 0x8;
// Sound flag bit: the sample loops.
inline constexpr std::uint8_t SOUND_LOOP = 0x1;

// A texture with its skin sheet; every skin i is also registered as "name:i". `originCode` is the
// alignment code given to skin 0 right after registration, or -1. `minFrames` is the number of frames the
// game reads from the sheet.
struct TextureEntry {
    std::int16_t step;
    const char* file;
    const char* name;
    std::uint8_t flags;
    std::int8_t originCode;
    std::uint8_t minFrames;
    Archive archive = Archive::Main;
};

// A sound effect (`Sound`): at most `maxPlaybacks` at once; a start sooner than `minInterval` seconds after
// the previous one is dropped; each playback's frequency ratio is 1 + a random value in the pitch range.
struct SoundEntry {
    std::int16_t step;
    const char* file;
    const char* name;
    std::uint8_t maxPlaybacks;
    bool loop;
    float minInterval;
    float pitchMin;
    float pitchMax;
};

// A music track (`SoundStream`, always looping) or a minimap image (`MemoryImageFile`, no frames).
struct FileEntry {
    std::int16_t step;
    const char* file;
    const char* name;
};

// A bitmap font: `loadStep` loads its glyph pages, `buildStep` builds it. The glyph pages are
// "%sgfx/font/%s/%s-%d.tga" (path prefix, code page, file name, page) registered as "%s%d" (texture base,
// page). Fonts with `compositeChars` take all their pages and build the accented characters; the others
// take their first page only. Then each font takes its symbol pages (`symbolPages`).
struct FontEntry {
    std::int16_t loadStep;
    std::int16_t buildStep;
    const char* name;
    const char* textureBase;
    const char* pathPrefix;
    const char* fileName;
    std::int8_t spaceAdvance;
    std::int8_t glyphSpacing;
    std::int8_t accentOffsetCaps;
    std::int8_t accentOffsetSmall;
    bool cachedDrawingAllowed;
    bool cacheFlag;
    bool compositeChars;
    bool enableFontCache;
};

// A symbol page of a font (main archive), its glyphs taken as codes from `firstCode` on, as they are. Code
// points below 32 in a text draw the glyphs of the interface page of the font that prints them; the
// menus print the check mark, the arrows, back and next with the small and medium fonts, so these fonts
// carry an interface page of their own height besides the tiny font's. `step` loads the page; the step
// that builds `font` adds it after the font's glyph pages.
struct SymbolPageEntry {
    std::int16_t step;
    const char* file;
    const char* name;
    std::uint8_t flags;
    std::uint16_t firstCode;
    const char* font;
};

// Steps of the loader that are not rows of a table.
inline constexpr int STEP_NOTHING = 1;
inline constexpr int STEP_SETTINGS = 3;
inline constexpr int STEP_START_MUSIC = 4;
inline constexpr int STEP_SELECT_LEVEL_ARCHIVE = 38;
inline constexpr int STEP_SELECT_MAIN_ARCHIVE = 47;
inline constexpr int STEP_LEVEL_FILES = 208;
inline constexpr int STEP_LANGUAGE_CHOICE = 209;
inline constexpr int STEP_SET_LANGUAGE = 210;
inline constexpr int STEP_POST_LOADER = 225;

// The two textures of the loading screen itself, loaded before the loader starts (step 0).
std::span<const TextureEntry> preLoaderTextures();
// Every texture step, in step order (all with frames); a step may hold several rows.
std::span<const TextureEntry> textures();
std::span<const SoundEntry> sounds();
std::span<const FileEntry> music();
// Minimap images of the level archive, "minimap%02d" for each level that is not a bonus level, several to
// a step.
std::span<const FileEntry> minimapImages();
std::span<const FontEntry> fonts();
std::span<const SymbolPageEntry> symbolPages();
// The font of that name, or null.
const FontEntry* findFont(std::string_view name);
// Level files recorded into the level archive in archive-building mode.
std::span<const char* const> levelFiles();
// The code pages the languages name; the fonts are built for each.
std::span<const char* const> codePages();

// "TobbleXmasdemo.dat" plus the archive's suffix (the code page's for Archive::CodePage).
std::string archiveFileName(Archive archive, std::string_view codePage = "1252");
// The suffix appended to the main archive name: "", ".language.v2", ".levels" or "." + code page.
std::string archiveSuffix(Archive archive, std::string_view codePage = "1252");

// Font page files and names.
std::string glyphPageFile(const FontEntry& font, std::string_view codePage, int page);
std::string extraGlyphPageFile(const FontEntry& font, std::string_view codePage, int page);
std::string glyphPageName(const FontEntry& font, int page);
std::string extraGlyphPageName(const FontEntry& font, int page);
// "%sgfx/font/%s/%s.codepointLUT.bin" and "%s.codepointLUT".
std::string codePointTableFile(std::string_view pathPrefix, std::string_view codePage);
std::string codePointTableName(std::string_view codePage);
// "%s:%d": the resource name of one frame of a sheet.
std::string frameName(std::string_view sheet, int frame);

} // namespace ResourceCatalogue
