#pragma once
// An ini file held in memory: "[section]" headers and "key=value" lines, read from UTF-8 (with or without
// a byte-order mark) or UTF-16LE text and written back as UTF-8 with a byte-order mark and CR LF.
//
// Parsing rules: lines are trimmed and empty lines skipped; a line with "=" is a key (split at the first
// "=", key and value trimmed); any other line is a section header with its first and last characters
// dropped ("[Graphics]" -> "Graphics"); keys before any header belong to the section "". Sections and keys
// keep the order in which they first appeared, so a rewritten file stays recognisable; a repeated key
// keeps its last value.
#include <optional>
#include <string>
#include <vector>

#include "engine/core/UString.h"

class MemoryIniFile {
public:
    MemoryIniFile() = default;

    // Files larger than this are not read.
    static constexpr std::size_t MAX_FILE_SIZE = 1u << 20;

    static MemoryIniFile fromText(const void* bytes, std::size_t size);
    // Reads a regular file of at most MAX_FILE_SIZE bytes; false (and an empty ini) when it cannot be
    // read, with errno telling why (ENOENT: there is none).
    bool load(const std::string& path);
    // The number (from 1) of the first line after the first that is neither "[section]" nor "key=value"
    // (the first line may be the warning line save() writes), or of a line that holds bytes which are no
    // text; 0 when the whole text parsed. The lines are taken by the rules above all
    // the same.
    int firstUnparsedLine() const { return unparsedLine; }
    // Writes the file as UTF-8 with a byte-order mark. A non-empty first line is written before the
    // sections (the user configuration's warning line). Sections without keys are not written.
    bool save(const std::string& path, UStringView firstLine = {}) const;
    // The text save() writes, without the byte-order mark.
    UString toText(UStringView firstLine = {}) const;

    bool keyExists(UStringView section, UStringView key) const;
    // Fatal "Key '%s' could not be found in section '%s'." when the key is missing.
    UString getString(UStringView section, UStringView key) const;

    // Typed reads with a default: a missing key gets the default written into the ini (so a saved file
    // lists every setting); a value that does not parse gives the default and stays as it is.
    UString getString(UStringView section, UStringView key, UStringView defaultValue);
    int getInt(UStringView section, UStringView key, int defaultValue);
    float getFloat(UStringView section, UStringView key, float defaultValue);
    double getDouble(UStringView section, UStringView key, double defaultValue);
    // "Yes" and "No" (either case); anything else gives the default.
    bool getBool(UStringView section, UStringView key, bool defaultValue);
    // The value as the typed reads take it; empty when the key is missing or its value is none of that kind.
    std::optional<int> findInt(UStringView section, UStringView key) const;
    std::optional<bool> findBool(UStringView section, UStringView key) const;

    void setString(UStringView section, UStringView key, UStringView value);
    void setInt(UStringView section, UStringView key, int value);
    void setFloat(UStringView section, UStringView key, float value);
    void setDouble(UStringView section, UStringView key, double value);
    void setBool(UStringView section, UStringView key, bool value);

private:
    struct Entry {
        UString key;
        UString value;
    };
    struct Section {
        UString name;
        std::vector<Entry> entries;
    };

    const UString* findValue(UStringView section, UStringView key) const;
    Section& sectionFor(UStringView name);

    std::vector<Section> sections;
    int unparsedLine = 0;
};
