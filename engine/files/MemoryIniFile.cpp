#include "engine/files/MemoryIniFile.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/files/FileIO.h"

namespace {

// The ASCII text of a value, or empty when it holds anything else (numbers are ASCII only).
std::string asciiOf(const UString& value)
{
    std::string out;
    out.reserve(value.size());
    for (char16_t c : value) {
        if (c >= 0x80) {
            return {};
        }
        out.push_back(static_cast<char>(c));
    }
    if (!out.empty() && out[0] == '+') {
        out.erase(0, 1);
    }
    return out;
}

template <class T>
bool parseNumber(const UString& value, T& out)
{
    const std::string text = asciiOf(value);
    if (text.empty()) {
        return false;
    }
    T parsed{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    out = parsed;
    return true;
}

// A stored number, or the default when the value is missing (then writeDefault stores it) or no number.
template <class T, class WriteDefault>
T numberOrDefault(const UString* value, T defaultValue, WriteDefault writeDefault)
{
    if (value == nullptr) {
        writeDefault();
        return defaultValue;
    }
    T parsed = defaultValue;
    return parseNumber(*value, parsed) ? parsed : defaultValue;
}

template <class T>
UString numberText(T value)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return ec == std::errc() ? utf8ToWide(std::string_view(buffer, static_cast<std::size_t>(end - buffer))) : u"0";
}

} // namespace

