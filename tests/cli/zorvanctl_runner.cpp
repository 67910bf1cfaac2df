#include "zorvanctl_runner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace zorvan::test {

ZorvanctlRunner::ZorvanctlRunner(const QString& model) : model_(model) {}

CliResult ZorvanctlRunner::Run(const QStringList& args) const
{
    QStringList all{QStringLiteral("--app-dir"), DefaultDataDir(), QStringLiteral("--data-dir"), dir_.File("data"),
                    QStringLiteral("--emulate=") + dir_.File("mouse.state")};
    if (!model_.isEmpty())
        all << QStringLiteral("--model") << model_;
    all << args;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir_.Path());  // the log's desktop folder
    QFile::remove(dir_.File("requests"));
    env.insert(QStringLiteral("ZORVANCTL_EMULATOR_REQUESTS"), dir_.File("requests"));
    // In a TSan build, races the sanitizer reports inside the uninstrumented Qt libraries (its
    // event queue's lock is invisible to it) are suppressed as for the widget tests.
    const QString suppressions = SourceDir() + QStringLiteral("/tests/ui/tsan.supp");
    if (QFileInfo::exists(suppressions)) {
        const QString options = env.value(QStringLiteral("TSAN_OPTIONS"));
        env.insert(QStringLiteral("TSAN_OPTIONS"), options + QStringLiteral(" suppressions=") + suppressions);
    }
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ZORVANCTL_PATH), all);
    CliResult result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        result.err = QStringLiteral("timed out");
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

int ZorvanctlRunner::LastRequestCount() const
{
    QFile file(dir_.File("requests"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    bool ok = false;
    const int count = file.readAll().trimmed().toInt(&ok);
    return ok ? count : -1;
}

QJsonObject ZorvanctlRunner::Json(const QStringList& args) const
{
    const CliResult result = Run(QStringList{QStringLiteral("--json")} + args);
    return QJsonDocument::fromJson(result.out.toUtf8()).object();
}

std::vector<uint8_t> ZorvanctlRunner::Memory(int address, int length) const
{
    return Memory(0, address, length);
}

std::vector<uint8_t> ZorvanctlRunner::Memory(int profile, int address, int length) const
{
    QStringList args{QStringLiteral("emulator"), QStringLiteral("dump")};
    if (profile > 0)
        args << QStringLiteral("--profile") << QString::number(profile);
    args << QString::number(address) << QString::number(length);
    const QJsonArray data = Json(args).value(QStringLiteral("data")).toArray();
    std::vector<uint8_t> bytes;
    for (const auto& v : data)
        bytes.push_back(uint8_t(v.toInt()));
    return bytes;
}

}  // namespace zorvan::test
