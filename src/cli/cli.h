#pragma once
// zorvanctl's frame: global options, the command table, output and exit codes.
// Each command file registers its commands, with their help, by one CommandRegistrar.
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
    // One line on standard error and where the command's help is; returns kUsage.
    int UsageError(const QString& message) const;
};

using CommandFn = int (*)(CliContext&);

// A command's entry in the help table, from which the overview (`--help`), the command's own
// help (`help COMMAND`, `COMMAND --help`), the manual page and the bash completion are made.
struct CommandHelp {
    // One usage form per line, each starting with the command word. Words in capitals are
    // placeholders (FILE, CFG and XML name files), `a|b` are alternatives, [..] is optional.
    const char* usage;
    // What the command does, in one line.
    const char* summary;
    // More for `help COMMAND` and the manual page: arguments, syntax, examples (may be empty).
    const char* details = "";
};

struct CommandRegistrar {
    CommandRegistrar(const char* name, const CommandHelp& help, CommandFn fn);
    // The short form: `synopsis` is the command's lines as the overview shows them, the usage
    // first and after two or more spaces what it does.
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

// Why `path` cannot be written as a new or replaced file, checked without touching the mouse:
// its folder is missing (no folder is ever created on the user's behalf), it is a folder, or
// the system refuses a file there (its reason). Nothing when it can be written.
std::optional<QString> FileWriteProblem(const QString& path);

}  // namespace zorvan::cli
