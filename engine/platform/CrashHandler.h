#pragma once
// Writes a text crash dump when the process dies of SIGSEGV, SIGBUS, SIGFPE, SIGILL or SIGABRT: the signal,
// the faulting address and a backtrace go to the crash dump path, and the log is copied to the crash log
// path. Then the signal takes its usual course.
#include <string>

namespace CrashHandler {
// Installs the handler (on an alternate stack, so a stack overflow is caught too). Safe to call again.
void install();
// Where the dump and the log copy go; empty paths skip that step. Set once the user folder is known.
void setPaths(const std::string& dumpPath, const std::string& logPath, const std::string& crashLogPath);
} // namespace CrashHandler
