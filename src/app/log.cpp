#include "app/log.h"

#include <QDateTime>
#include <QFile>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace zorvan {
namespace {

enum class Sink { None, DebugOutput, File };

constexpr int kEntryLimit = 511;           // the developer channel cuts entries here
constexpr qint64 kLogFileLimit = 512000;   // a larger log is emptied at start

struct LogState {
    std::mutex mutex;
    int level = 0;
    Sink sink = Sink::None;
    QString path;
    std::function<void(const std::string&)> echo;
    std::function<void(const std::string&)> debugOutput;
    // Whether an entry goes anywhere, kept beside the fields it follows from (under the mutex) so
    // that callers on hot paths ask without taking the lock.
    std::atomic<bool> wanted{false};

    void UpdateWanted() { wanted.store(echo || (level != 0 && sink != Sink::None), std::memory_order_release); }
};

LogState& State()
{
    static LogState state;
    return state;
}

void WriteDebugOutput(LogState& s, const std::string& text)
{
    if (s.debugOutput) {
        s.debugOutput(text);
        return;
    }
    std::fputs(text.c_str(), stderr);
    if (text.empty() || text.back() != '\n')
        std::fputc('\n', stderr);
}

void WriteEntry(LogState& s, const std::string& message)
{
    if (s.echo)
        s.echo(message);
    if (s.level == 0 || s.sink == Sink::None)
        return;
    if (s.sink == Sink::DebugOutput) {
        std::string entry = "BY: " + message;
        if (entry.size() > kEntryLimit)
            entry.resize(kEntryLimit);
        WriteDebugOutput(s, entry);
        return;
    }
    QFile file(s.path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        WriteDebugOutput(s, "Open Log failed");
        return;
    }
    const QTime now = QTime::currentTime();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "\r%02u:%02u.%03u   ", unsigned(now.minute()), unsigned(now.second()),
                  unsigned(now.msec()));
    file.write(stamp);
    file.write(message.data(), qint64(message.size()));
}

std::string FormatV(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0)
        return {};
    std::string text(size_t(needed), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

}  // namespace

void InitLog(int level, const QString& logFile)
{
    LogState& s = State();
    std::lock_guard lock(s.mutex);
    s.level = level;
    s.path = logFile;
    s.sink = Sink::DebugOutput;
    s.UpdateWanted();
    if (level < 2)
        return;
    QFile file(logFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (level != 0)
            WriteDebugOutput(s, "Open Log failed");
        return;
    }
    if (file.size() > kLogFileLimit) {
        file.close();
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            WriteDebugOutput(s, "Open Log failed");
            return;
        }
    }
    s.sink = Sink::File;
}

void ResetLog()
{
    LogState& s = State();
    std::lock_guard lock(s.mutex);
    s.level = 0;
    s.sink = Sink::None;
    s.path.clear();
    s.UpdateWanted();
}

int LogLevel()
{
    LogState& s = State();
    std::lock_guard lock(s.mutex);
    return s.level;
}

QString LogFilePath()
{
    LogState& s = State();
    std::lock_guard lock(s.mutex);
    return s.path;
}

bool LogWanted()
{
    return State().wanted.load(std::memory_order_acquire);
}

void Log(const char* format, ...)
{
    if (!LogWanted())
        return;
    LogState& s = State();
    va_list args;
    va_start(args, format);
    const std::string message = FormatV(format, args);
    va_end(args);
    std::lock_guard lock(s.mutex);
    WriteEntry(s, message);
}

void LogHex(const void* data, size_t length, int perLine, const char* label)
{
    if (!LogWanted() || data == nullptr || length == 0)
        return;
    const auto* bytes = static_cast<const unsigned char*>(data);
    constexpr size_t kLine = kEntryLimit - 1;  // room for the terminator of the line buffer
    const std::string prefix = label ? std::string(label) + " " : std::string();
    std::string line = (label && perLine > 0) ? "\n" + prefix : prefix;
    size_t onLine = 0;
    for (size_t i = 0; i < length; ++i) {
        // A line that cannot take another byte is written and continued (also when perLine
        // asks for more bytes than one entry holds).
        if (line.size() + 3 > kLine) {
            Log("%s", line.c_str());
            line = perLine > 0 ? prefix : std::string();
            onLine = 0;
        }
        char group[4];
        std::snprintf(group, sizeof group, "%02x ", bytes[i]);
        line += group;
        ++onLine;
        if (perLine > 0 && onLine == size_t(perLine)) {
            Log("%s", line.c_str());
            line = prefix;
            onLine = 0;
        }
    }
    Log("%s", line.c_str());
}

void SetLogEcho(std::function<void(const std::string&)> echo)
{
    LogState& s = State();
    std::lock_guard lock(s.mutex);
    s.echo = std::move(echo);
    s.UpdateWanted();
}

void SetDebugOutput(std::function<void(const std::string&)> sink)
{
    LogState& s = State();
    std::lock_guard lock(s.mutex);
    s.debugOutput = std::move(sink);
}

}  // namespace zorvan
