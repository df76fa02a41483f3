#pragma once
// The fatal-error path. A failed check or an impossible case ends here: the report is logged, the engine
// is marked as shutting down, the platform saves a crash screenshot, returns the display to windowed mode
// and shows an "Error" box, "Forced exit." is logged, the log is copied to the crash folder and the
// process ends with code -1. There is no recovery.
#include <functional>
#include <stdexcept>
#include <string>

#include "engine/core/UString.h"

// Thrown instead of ending the process while tests have asked for it (ErrorManager::setThrowForTests).
class FatalError : public std::runtime_error {
public:
    FatalError(UString message, UString report)
        : std::runtime_error(wideToUtf8(report)), message(std::move(message)), report(std::move(report)) {}
    UString message; // the message alone ("Could not find resource 'x'.")
    UString report;  // the whole report, as logged and shown
};

class ErrorManager {
public:
    // Steps of the fatal path that need the platform; each may be empty.
    struct PlatformHooks {
        std::function<void()> saveCrashScreenshot;
        std::function<void()> restoreDisplay; // back to windowed, device released, cursor shown
        std::function<void(const UString& title, const UString& text)> messageBox;
    };
    static void setPlatformHooks(PlatformHooks hooks);

    // "Error: %s\n Function: %s()\n File: %s\n Line: %d". `function` may be __PRETTY_FUNCTION__; the
    // qualified name is taken from it.
    [[noreturn]] static void error(UStringView message, const char* function, const char* file, int line);
    // "Error: %s\n Statement: %s\n Function: %s()\n File: %s\n Line: %d" with "Assertion failed.".
    [[noreturn]] static void assertionFailed(const char* statement, const char* function, const char* file, int line);
    // A failed platform call: the call's text as the statement and the result as "%s (0x%08x)".
    [[noreturn]] static void callFailed(const char* call, UStringView resultName, unsigned result, const char* function,
                                        const char* file, int line);

    static bool isShuttingDown();
    static void setThrowForTests(bool enabled);

    // "void Loader::loadStuff(int)" -> "Loader::loadStuff".
    static std::string qualifiedName(const char* prettyFunction);

private:
    [[noreturn]] static void fail(UString message, UString report);
};

#define KIV_ASSERT(condition)                                                                                         \
    ((condition) ? static_cast<void>(0)                                                                               \
                 : ErrorManager::assertionFailed(#condition, __PRETTY_FUNCTION__, __FILE__, __LINE__))
#define KIV_FATAL(message) ErrorManager::error((message), __PRETTY_FUNCTION__, __FILE__, __LINE__)
