#include "cli/cli.h"

#include "app/configuration.h"
#include "app/log.h"
#include "app/message_box.h"
#include "app/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace zorvan::cli {

void CliContext::PrintJson(const QJsonObject& document) const
{
    const QByteArray text = QJsonDocument(document).toJson(QJsonDocument::Indented);
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
}

void CliContext::Print(const QString& line) const
{
    std::printf("%s\n", line.toUtf8().constData());
}

int CliContext::Fail(const QString& message) const
{
    std::fprintf(stderr, "zorvanctl: %s\n", message.toUtf8().constData());
    return kFailed;
}

int CliContext::UsageError(const QString& message) const
{
    std::fprintf(stderr, "zorvanctl: %s\n", message.toUtf8().constData());
    if (command.isEmpty())
        std::fprintf(stderr, "Try 'zorvanctl --help'.\n");
    else
        std::fprintf(stderr, "Try 'zorvanctl help %s' or 'zorvanctl --help'.\n", command.toUtf8().constData());
    return kUsage;
}

std::optional<int64_t> ParseNumber(const QString& text)
{
    bool ok = false;
    int64_t value = 0;
    if (text.startsWith(QStringLiteral("0x")) || text.startsWith(QStringLiteral("0X")))
        value = text.mid(2).toLongLong(&ok, 16);
    else
        value = text.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<int> ParseInt(const QString& text)
{
    const auto n = ParseNumber(text);
    if (!n || *n < INT32_MIN || *n > INT32_MAX)
        return std::nullopt;
    return int(*n);
}

bool LoadProductData(CliContext& ctx)
{
    const QString cfg = ctx.appDir + QStringLiteral("cfg.ini");
    if (!QFileInfo(cfg).isFile()) {
        ctx.Fail(QStringLiteral("cannot read %1: no such file (use --app-dir DIR to name the folder that holds cfg.ini)")
                     .arg(cfg));
        return false;
    }
    bool loaded = false;
    {
        MessageCollector messages;
        loaded = LoadConfiguration(cfg, DefaultLogFile());
        for (const ShownMessage& m : messages.Messages())
            std::fprintf(stderr, "zorvanctl: cfg.ini: %s: %s\n", m.caption.toUtf8().constData(),
                         m.text.toUtf8().constData());
    }
    if (!loaded) {
        ctx.Fail(QStringLiteral("%1: Data Init failed (run 'zorvanctl cfg-check %1' for details)").arg(cfg));
        return false;
    }
    if (!ctx.dataDirGiven)
        ctx.dataDir = DataDirFor(Options().appdir);
    Paths().appDir = ctx.appDir;
    Paths().dataDir = ctx.dataDir;
    Paths().logFile = DefaultLogFile();
    MakeDataDir(ctx.dataDir);
    return true;
}

std::optional<QString> FileWriteProblem(const QString& path)
{
    const QFileInfo file(path);
    const QString folder = file.absolutePath();
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("the folder %1 does not exist").arg(folder);
    if (file.isDir())
        return QStringLiteral("it is a folder");
    if (file.exists() && !file.isWritable())
        return QString::fromLocal8Bit(std::strerror(EACCES));
    // A file the system lets us make beside it says that the folder takes new files.
    const QByteArray probe =
        QFile::encodeName(QDir(folder).filePath(QStringLiteral(".zorvanctl-%1.probe").arg(getpid())));
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    ::unlink(probe.constData());
    return std::nullopt;
}

}  // namespace zorvan::cli
