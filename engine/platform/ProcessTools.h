#pragma once
// Process-level services of the shell: the single-instance test over /proc, the running process names
// for the system-information log, and opening a web link with the desktop's handler.
#include <sys/types.h>

#include <string>
#include <vector>

namespace ProcessTools {
// True when another process of the current user (its real user id) runs an executable of this file name
// (its own process is not counted); other users' games on the same machine do not count.
bool isAnotherInstanceRunning(const std::string& executableName);
// The same for the processes of the given user.
bool isAnotherInstanceRunning(const std::string& executableName, uid_t user);
// The executable names of the current user's running processes, sorted, without repeats.
std::vector<std::string> runningProcessNames();
// Opens `url` with xdg-open, started directly (fork and exec, never a shell); does not wait for it to
// finish. False, with why in `reason`, when the helper could not be started (none on PATH, for one).
bool openUrl(const std::string& url, std::string& reason);
} // namespace ProcessTools
