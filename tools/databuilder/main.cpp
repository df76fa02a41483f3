// The data builder: makes every file of the resource catalogue and writes the game's archives and its
// ".cfg.static" into the output folder.
//
//   databuilder --out <folder> --fonts <folder with DejaVuSans.ttf> --levels <folder of level sources>
//               [--preview <folder>]
//
// --preview also saves every picture as a PNG file, for looking at the art.
#include <cstdio>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/files/MemoryIniFile.h"
#include "engine/files/WadWriter.h"
#include "game/resources/ResourceCatalogue.h"
#include "tools/databuilder/ArchiveFile.h"
#include "tools/databuilder/Art.h"
#include "tools/databuilder/Fonts.h"
#include "tools/databuilder/LevelMap.h"
#include "tools/databuilder/LevelSource.h"
#include "tools/databuilder/Sounds.h"

using namespace ResourceCatalogue;

namespace {

struct Options {
    std::string out;
    std::string fonts;
    std::string levels;
    std::string preview;
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string key = argv[i];
        if (key == "--out")
            options.out = argv[i + 1];
        else if (key == "--fonts")
            options.fonts = argv[i + 1];
        else if (key == "--levels")
            options.levels = argv[i + 1];
        else if (key == "--preview")
            options.preview = argv[i + 1];
        else
            throw std::runtime_error("Unknown option " + key);
    }
    if (options.out.empty() || options.fonts.empty() || options.levels.empty())
        throw std::runtime_error(
            "Usage: databuilder --out <folder> --fonts <folder> --levels <folder> [--preview <folder>]");
    return options;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The files of one archive, in the order they are added.
class ArchiveContents {
public:
    explicit ArchiveContents(std::string fileName) : name(std::move(fileName)) {}
    void add(ArchiveFile file) {
        if (!names.insert(file.name).second)
            throw std::runtime_error("The file " + file.name + " was made twice for " + name);
        files.push_back(std::move(file));
    }
    bool has(const std::string& file) const { return names.count(file) != 0; }
    void write(const std::string& folder) const {
        WadWriter writer;
        for (const ArchiveFile& file : files)
            writer.add(file.name, file.bytes);
        writer.write(folder + "/" + name, WadWriter::Packing::Zlib);
    }

private:
    std::string name;
    std::vector<ArchiveFile> files;
    std::set<std::string> names;
};

class Builder {
public:
    explicit Builder(const Options& options)
        : options(options), faces(options.fonts), levelSources(readLevelSources(options.levels)) {}

    void addTexture(ArchiveContents& archive, const TextureEntry& texture) {
        SpriteSheet sheet = drawArt(texture.name, faces);
        if (int(sheet.frames.size()) < texture.minFrames)
            throw std::runtime_error(std::string("The sheet ") + texture.name + " has fewer frames than the game reads");
        addSheet(archive, texture.file, texture.name, sheet);
    }

    void addSheet(ArchiveContents& archive, const std::string& file, const std::string& name, const SpriteSheet& sheet) {
        addImage(archive, file, name, sheet.image);
        archive.add({sheetFile(file), textBytes(skinSheetText(sheet.frames))});
    }

    void addImage(ArchiveContents& archive, const std::string& file, const std::string& name, const Picture& image) {
        if (endsWith(file, ".jpg"))
            archive.add({file, encodeJpeg(image, 90)});
        else if (endsWith(file, ".tga")) {
            Picture bled = image; // clear pixels take their neighbours' colour against dark fringes
            bleedEdges(bled);
            archive.add({file, encodeTga(bled)});
        }
        else
            throw std::runtime_error("No image format for " + file);
        if (!options.preview.empty())
            savePng(image, options.preview + "/" + name + ".png");
    }

    void addSound(ArchiveContents& archive, const std::string& file) {
        if (!archive.has(file)) // two sounds may share one file
            archive.add({file, makeSoundFile(file)});
    }

