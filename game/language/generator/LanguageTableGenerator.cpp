// Build-time generator of the text tables. Reads the key list (one key per line, the line number counted
// from 0 is the text id) and one text file per language ("KEY=text" lines, '#' comment lines, blank lines
// ignored; "\\" is a backslash and "\xHH" the character U+00HH, for control characters and for blanks at
// either end). Writes StringIds.h (an enumerator per key) and LanguageTables.cpp (the key table and one
// text table per language, as UTF-16 literals). Any malformed input stops the build with a message that
// names the file and line. A key without a text in some language is left null; the start-up check of the
// text store reports it.
//
// usage: languagegen <keys.txt> <outdir> <language file>...
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const std::string& where, const std::string& what)
{
    std::fprintf(stderr, "%s: error: %s\n", where.c_str(), what.c_str());
    std::exit(1);
}

std::vector<std::string> readLines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fail(path, "cannot open");
    }
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (lines.empty() && line.starts_with("\xEF\xBB\xBF")) {
            line.erase(0, 3); // an editor's byte-order mark
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

bool isKeyChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; }

// The Unicode code points that Windows-1252 holds at bytes 0x80 to 0x9F.
bool inWindows1252(char32_t c)
{
    static const std::set<char32_t> upper = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
                                             0x0160, 0x2039, 0x0152, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                             0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};
    return c < 0x80 || (c >= 0xA0 && c <= 0xFF) || upper.count(c) != 0;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Decodes one text: UTF-8 with the two escapes. Raw control characters are refused so that every one is
// visible in the data file.
std::u32string decodeText(const std::string& text, const std::string& where)
{
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            if (i + 1 < text.size() && text[i + 1] == '\\') {
                out.push_back(U'\\');
                i += 2;
            } else if (i + 3 < text.size() && text[i + 1] == 'x' && hexValue(text[i + 2]) >= 0 &&
                       hexValue(text[i + 3]) >= 0) {
                out.push_back(static_cast<char32_t>(hexValue(text[i + 2]) * 16 + hexValue(text[i + 3])));
                i += 4;
            } else {
                fail(where, "bad escape (use \\\\ or \\xHH)");
            }
            continue;
        }
        char32_t cp = 0;
        int extra = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else {
            fail(where, "invalid or unsupported UTF-8");
        }
        if (i + extra >= text.size()) {
            fail(where, "truncated UTF-8");
        }
        for (int k = 1; k <= extra; ++k) {
            const unsigned char cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80) {
                fail(where, "invalid UTF-8");
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (cp < 0x20 || cp == 0x7F) {
            fail(where, "raw control character (write it as \\xHH)");
        }
        out.push_back(cp);
        i += 1 + extra;
    }
    for (char32_t cp : out) {
        if (!inWindows1252(cp)) {
            fail(where, "character outside Windows-1252");
        }
    }
    return out;
}

std::string literal(const std::u32string& text)
{
    std::string out = "u\"";
    char buffer[16];
    for (char32_t c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (c < 0x80) {
            std::snprintf(buffer, sizeof buffer, "\\%03o", static_cast<unsigned>(c));
            out += buffer;
        } else {
            std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
            out += buffer;
        }
    }
    out += '"';
    return out;
}

void writeIfChanged(const std::string& path, const std::string& content)
{
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::stringstream old;
            old << in.rdbuf();
            if (old.str() == content) {
                return;
            }
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) {
        fail(path, "cannot write");
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: languagegen <keys.txt> <outdir> <language file>...\n");
        return 2;
    }
    const std::string keyPath = argv[1];
    const std::string outDir = argv[2];

    std::vector<std::string> keys = readLines(keyPath);
    std::map<std::string, int> ids;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string where = keyPath + ":" + std::to_string(i + 1);
        const std::string& key = keys[i];
        if (key.empty()) {
            fail(where, "empty key (every line is one id)");
        }
        for (char c : key) {
            if (!isKeyChar(c)) {
                fail(where, "a key is made of A-Z, 0-9 and _ only");
            }
        }
        if (!ids.emplace(key, static_cast<int>(i)).second) {
            fail(where, "duplicate key " + key);
        }
    }

    std::vector<std::vector<std::string>> tables;
    for (int f = 3; f < argc; ++f) {
        const std::string path = argv[f];
        std::vector<std::string> slots(keys.size());
        std::vector<bool> seen(keys.size(), false);
        const std::vector<std::string> lines = readLines(path);
        for (std::size_t n = 0; n < lines.size(); ++n) {
            const std::string where = path + ":" + std::to_string(n + 1);
            const std::string& line = lines[n];
            if (line.empty() || line[0] == '#') {
                continue;
            }
            const std::size_t eq = line.find('=');
            if (eq == std::string::npos) {
                fail(where, "expected KEY=text");
            }
            const std::string key = line.substr(0, eq);
            const auto it = ids.find(key);
            if (it == ids.end()) {
                fail(where, "unknown key '" + key + "'");
            }
            if (seen[it->second]) {
                fail(where, "second text for key " + key);
            }
            seen[it->second] = true;
            slots[it->second] = literal(decodeText(line.substr(eq + 1), where));
        }
        std::size_t missing = 0;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (!seen[i]) {
                slots[i] = "nullptr";
                ++missing;
            }
        }
        if (missing != 0) {
            std::fprintf(stderr, "%s: warning: %zu keys have no text\n", path.c_str(), missing);
        }
        tables.push_back(std::move(slots));
    }

    std::ostringstream header;
    header << "#pragma once\n// Generated from game/language/keys.txt: the fixed text id of every key. Do not edit.\n\n"
              "enum StringId : int {\n";
    for (std::size_t i = 0; i < keys.size(); ++i) {
        header << "    STR_" << keys[i] << " = " << i << ",\n";
    }
    header << "    STR_COUNT = " << keys.size() << "\n};\n";

    std::ostringstream source;
    source << "// Generated from game/language/keys.txt and the language files. Do not edit.\n"
              "#include \"game/language/LanguageTables.h\"\n\n"
              "const char16_t* const LanguageData::keys[STR_COUNT] = {\n";
    for (const std::string& key : keys) {
        source << "    u\"" << key << "\",\n";
    }
    source << "};\n\nconst char16_t* const LanguageData::texts[" << tables.size() << "][STR_COUNT] = {\n";
    for (const auto& table : tables) {
        source << "    {\n";
        for (const std::string& text : table) {
            source << "        " << text << ",\n";
        }
        source << "    },\n";
    }
    source << "};\n";

    writeIfChanged(outDir + "/StringIds.h", header.str());
    writeIfChanged(outDir + "/LanguageTables.cpp", source.str());
    return 0;
}
