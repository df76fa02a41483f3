#include "engine/core/Logger.h"

#include <ctime>

#include "engine/core/GameInfo.h"
#include "engine/core/Process.h"
#include "engine/platform/SystemInfo.h"

namespace {
Logger* gLogger = nullptr;
Logger::Observer gObserver;
} // namespace

Logger::Logger(const std::string& folder, const std::string& fileName, const std::string& crashFileName, Start start)
    : logPath(folder + fileName), crashLogPath(folder + crashFileName), previous(gLogger)
{
    file = std::fopen(logPath.c_str(), start == Start::FRESH ? "wb" : "ab");
    gLogger = this;
    if (start == Start::CONTINUE) {
        return;
    }
    std::string header;
    if (start == Start::APPEND && file != nullptr && std::fseek(file, 0, SEEK_END) == 0 && std::ftell(file) > 0) {
        // A blank line parts the new run's header from the lines before it.
        header += "\r\n";
    }
    auto add = [&](const UString& line) { header += wideToUtf8(line) + "\r\n"; };
    add(formatString(u"Application: %s (%s)", Process::executablePath(), getVersionString()));
    add(formatString(u"Computer: %s, user: %s", SystemInfo::computerName(), SystemInfo::userName()));
    add(formatString(u"Current folder: %s", SystemInfo::currentFolder()));
    for (std::size_t i = 0; i < Process::arguments().size(); ++i) {
        add(formatString(u"Argument %d: %s", static_cast<int>(i), Process::arguments()[i]));
    }
    add(formatString(u"Log file: %s", logPath));
    char date[64] = {};
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    std::strftime(date, sizeof(date), "%Y-%m-%d %H:%M:%S UTC", &utc);
    add(formatString(u"Date: %s", date));
    header += "\r\n";
    writeRaw(header);
}

Logger::~Logger()
{
    if (file != nullptr) {
        std::fclose(file);
    }
    if (gLogger == this) {
        gLogger = previous;
    }
}

Logger* Logger::instance() { return gLogger; }

void Logger::setObserver(Observer observer) { gObserver = std::move(observer); }

void Logger::dispatch(const UString& line)
{
    if (gObserver) {
        gObserver(line);
    }
    if (gLogger != nullptr) {
        gLogger->writeLine(line);
    }
}

void Logger::writeLine(UStringView text)
{
    const auto now = std::chrono::steady_clock::now();
    std::string out;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastLine).count();
    if (!firstLine && ms >= 1) {
        out.push_back('+');
        out.append(std::to_string(ms));
    }
    out.push_back('\t');
    firstLine = false;
    lastLine = now;
    out += wideToUtf8(text);
    out += "\r\n";
    writeRaw(out);
}

void Logger::writeRaw(const std::string& bytes)
{
    if (file == nullptr) {
        return;
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fflush(file);
}

bool Logger::copyToCrashFolder() const
{
    std::FILE* in = std::fopen(logPath.c_str(), "rb");
    if (in == nullptr) {
        return false;
    }
    std::FILE* out = std::fopen(crashLogPath.c_str(), "wb");
    if (out == nullptr) {
        std::fclose(in);
        return false;
    }
    char buf[8192];
    std::size_t n = 0;
    bool ok = true;
    while ((n = std::fread(buf, 1, sizeof(buf), in)) > 0) {
        ok = ok && std::fwrite(buf, 1, n, out) == n;
    }
    std::fclose(in);
    ok = std::fclose(out) == 0 && ok;
    return ok;
}
