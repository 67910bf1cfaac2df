#pragma once
// Runs zorvanctl against one emulated mouse kept in a state file of a temporary folder, with
// the source tree's product data and a data folder of its own, as a user would run a sequence
// of commands.
#include "support/test_support.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace zorvan::test {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

class ZorvanctlRunner {
public:
    // `model`: "CID:MID" of the emulated mouse, empty for the first model of cfg.ini.
    explicit ZorvanctlRunner(const QString& model = {});

    CliResult Run(const QStringList& args) const;
    // Requests the emulated mouse received during the last Run (ZORVANCTL_EMULATOR_REQUESTS),
    // -1 when the program did not say.
    int LastRequestCount() const;
    // Run(args) and its standard output as a JSON document (with --json).
    QJsonObject Json(const QStringList& args) const;
    // The emulated mouse's active profile bytes (`emulator dump ADDR LEN`).
    std::vector<uint8_t> Memory(int address, int length) const;
    // The same of on-board profile `profile` (1..4).
    std::vector<uint8_t> Memory(int profile, int address, int length) const;

    QString File(const QString& name) const { return dir_.File(name); }

private:
    TempDir dir_;
    QString model_;
};

}  // namespace zorvan::test
