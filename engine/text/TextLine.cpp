#include "engine/text/TextLine.h"

#include "engine/core/ErrorManager.h"
#include "engine/core/Format.h"
#include "engine/text/FontQuad.h"

const RuntimeClass TextLine::classRecord(u"TextLine", &KivBase::classRecord, &RuntimeClass::factoryOf<TextLine>);

namespace {
int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}
} // namespace

std::vector<TextLine::Run> TextLine::splitRuns(const UString& line)
{
    std::vector<Run> runs;
    Run current;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] != MARKUP) {
            current.text += line[i++];
            continue;
        }
        // "{%08x}": a brace, one to eight hex digits, a closing brace.
        std::size_t p = i + 1;
        std::uint32_t value = 0;
        int digits = 0;
        bool ok = p < line.size() && line[p] == u'{';
        if (ok) {
            ++p;
            while (p < line.size() && digits < 8 && hexValue(line[p]) >= 0) {
                value = value * 16 + static_cast<std::uint32_t>(hexValue(line[p]));
                ++p;
                ++digits;
            }
            ok = digits > 0 && p < line.size() && line[p] == u'}';
        }
        if (!ok) {
            KIV_FATAL(formatString(u"Couldn't extract markup from line '%s'", line));
        }
        if (!current.text.empty()) {
            runs.push_back(current);
        }
        current = Run();
        current.color = value == DEFAULT_COLOR ? DEFAULT_COLOR : (value | 0xFF000000u);
        i = p + 1;
    }
    if (!current.text.empty() || runs.empty()) {
        runs.push_back(current);
    }
    return runs;
}

TextLine::TextLine(const UString& line, const FontQuad* font, float scaleX) : text(line), runs(splitRuns(line))
{
    for (Run& run : runs) {
        run.width = font != nullptr ? static_cast<float>(font->measureLine(run.text)) * scaleX : 0.0f;
        width += run.width;
    }
}