MemoryIniFile MemoryIniFile::fromText(const void* bytes, std::size_t size)
{
    MemoryIniFile ini;
    Section* current = nullptr;
    int number = 0;
    const auto* raw = static_cast<const char*>(bytes);
    const bool utf16 = size >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF && static_cast<unsigned char>(raw[1]) == 0xFE;
    if (const void* nul = utf16 || size == 0 ? nullptr : std::memchr(raw, 0, size)) {
        // The text ends at a NUL byte: what follows is no text.
        ini.unparsedLine = 1 + static_cast<int>(std::count(raw, static_cast<const char*>(nul), '\n'));
    }
    for (UString& line : splitLines(decodeTextBuffer(bytes, size))) {
        ++number;
        trimString(line);
        if (line.empty()) {
            continue;
        }
        const std::size_t eq = line.find(u'=');
        const bool header = line.size() >= 2 && line.front() == u'[' && line.back() == u']';
        const bool noText = std::any_of(line.begin(), line.end(), [](char16_t c) { return c < 0x20 && c != u'\t'; });
        // The first line may be free text: save() puts the warning line there.
        const bool freeText = eq == UString::npos && !header && number != 1;
        if (ini.unparsedLine == 0 && (noText || freeText)) {
            ini.unparsedLine = number;
        }
        if (eq == UString::npos) {
            const UStringView name = line.size() >= 2 ? UStringView(line).substr(1, line.size() - 2) : UStringView();
            current = &ini.sectionFor(name);
            continue;
        }
        if (current == nullptr) {
            current = &ini.sectionFor(u"");
        }
        UString key = line.substr(0, eq);
        UString value = line.substr(eq + 1);
        trimString(key);
        trimString(value);
        bool replaced = false;
        for (Entry& e : current->entries) {
            if (e.key == key) {
                e.value = std::move(value);
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            current->entries.push_back({std::move(key), std::move(value)});
        }
    }
    return ini;
}

bool MemoryIniFile::load(const std::string& path)
{
    sections.clear();
    std::vector<std::uint8_t> bytes;
    unparsedLine = 0;
    if (!FileIO::readWholeFile(path, bytes, MAX_FILE_SIZE)) {
        return false;
    }
    *this = fromText(bytes.data(), bytes.size());
    return true;
}

UString MemoryIniFile::toText(UStringView firstLine) const
{
    UString text;
    if (!firstLine.empty()) {
        text += firstLine;
        text += u"\r\n";
    }
    // Keys of the section "" need no header only at the very start of the file.
    bool anythingWritten = !firstLine.empty();
    for (const Section& s : sections) {
        if (s.entries.empty()) {
            continue;
        }
        if (!s.name.empty() || anythingWritten) {
            text += formatString(u"[%s]\r\n", s.name);
        }
        anythingWritten = true;
        for (const Entry& e : s.entries) {
            text += formatString(u"%s=%s\r\n", e.key, e.value);
        }
    }
    return text;
}

bool MemoryIniFile::save(const std::string& path, UStringView firstLine) const
{
    const std::string bytes = "\xEF\xBB\xBF" + wideToUtf8(toText(firstLine));
    return FileIO::writeFileReplacing(path, bytes.data(), bytes.size());
}

const UString* MemoryIniFile::findValue(UStringView section, UStringView key) const
{
    for (const Section& s : sections) {
        if (s.name != section) {
            continue;
        }
        for (const Entry& e : s.entries) {
            if (e.key == key) {
                return &e.value;
            }
        }
    }
    return nullptr;
}

MemoryIniFile::Section& MemoryIniFile::sectionFor(UStringView name)
{
    for (Section& s : sections) {
        if (s.name == name) {
            return s;
        }
    }
    sections.push_back({UString(name), {}});
    return sections.back();
}

bool MemoryIniFile::keyExists(UStringView section, UStringView key) const { return findValue(section, key) != nullptr; }

UString MemoryIniFile::getString(UStringView section, UStringView key) const
{
    const UString* value = findValue(section, key);
    if (value == nullptr) {
        KIV_FATAL(formatString(u"Key '%s' could not be found in section '%s'.", key, section));
    }
    return *value;
}

UString MemoryIniFile::getString(UStringView section, UStringView key, UStringView defaultValue)
{
    if (const UString* value = findValue(section, key)) {
        return *value;
    }
    setString(section, key, defaultValue);
    return UString(defaultValue);
}

int MemoryIniFile::getInt(UStringView section, UStringView key, int defaultValue)
{
    return numberOrDefault(findValue(section, key), defaultValue, [&] { setInt(section, key, defaultValue); });
}

float MemoryIniFile::getFloat(UStringView section, UStringView key, float defaultValue)
{
    return numberOrDefault(findValue(section, key), defaultValue, [&] { setFloat(section, key, defaultValue); });
}

double MemoryIniFile::getDouble(UStringView section, UStringView key, double defaultValue)
{
    return numberOrDefault(findValue(section, key), defaultValue, [&] { setDouble(section, key, defaultValue); });
}

bool MemoryIniFile::getBool(UStringView section, UStringView key, bool defaultValue)
{
    if (!keyExists(section, key)) {
        setBool(section, key, defaultValue);
        return defaultValue;
    }
    return findBool(section, key).value_or(defaultValue);
}

std::optional<int> MemoryIniFile::findInt(UStringView section, UStringView key) const
{
    const UString* value = findValue(section, key);
    int parsed = 0;
    if (value == nullptr || !parseNumber(*value, parsed)) {
        return std::nullopt;
    }
    return parsed;
}

std::optional<bool> MemoryIniFile::findBool(UStringView section, UStringView key) const
{
    const UString* value = findValue(section, key);
    if (value == nullptr) {
        return std::nullopt;
    }
    const UString lower = toLowerAscii(*value);
    if (lower == u"yes") {
        return true;
    }
    if (lower == u"no") {
        return false;
    }
    return std::nullopt;
}

void MemoryIniFile::setString(UStringView section, UStringView key, UStringView value)
{
    Section& s = sectionFor(section);
    for (Entry& e : s.entries) {
        if (e.key == key) {
            e.value = UString(value);
            return;
        }
    }
    s.entries.push_back({UString(key), UString(value)});
}

void MemoryIniFile::setInt(UStringView section, UStringView key, int value) { setString(section, key, numberText(value)); }
void MemoryIniFile::setFloat(UStringView section, UStringView key, float value) { setString(section, key, numberText(value)); }
void MemoryIniFile::setDouble(UStringView section, UStringView key, double value) { setString(section, key, numberText(value)); }
void MemoryIniFile::setBool(UStringView section, UStringView key, bool value) { setString(section, key, value ? u"Yes" : u"No"); }
