#pragma once
// The folders every part of the program reads from or writes to. Folder paths end with '/'.
#include <QString>

namespace zorvan {

struct AppPaths {
    QString appDir;   // cfg.ini, text.xml, language folders, skins, appfont.ttf
    QString dataDir;  // lang.ini, profile store, macro folder, mac.dct
    QString logFile;  // Log.txt in the desktop folder, else in the state folder
};

// The application folder: the executable's folder when it holds cfg.ini (a build), else the
// installed data folder: share/zorvan beside the executable's bin folder, else the one of the
// configured install prefix.
QString FindAppDir();

// The data folder for `appdir`: the user's data folder (XDG_DATA_HOME, ~/.local/share by
// default) followed by `appdir`.
QString DataDirFor(const QString& appdir);

// "Log.txt" in the user's desktop folder; where the desktop folder does not exist, in the
// state folder (made when missing).
QString DefaultLogFile();

// The program's folder for state that is neither settings nor data: "zorvan/" in
// XDG_STATE_HOME (~/.local/state by default).
QString StateFolder();

// Creates the data folder when missing, with the log lines of start-up.
void MakeDataDir(const QString& dataDir);

// The process-wide paths, set at start-up (GUI) or from the command line (zorvanctl).
AppPaths& Paths();

// Window title: the configured title, else the first 39 characters of `tc_title`.
QString WindowTitle(const QString& configuredTitle, const QString& tcTitle);

}  // namespace zorvan
