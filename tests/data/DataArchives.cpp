#include "DataArchives.h"

#include "engine/files/WadReader.h"

using namespace ResourceCatalogue;

std::string DataArchives::folder() { return TOBBLE_RUNTIME_DIR; }

const DataArchives& DataArchives::get() {
    static const DataArchives archives;
    return archives;
}

DataArchives::DataArchives() {
    for (Archive archive : {Archive::Main, Archive::Language, Archive::Levels, Archive::CodePage}) {
        WadReader reader(folder() + "/" + archiveFileName(archive));
        auto& map = contents[int(archive)];
        for (std::size_t i = 0; i < reader.entries().size(); ++i) {
            FileData data = reader.read(i);
            map[reader.entries()[i].name].assign(data.bytes.get(), data.bytes.get() + data.size);
        }
    }
}

const std::vector<std::uint8_t>& DataArchives::read(Archive archive, const std::string& file) const {
    static const std::vector<std::uint8_t> none;
    auto it = files(archive).find(file);
    return it == files(archive).end() ? none : it->second;
}

std::vector<SheetRect> readSheet(const std::vector<std::uint8_t>& ini) {
    MemoryIniFile sheet = MemoryIniFile::fromText(ini.data(), ini.size());
    std::vector<SheetRect> frames;
    for (int i = 0;; ++i) {
        UString section = toUString(("Skin " + std::to_string(i)).c_str());
        if (!sheet.keyExists(section, u"left"))
            return frames;
        frames.push_back({sheet.getInt(section, u"left", -1), sheet.getInt(section, u"top", -1),
                          sheet.getInt(section, u"width", -1), sheet.getInt(section, u"height", -1)});
    }
}

MemoryImageFile decodeImage(const std::vector<std::uint8_t>& bytes, const std::string& name) {
    MemoryImageFile image;
    image.decode(bytes.data(), bytes.size(), toUString(name.c_str()));
    return image;
}

bool hasInk(const MemoryImageFile& image, const SheetRect& rect) {
    for (int y = rect.top; y < rect.top + rect.height; ++y)
        for (int x = rect.left; x < rect.left + rect.width; ++x)
            if (image.getPixel(x, y) >> 24)
                return true;
    return false;
}
