#pragma once
// The one log file of the process. Each line is "+<ms since the previous line>\t<text>", or "\t<text>" for
// the first line and for a line written less than a millisecond after the previous one; UTF-8, CR LF,
// flushed after every line. Messages of the engine and the game use "%s(): %s" with the qualified method
// name first (see logFrom).
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "engine/core/Format.h"

class Logger {
public:
    // How the log file is opened: a new run starts it afresh; an engine rebuilt within the same process
    // (a restart to apply a setting) appends, so the lines of the run before the restart are kept.
    // CONTINUE appends without a header: the shell's last lines after the engine that kept the log is gone.
    enum class Start { FRESH, APPEND, CONTINUE };

    // Opens folder + fileName (truncated, or appended to) and writes the header block (not when continuing).
    // The crash copy goes to folder + crashFileName. The newest Logger is the process's logger until it is
    // destroyed.
    Logger(const std::string& folder, const std::string& fileName, const std::string& crashFileName,
           Start start = Start::FRESH);
    ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    static Logger* instance();

    void writeLine(UStringView text);
    const std::string& path() const { return logPath; }
    const std::string& crashPath() const { return crashLogPath; }
    // Copies the log as it stands to the crash log path.
    bool copyToCrashFolder() const;

    // Formats and writes one line through the process's logger (dropped when there is none).
    template <class... Args>
    static void log(UStringView format, const Args&... args)
    {
        dispatch(formatString(format, args...));
    }
    // "%s(): %s": the qualified method name ("Loader::loadStuff"), then the formatted message.
    template <class... Args>
    static void logFrom(const char* function, UStringView format, const Args&... args)
    {
        UString line = formatString(u"%s(): ", function);
        line += formatString(format, args...);
        dispatch(line);
    }

    // Tests can watch every line, with or without a log file.
    using Observer = std::function<void(UStringView)>;
    static void setObserver(Observer observer);

private:
    static void dispatch(const UString& line);
    void writeRaw(const std::string& bytes);

    std::string logPath;
    std::string crashLogPath;
    std::FILE* file = nullptr;
    bool firstLine = true;
    std::chrono::steady_clock::time_point lastLine;
    Logger* previous = nullptr;
};
