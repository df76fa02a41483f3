#pragma once
// Where a call came from, for fatal reports that name the calling operation rather than the helper that
// checks. It is std::source_location where the standard library offers it; otherwise (clang with an older
// standard library, as in the fuzz build) the compiler's built-ins stand in, which give the function's
// plain name only.
#include <version>

#if defined(__cpp_lib_source_location)
#include <source_location>
using SourceLocation = std::source_location;
#else
struct SourceLocation {
    static constexpr SourceLocation current(const char* function = __builtin_FUNCTION(),
                                            const char* file = __builtin_FILE(), int line = __builtin_LINE()) noexcept
    {
        SourceLocation location;
        location.function = function;
        location.file = file;
        location.lineNumber = static_cast<unsigned>(line);
        return location;
    }
    constexpr const char* function_name() const noexcept { return function; }
    constexpr const char* file_name() const noexcept { return file; }
    constexpr unsigned line() const noexcept { return lineNumber; }

private:
    const char* function = "";
    const char* file = "";
    unsigned lineNumber = 0;
};
#endif
