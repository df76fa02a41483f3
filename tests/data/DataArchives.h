#pragma once
// The archives the build wrote beside the executable, read once and shared by the data tests.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/core/UString.h"
#include "engine/files/MemoryIniFile.h"
#include "engine/render/MemoryImageFile.h"
#include "game/resources/ResourceCatalogue.h"
#include "tools/databuilder/SpriteSheet.h"

class DataArchives {
public:
    // Reads every archive of the catalogue from the runtime folder.
    static const DataArchives& get();
    static std::string folder();

    const std::map<std::string, std::vector<std::uint8_t>>& files(ResourceCatalogue::Archive archive) const {
        return contents.at(int(archive));
    }
    bool has(ResourceCatalogue::Archive archive, const std::string& file) const {
        return files(archive).count(file) != 0;
    }
    // The bytes of a file; empty when the archive lacks it.
    const std::vector<std::uint8_t>& read(ResourceCatalogue::Archive archive, const std::string& file) const;

private:
    DataArchives();
    std::map<int, std::map<std::string, std::vector<std::uint8_t>>> contents;
};

// One frame of a skin sheet as its ini file gives it.
struct SheetRect {
    int left, top, width, height;
};
// The "Skin %d" sections of a sheet, in order, until the first missing number.
std::vector<SheetRect> readSheet(const std::vector<std::uint8_t>& ini);
MemoryImageFile decodeImage(const std::vector<std::uint8_t>& bytes, const std::string& name);
// True when some pixel of the rectangle is not fully transparent.
bool hasInk(const MemoryImageFile& image, const SheetRect& rect);
