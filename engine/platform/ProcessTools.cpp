#include "engine/platform/ProcessTools.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

namespace {

// The desktop's handler of links, found on PATH.
constexpr const char* URL_OPENER = "xdg-open";

std::string baseName(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The executable's file name of a process: from /proc/<pid>/exe when readable, else argv[0].
std::string processName(const std::string& pid)
{
    char target[4096];
    const std::string exe = "/proc/" + pid + "/exe";
    const ssize_t n = readlink(exe.c_str(), target, sizeof(target) - 1);
    if (n > 0) {
        target[n] = 0;
        std::string name = baseName(target);
        const std::string deleted = " (deleted)";
        if (name.size() > deleted.size() && name.compare(name.size() - deleted.size(), deleted.size(), deleted) == 0) {
            name.resize(name.size() - deleted.size());
        }
        return name;
    }
    std::ifstream cmdline("/proc/" + pid + "/cmdline", std::ios::binary);
    std::string argv0;
    std::getline(cmdline, argv0, '\0');
    return baseName(argv0);
}

// The real user id of a process, from the "Uid:" line of its status (which, unlike the owner of its
// /proc folder, stays the user's when the process is not dumpable). False when the process is gone.
bool processUser(const std::string& pid, uid_t& user)
{
    std::ifstream status("/proc/" + pid + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 4, "Uid:") == 0) {
            std::istringstream fields(line.substr(4));
            unsigned long real = 0;
            if (fields >> real) {
                user = static_cast<uid_t>(real);
                return true;
            }
            return false;
        }
    }
    return false;
}

// Every process of the given user (other users' processes are none of the game's business).
template <class Fn>
void forEachProcess(uid_t user, Fn fn)
{
    DIR* dir = opendir("/proc");
    if (dir == nullptr) {
        return;
    }
    while (dirent* entry = readdir(dir)) {
        const std::string pid = entry->d_name;
        if (pid.empty() || !std::all_of(pid.begin(), pid.end(), [](unsigned char c) { return std::isdigit(c); })) {
            continue;
        }
        uid_t owner = 0;
        if (!processUser(pid, owner) || owner != user) {
            continue;
        }
        fn(std::atol(pid.c_str()), processName(pid));
    }
    closedir(dir);
}

} // namespace

namespace ProcessTools {

bool isAnotherInstanceRunning(const std::string& executableName)
{
    return isAnotherInstanceRunning(executableName, getuid());
}

bool isAnotherInstanceRunning(const std::string& executableName, uid_t user)
{
    const long self = static_cast<long>(getpid());
    bool found = false;
    forEachProcess(user, [&](long pid, const std::string& name) {
        if (pid != self && !name.empty() && name == executableName) {
            found = true;
        }
    });
    return found;
}

std::vector<std::string> runningProcessNames()
{
    std::vector<std::string> names;
    forEachProcess(getuid(), [&](long, const std::string& name) {
        if (!name.empty()) {
            names.push_back(name);
        }
    });
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

bool openUrl(const std::string& url, std::string& reason)
{
    reason.clear();
    if (url.empty()) {
        reason = "the link is empty";
        return false;
    }
    auto failed = [&](const std::string& what, int error) {
        reason = what + ": " + std::generic_category().message(error);
        return false;
    };
    // The helper's exec closes this pipe on success; on failure the helper writes its errno into it first.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        return failed("no pipe to the helper", errno);
    }
    // Two forks: the helper is adopted by init, so no zombie is left behind and nothing waits for it.
    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        close(report[0]);
        close(report[1]);
        return failed("could not start a process", error);
    }
    if (child == 0) {
        close(report[0]);
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            setsid();
            execlp(URL_OPENER, URL_OPENER, url.c_str(), static_cast<char*>(nullptr));
        }
        if (grandchild <= 0) {
            const int error = errno;
            (void)!write(report[1], &error, sizeof(error));
        }
        _exit(grandchild < 0 ? 1 : grandchild == 0 ? 127 : 0);
    }
    close(report[1]);
    int error = 0;
    ssize_t got = 0;
    do {
        got = read(report[0], &error, sizeof(error));
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (got == static_cast<ssize_t>(sizeof(error))) {
        return failed(std::string(URL_OPENER) + " could not be started", error);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        reason = std::string("the process that starts ") + URL_OPENER + " failed";
        return false;
    }
    return true;
}

} // namespace ProcessTools
