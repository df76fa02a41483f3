#include "engine/platform/CrashHandler.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {

// Everything the handler touches is prepared beforehand: it may only make async-signal-safe calls.
char gDumpPath[4096];
char gLogPath[4096];
char gCrashLogPath[4096];
bool gInstalled = false;
constexpr int SIGNALS[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

void copyPath(char* dst, const std::string& src)
{
    const std::size_t n = src.size() < 4095 ? src.size() : 4095;
    std::memcpy(dst, src.data(), n);
    dst[n] = 0;
}

void writeText(int fd, const char* text) { (void)!write(fd, text, std::strlen(text)); }

void writeHex(int fd, unsigned long value)
{
    char buf[2 + 16 + 1];
    buf[0] = '0';
    buf[1] = 'x';
    for (int i = 0; i < 16; ++i) {
        const unsigned digit = (value >> ((15 - i) * 4)) & 0xF;
        buf[2 + i] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
    }
    buf[18] = 0;
    writeText(fd, buf);
}

void writeDecimal(int fd, int value)
{
    char buf[16];
    int i = 15;
    buf[i] = 0;
    bool negative = value < 0;
    unsigned v = negative ? static_cast<unsigned>(-static_cast<long>(value)) : static_cast<unsigned>(value);
    do {
        buf[--i] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0 && i > 1);
    if (negative) {
        buf[--i] = '-';
    }
    writeText(fd, buf + i);
}

const char* signalName(int sig)
{
    switch (sig) {
    case SIGSEGV: return "SIGSEGV (segmentation fault)";
    case SIGBUS: return "SIGBUS (bus error)";
    case SIGFPE: return "SIGFPE (arithmetic error)";
    case SIGILL: return "SIGILL (illegal instruction)";
    case SIGABRT: return "SIGABRT (abort)";
    default: return "unknown signal";
    }
}

void copyFile(const char* from, const char* to)
{
    const int in = open(from, O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return;
    }
    const int out = open(to, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out >= 0) {
        char buf[4096];
        ssize_t n = 0;
        while ((n = read(in, buf, sizeof(buf))) > 0) {
            (void)!write(out, buf, static_cast<std::size_t>(n));
        }
        close(out);
    }
    close(in);
}

void onCrash(int sig, siginfo_t* info, void* /*context*/)
{
    static volatile sig_atomic_t entered = 0;
    if (entered == 0) {
        entered = 1;
        const int fd = gDumpPath[0] != 0 ? open(gDumpPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
        for (int target : {fd, static_cast<int>(STDERR_FILENO)}) {
            if (target < 0) {
                continue;
            }
            writeText(target, "Crash dump\nSignal: ");
            writeDecimal(target, sig);
            writeText(target, " ");
            writeText(target, signalName(sig));
            writeText(target, "\nAddress: ");
            writeHex(target, info != nullptr ? reinterpret_cast<unsigned long>(info->si_addr) : 0ul);
            writeText(target, "\nBacktrace:\n");
            void* frames[64];
            const int count = backtrace(frames, 64);
            backtrace_symbols_fd(frames, count, target);
        }
        if (fd >= 0) {
            close(fd);
        }
        if (gLogPath[0] != 0 && gCrashLogPath[0] != 0) {
            copyFile(gLogPath, gCrashLogPath);
        }
    }
    // Let the signal end the process as it would have.
    signal(sig, SIG_DFL);
    raise(sig);
}

} // namespace

namespace CrashHandler {

void install()
{
    if (gInstalled) {
        return;
    }
    gInstalled = true;
    // backtrace() loads its unwinder on first use; do that now, not inside the handler.
    void* warm[1];
    backtrace(warm, 1);

    static char altStack[64 * 1024];
    stack_t ss{};
    ss.ss_sp = altStack;
    ss.ss_size = sizeof(altStack);
    sigaltstack(&ss, nullptr);

    struct sigaction sa{};
    sa.sa_sigaction = onCrash;
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&sa.sa_mask);
    for (int sig : SIGNALS) {
        sigaction(sig, &sa, nullptr);
    }
}

void setPaths(const std::string& dumpPath, const std::string& logPath, const std::string& crashLogPath)
{
    copyPath(gDumpPath, dumpPath);
    copyPath(gLogPath, logPath);
    copyPath(gCrashLogPath, crashLogPath);
}

} // namespace CrashHandler