    void run() {
        ArchiveContents main(archiveFileName(Archive::Main));
        ArchiveContents language(archiveFileName(Archive::Language));
        ArchiveContents levels(archiveFileName(Archive::Levels));
        auto archiveOf = [&](Archive a) -> ArchiveContents& {
            return a == Archive::Language ? language : a == Archive::Levels ? levels : main;
        };
        for (const TextureEntry& t : preLoaderTextures())
            addTexture(main, t);
        for (const TextureEntry& t : textures())
            addTexture(archiveOf(t.archive), t);
        // Each map is drawn from the source of its level: "minimap%02d" by the level's number.
        for (const FileEntry& image : minimapImages())
            addImage(levels, image.file, image.name, drawLevelMap(levelSources.at(std::stoi(image.name + 7))));
        for (const FileEntry& m : music())
            addSound(main, m.file);
        for (const SoundEntry& s : sounds())
            addSound(main, s.file);
        for (const SymbolPageEntry& page : symbolPages())
            addSheet(main, page.file, page.name, makeSymbolPage(page, faces));

        std::vector<ArchiveContents> codePageArchives;
        for (const char* codePage : codePages()) {
            ArchiveContents archive(archiveFileName(Archive::CodePage, codePage));
            for (const FontEntry& font : fonts()) {
                std::vector<SpriteSheet> pages = makeGlyphPages(font, codePage, faces);
                for (std::size_t n = 0; n < pages.size(); ++n)
                    addSheet(archive, glyphPageFile(font, codePage, int(n + 1)), glyphPageName(font, int(n + 1)),
                             pages[n]);
            }
            archive.add({codePointTableFile("", codePage), codePointTableBytes(codePage)});
            codePageArchives.push_back(std::move(archive));
        }

        std::filesystem::create_directories(options.out);
        main.write(options.out);
        language.write(options.out);
        levels.write(options.out);
        for (const ArchiveContents& archive : codePageArchives)
            archive.write(options.out);
        writeStaticConfig();
        writeReadme();
    }

    // The short page that the help menu's Documentation link opens: how to play, the default controls and
    // where the user files are kept.
    void writeReadme() const {
        static const char page[] =
            "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Tobble</title></head><body>\n"
            "<h1>Tobble</h1>\n"
            "<h2>How to play</h2>\n"
            "<p>Guide the pig through the levels of the world map. Gather the apples and bring them home; "
            "every level you finish opens the way to the next ones.</p>\n"
            "<h2>Controls</h2>\n<table>\n"
            "<tr><td>Move left / right</td><td>Left arrow / Right arrow</td></tr>\n"
            "<tr><td>Use / carry</td><td>X</td></tr>\n"
            "<tr><td>Jump</td><td>Space</td></tr>\n"
            "<tr><td>Show statistics</td><td>Return</td></tr>\n"
            "<tr><td>Show level map</td><td>M</td></tr>\n"
            "<tr><td>In-game menu</td><td>Esc</td></tr>\n"
            "</table>\n"
            "<p>A joystick or game pad works too: the stick moves, buttons 1, 2 and 3 jump, show the "
            "statistics and show the level map. Every control but the in-game menu can be changed under "
            "Options, Controls.</p>\n"
            "<h2>Your files</h2>\n"
            "<p>The settings, the high scores, the players and the log are kept in "
            "<code>$XDG_DATA_HOME/Kestrelmoor studios/TobbleXmasdemo/1.25/</code> (without "
            "<code>XDG_DATA_HOME</code>: <code>~/.local/share/Kestrelmoor studios/TobbleXmasdemo/1.25/</code>).</p>\n"
            "</body></html>\n";
        const std::string path = options.out + "/readme.htm";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr)
            throw std::runtime_error("Cannot write " + path);
        const bool written = std::fwrite(page, 1, sizeof page - 1, file) == sizeof page - 1;
        if (std::fclose(file) != 0 || !written)
            throw std::runtime_error("Cannot write " + path);
    }

    // The settings the game needs on this platform: the language is detected or chosen, the normal
    // render mode, and the web host.
    void writeStaticConfig() const {
        MemoryIniFile ini;
        ini.setInt(u"Language", u"singleLanguage", -1);
        ini.setString(u"Language", u"languageMask", u"");
        ini.setInt(u"Graphics", u"hq2x", 1);
        ini.setString(u"Network", u"webHost", u"localhost");
        if (!ini.save(options.out + "/.cfg.static"))
            throw std::runtime_error("Cannot write " + options.out + "/.cfg.static");
    }

private:
    const Options& options;
    Typefaces faces;
    std::vector<LevelSource> levelSources;
};

} // namespace

int main(int argc, char** argv) {
    try {
        Options options = parseOptions(argc, argv);
        if (!options.preview.empty())
            std::filesystem::create_directories(options.preview);
        Builder(options).run();
        cairo_debug_reset_static_data();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "databuilder: %s\n", e.what());
        return 1;
    }
    return 0;
}
