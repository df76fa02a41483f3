#include "engine/core/ErrorManager.h"

#include <cstdio>
#include <cstdlib>

#include "engine/core/Format.h"
#include "engine/core/Logger.h"

namespace {
ErrorManager::PlatformHooks gHooks;
bool gShuttingDown = false;
bool gThrowForTests = false;
} // namespace

void ErrorManager::setPlatformHooks(PlatformHooks hooks) { gHooks = std::move(hooks); }
bool ErrorManager::isShuttingDown() { return gShuttingDown; }
void ErrorManager::setThrowForTests(bool enabled) { gThrowForTests = enabled; }

std::string ErrorManager::qualifiedName(const char* prettyFunction)
{
    if (prettyFunction == nullptr) {
        return {};
    }
    std::string s(prettyFunction);
    // Cut the parameter list: the first '(' at template depth 0 that is not part of "operator()".
    int depth = 0;
    std::size_t paren = std::string::npos;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '<') {
            ++depth;
        } else if (c == '>') {
            --depth;
        } else if (c == '(' && depth == 0) {
            if (i >= 8 && s.compare(i - 8, 8, "operator") == 0 && i + 1 < s.size() && s[i + 1] == ')') {
                ++i;
                continue;
            }
            paren = i;
            break;
        }
    }
    if (paren != std::string::npos) {
        s.resize(paren);
    }
    // Drop the return type and qualifiers: the last space at template depth 0.
    depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '<') {
            ++depth;
        } else if (s[i] == '>') {
            --depth;
        } else if (s[i] == ' ' && depth == 0) {
            start = i + 1;
        }
    }
    return s.substr(start);
}

namespace {
// Reports name the source file without its directory.
const char* fileNameOnly(const char* file)
{
    if (file == nullptr) {
        return "";
    }
    const char* name = file;
    for (const char* p = file; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') {
            name = p + 1;
        }
    }
    return name;
}
} // namespace

void ErrorManager::error(UStringView message, const char* function, const char* file, int line)
{
    UString report = formatString(u"Error: %s\n Function: %s()\n File: %s\n Line: %d", message,
                                  qualifiedName(function), fileNameOnly(file), line);
    fail(UString(message), std::move(report));
}

void ErrorManager::assertionFailed(const char* statement, const char* function, const char* file, int line)
{
    UString report = formatString(u"Error: %s\n Statement: %s\n Function: %s()\n File: %s\n Line: %d",
                                  u"Assertion failed.", statement ? statement : "", qualifiedName(function),
                                  fileNameOnly(file), line);
    fail(u"Assertion failed.", std::move(report));
}

void ErrorManager::callFailed(const char* call, UStringView resultName, unsigned result, const char* function,
                              const char* file, int line)
{
    const UString message = formatString(u"%s (0x%08x)", resultName, result);
    UString report = formatString(u"Error: %s\n Statement: %s\n Function: %s()\n File: %s\n Line: %d", message,
                                  call ? call : "", qualifiedName(function), fileNameOnly(file), line);
    fail(message, std::move(report));
}

void ErrorManager::fail(UString message, UString report)
{
    Logger::log(u"%s", report);
    if (gThrowForTests) {
        throw FatalError(std::move(message), std::move(report));
    }
    if (gShuttingDown) {
        // A second failure while the first is being reported: end at once.
        std::_Exit(-1);
    }
    gShuttingDown = true;
    std::fprintf(stderr, "%s\n", wideToUtf8(report).c_str());
    if (gHooks.saveCrashScreenshot) {
        gHooks.saveCrashScreenshot();
    }
    if (gHooks.restoreDisplay) {
        gHooks.restoreDisplay();
    }
    if (gHooks.messageBox) {
        gHooks.messageBox(u"Error", report);
    }
    Logger::log(u"Forced exit.");
    if (Logger* logger = Logger::instance()) {
        logger->copyToCrashFolder();
    }
    // No destructors and no exit handlers: the objects are in whatever state the failure left them.
    std::fflush(nullptr);
    std::_Exit(-1);
}
