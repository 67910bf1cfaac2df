#pragma once
// The diagnostic trace. Level 0 writes nothing, level 1 writes to the developer channel
// (standard error, each entry prefixed "BY: "), level 2 and above append to "Log.txt" in the
// desktop folder. Callable from any thread; before InitLog nothing is written.
#include <QString>

#include <cstddef>
#include <functional>
#include <string>

namespace zorvan {

// Chooses the sink for `level`. `logFile` is the path of "Log.txt".
void InitLog(int level, const QString& logFile);

// Back to "not initialised" (tests).
void ResetLog();

int LogLevel();
QString LogFilePath();

// Whether entries are written anywhere now (a caller may skip preparing one when not); no lock.
bool LogWanted();

// printf-style entry; text arguments are UTF-8.
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Hexadecimal dump: `perLine` bytes per entry (0: as many as fit one entry), optional label.
void LogHex(const void* data, size_t length, int perLine, const char* label);

// Also hand every entry to `echo` (zorvanctl -v prints the log to standard error). Empty: off.
void SetLogEcho(std::function<void(const std::string&)> echo);

// Replaces the developer channel (tests capture it). Empty: standard error.
void SetDebugOutput(std::function<void(const std::string&)> sink);

}  // namespace zorvan
