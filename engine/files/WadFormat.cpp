#include "engine/files/WadFormat.h"

#include "engine/core/UString.h"

std::string wadEntryName(std::string_view name)
{
    std::string out(name);
    for (char& c : out) {
        if (c == '\\') {
            c = '/';
        }
    }
    std::size_t start = 0;
    for (;;) {
        if (out.compare(start, 2, "./") == 0) {
            start += 2;
        } else if (out.compare(start, 1, "/") == 0) {
            start += 1;
        } else {
            break;
        }
    }
    return out.substr(start);
}

std::string wadLookupKey(std::string_view name) { return toLowerAscii(wadEntryName(name)); }
