#include "engine/platform/SystemInfo.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include "engine/core/Process.h"

namespace SystemInfo {

UString computerName()
{
    char buf[256] = {};
    if (gethostname(buf, sizeof(buf) - 1) != 0) {
        return u"unknown";
    }
    return utf8ToWide(buf);
}

UString userName()
{
    if (const passwd* pw = getpwuid(geteuid()); pw != nullptr && pw->pw_name != nullptr) {
        return utf8ToWide(pw->pw_name);
    }
    if (const char* u = std::getenv("USER")) {
        return utf8ToWide(u);
    }
    return u"unknown";
}

UString currentFolder()
{
    char buf[4096] = {};
    if (getcwd(buf, sizeof(buf) - 1) == nullptr) {
        return {};
    }
    return utf8ToWide(buf);
}

std::string executableFolder()
{
    std::string program;
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n > 0) {
        program.assign(buf, static_cast<std::size_t>(n));
    } else {
        program = wideToUtf8(Process::executablePath());
        if (!program.empty() && program[0] != '/' && program.find('/') != std::string::npos) {
            program = wideToUtf8(currentFolder()) + "/" + program;
        }
    }
    const std::size_t slash = program.find_last_of('/');
    return slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
}

UString localeIsoCode()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(name);
        if (v == nullptr || *v == 0) {
            continue;
        }
        std::string s(v);
        if (s == "C" || s == "POSIX" || s.rfind("C.", 0) == 0) {
            return {};
        }
        std::string code;
        for (char c : s) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c + 32);
            }
            if (c < 'a' || c > 'z') {
                break;
            }
            code.push_back(c);
        }
        if (code.size() >= 2 && code.size() <= 3) {
            return utf8ToWide(code);
        }
        return {};
    }
    return {};
}

} // namespace SystemInfo
