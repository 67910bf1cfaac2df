#include "app/paths.h"

#include "app/log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>

// Where an installed copy keeps its product data: relative to the programs' folder (so the
// installed tree may be moved, as a package's is), and the full path of the configured prefix.
#ifndef ZORVAN_DATADIR_FROM_BINDIR
#define ZORVAN_DATADIR_FROM_BINDIR "../share/zorvan"
#endif
#ifndef ZORVAN_INSTALL_DATADIR
#define ZORVAN_INSTALL_DATADIR "/usr/local/share/zorvan"
#endif

namespace zorvan {
namespace {

QString WithSlash(QString path)
{
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

}  // namespace

QString FindAppDir()
{
    const QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                        : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget().section(u'/', 0, -2);
    if (QFileInfo::exists(exeDir + QStringLiteral("/cfg.ini")))
        return WithSlash(exeDir);
    const QString besideTheBinaries = QDir::cleanPath(exeDir + QStringLiteral("/" ZORVAN_DATADIR_FROM_BINDIR));
    if (QFileInfo::exists(besideTheBinaries + QStringLiteral("/cfg.ini")))
        return WithSlash(besideTheBinaries);
    return WithSlash(QStringLiteral(ZORVAN_INSTALL_DATADIR));
}

QString DataDirFor(const QString& appdir)
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return WithSlash(WithSlash(base) + appdir);
}

QString StateFolder()
{
    // XDG_STATE_HOME, when set to an absolute path, else ~/.local/state.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return WithSlash(WithSlash(state) + QStringLiteral("zorvan"));
}

QString DefaultLogFile()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    // Qt names ~/Desktop even where no such folder exists (a server, a desktop without one):
    // the log then goes to the state folder rather than creating a desktop folder.
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return WithSlash(desktop) + QStringLiteral("Log.txt");
    const QString state = StateFolder();
    QDir().mkpath(state);
    return state + QStringLiteral("Log.txt");
}

void MakeDataDir(const QString& dataDir)
{
    Log("Mk AppData=%s", dataDir.toUtf8().constData());
    if (QFileInfo(dataDir).isDir())
        return;
    // The whole path is made: on a fresh account the generic data location may not exist yet.
    errno = 0;
    if (!QDir().mkpath(dataDir))
        Log("CreateDirectory err=%d", errno);
}

AppPaths& Paths()
{
    static AppPaths paths;
    return paths;
}

QString WindowTitle(const QString& configuredTitle, const QString& tcTitle)
{
    if (!configuredTitle.isEmpty())
        return configuredTitle;
    return tcTitle.left(39);
}

}  // namespace zorvan
