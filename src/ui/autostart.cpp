#include "ui/autostart.h"

#include "app/log.h"
#include "macro/macro_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace zorvan {
namespace {

// A desktop entry's Exec argument: quoted when it holds anything but plain characters, with
// the characters the quoting rules name escaped.
QString ExecArgument(const QString& program)
{
    static const QString plain = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-+");
    bool needsQuotes = program.isEmpty();
    for (QChar c : program)
        needsQuotes = needsQuotes || !plain.contains(c);
    if (!needsQuotes)
        return program;
    QString quoted;
    for (QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    // A literal percent sign is written twice in Exec, quoted or not.
    quoted.replace(QStringLiteral("%"), QStringLiteral("%%"));
    // Inside the key file a backslash is itself escaped.
    quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    return u'"' + quoted + u'"';
}

}  // namespace

QString AutostartFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/zorvan.desktop");
}

bool AutostartEnabled()
{
    return QFileInfo::exists(AutostartFile());
}

QByteArray AutostartEntry(const QString& program)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Zorvan\n"
                          "Comment=Keeps the mouse settings at hand in the notification area\n"
                          "Exec=%1 --tray\n"
                          "Icon=zorvan\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(ExecArgument(program))
        .toUtf8();
}

bool SetAutostart(bool on, const QString& program)
{
    const QString file = AutostartFile();
    if (!on) {
        if (QFile::exists(file) && !QFile::remove(file)) {
            Log("Autostart: cannot remove %s", file.toUtf8().constData());
            return false;
        }
        return true;
    }
    if (!QDir().mkpath(QFileInfo(file).path())) {
        Log("Autostart: cannot create %s", QFileInfo(file).path().toUtf8().constData());
        return false;
    }
    return MyCreateFile(file, AutostartEntry(program)).Ok();
}

}  // namespace zorvan
