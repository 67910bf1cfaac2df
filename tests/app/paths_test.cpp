// Where the data folder and the log go, following the desktop's folder conventions.
#include "app/paths.h"
#include "support/test_support.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace zorvan::test {
namespace {

// A home folder of its own, with the XDG variables the case names (unset otherwise).
class HomeFixture {
public:
    HomeFixture(bool desktopFolder, std::optional<QString> stateHome, std::optional<QString> dataHome)
    {
        qputenv("HOME", home_.Path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (home_.Path() + QStringLiteral("config")).toUtf8());
        Set("XDG_STATE_HOME", stateHome);
        Set("XDG_DATA_HOME", dataHome);
        if (desktopFolder)
            QDir().mkpath(home_.Path() + QStringLiteral("Desktop"));
    }
    ~HomeFixture()
    {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"}) {
            if (const auto it = saved_.find(name); it != saved_.end() && it->second)
                qputenv(name, *it->second);
            else
                qunsetenv(name);
        }
    }
    QString Home() const { return home_.Path(); }

private:
    void Set(const char* name, const std::optional<QString>& value)
    {
        if (value)
            qputenv(name, value->arg(home_.Path()).toUtf8());
        else
            qunsetenv(name);
    }
    std::map<std::string, std::optional<QByteArray>> saved_ = [] {
        std::map<std::string, std::optional<QByteArray>> saved;
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"})
            saved[name] = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
        return saved;
    }();
    TempDir home_;
};

struct LogCase {
    const char* name;
    bool desktopFolder;
    std::optional<QString> stateHome;  // "%1" is the home folder (ending with '/')
    QString expected;                  // relative to the home folder
};

TEST(PathsTest, TheLogGoesToTheDesktopElseToTheStateFolder)
{
    const LogCase cases[] = {
        {"desktop folder present", true, QStringLiteral("%1state"), QStringLiteral("Desktop/Log.txt")},
        {"no desktop folder, XDG_STATE_HOME set", false, QStringLiteral("%1state"), QStringLiteral("state/zorvan/Log.txt")},
        {"no desktop folder, XDG_STATE_HOME unset", false, std::nullopt, QStringLiteral(".local/state/zorvan/Log.txt")},
        {"a relative XDG_STATE_HOME is ignored", false, QStringLiteral("relative"), QStringLiteral(".local/state/zorvan/Log.txt")},
    };
    for (const LogCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HomeFixture home(c.desktopFolder, c.stateHome, std::nullopt);
        const QString log = DefaultLogFile();
        EXPECT_EQ(log, home.Home() + c.expected);
        // The folder is there, so the first entry can be written.
        EXPECT_TRUE(QFileInfo(QFileInfo(log).path()).isDir());
        // No desktop folder is made for the log.
        EXPECT_EQ(QFileInfo::exists(home.Home() + QStringLiteral("Desktop")), c.desktopFolder);
    }
}

TEST(PathsTest, TheDataFolderIsInXdgDataHome)
{
    {
        const HomeFixture home(false, std::nullopt, QStringLiteral("%1data"));
        EXPECT_EQ(DataDirFor(QStringLiteral("Zorvan")), home.Home() + QStringLiteral("data/Zorvan/"));
    }
    {
        const HomeFixture home(false, std::nullopt, std::nullopt);
        EXPECT_EQ(DataDirFor(QStringLiteral("Zorvan")), home.Home() + QStringLiteral(".local/share/Zorvan/"));
    }
}

}  // namespace
}  // namespace zorvan::test
