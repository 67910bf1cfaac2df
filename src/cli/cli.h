#pragma once
// zorvanctl's frame: global options, the command table, output and exit codes.
// Each command file registers its commands with a CommandRegistrar.
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace zorvan::cli {

enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2 };

struct CliContext {
    QString appDir;                 // --app-dir, else as the GUI finds it
    QString dataDir;                // --data-dir, else as the GUI finds it (after cfg.ini is read)
    bool dataDirGiven = false;
    bool emulate = false;           // --emulate[=FILE]
    QString emulateFile;
    std::optional<std::pair<int, int>> model;  // --model CID:MID
    bool secondProductId = false;   // --pid2
    bool json = false;              // --json
    bool verbose = false;           // -v
    QString command;                // the command word
    QStringList args;               // the words after it

    // Exactly one JSON document on standard output.
    void PrintJson(const QJsonObject& document) const;
    // One line on standard output.
    void Print(const QString& line) const;
    // One line on standard error; returns kFailed.
    int Fail(const QString& message) const;
    // One line on standard error with the usage hint; returns kUsage.
    int UsageError(const QString& message) const;
};

using CommandFn = int (*)(CliContext&);

struct CommandRegistrar {
    // `name` is the command word; `synopsis` its usage line(s) for the help text.
    CommandRegistrar(const char* name, const char* synopsis, CommandFn fn);
};

// Numbers in arguments: decimal, or hexadecimal with 0x.
std::optional<int64_t> ParseNumber(const QString& text);
// A number that fits an int (decimal, or hex with 0x).
std::optional<int> ParseInt(const QString& text);

// Loads cfg.ini of the application folder into the process-wide configuration, opens the log
// and fixes the data folder. Messages of the load go to standard error. False (with the error
// printed) when the load fails.
bool LoadProductData(CliContext& ctx);

}  // namespace zorvan::cli
