#include "text/language_choice.h"

#include "app/configuration.h"
#include "app/ini_file.h"
#include "app/log.h"
#include "app/paths.h"
#include "text/language_texts.h"

#include <QDir>

#include <atomic>

namespace zorvan {
namespace {

std::atomic<int> g_currentLanguage{0};

QString LangIniPath(const QString& dataDir)
{
    return dataDir + QStringLiteral("lang.ini");
}

// True when `path` lies inside `dir` once "." and ".." are resolved.
bool Inside(const QString& dir, const QString& path)
{
    const QString base = QDir::cleanPath(dir) + u'/';
    return QDir::cleanPath(path).startsWith(base);
}

}  // namespace

int ReadLanguageIndex(const QString& dataDir, int languageCount)
{
    IniFile ini;
    ini.Load(LangIniPath(dataDir));
    const int32_t index = ini.Int("OPT", "LangIndex", 0);
    return index < 0 || index >= languageCount ? 0 : index;
}

QString LanguageFilePath(const QString& appDir, const AppOptions& options, int index)
{
    if (index < 0 || size_t(index) >= options.Languages.size())
        return {};
    const QString& folder = options.Languages[size_t(index)].folder;
    const QString path = folder.isEmpty() ? appDir + QStringLiteral("text.xml")
                                          : appDir + folder + QStringLiteral("/text.xml");
    if (!Inside(appDir, path)) {
        Log("Language folder %s is outside the application folder", folder.toUtf8().constData());
        return {};
    }
    return path;
}

void LoadChosenLanguage()
{
    const int index = ReadLanguageIndex(Paths().dataDir, Options().LanguageCount());
    g_currentLanguage = index;
    LoadLanguageTexts(LanguageFilePath(Paths().appDir, Options(), index));
}

int CurrentLanguage()
{
    return g_currentLanguage;
}

bool SwitchLanguage(int index)
{
    if (index < 0 || index >= Options().LanguageCount())
        return false;
    g_currentLanguage = index;
    LoadLanguageTexts(LanguageFilePath(Paths().appDir, Options(), index));
    WriteIniValue(LangIniPath(Paths().dataDir), "OPT", "LangIndex", QString::number(index));
    return true;
}

}  // namespace zorvan
