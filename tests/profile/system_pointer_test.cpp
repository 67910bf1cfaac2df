// The desktop's pointer settings: the commands GNOME's gsettings and Plasma's kwriteconfig get
// for the profile's pointer settings, only for values that changed, and nothing a desktop does
// not have (Plasma's wheel lines stay when the profile says "one screen at a time").
#include "profile/system_pointer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>

namespace zorvan {
namespace {

class SystemPointerTest : public ::testing::Test {
protected:
    // A stand-in for the desktop's tool that writes each call as one line into calls.txt.
    void Install(const QString& tool)
    {
        QFile script(bin_.filePath(tool));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho \"$*\" >> '%1'\n").arg(Log()).toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString Log() const { return bin_.filePath(QStringLiteral("calls.txt")); }
    // The calls once `count` have arrived (the tool is started detached), sorted.
    QStringList Calls(int count) const
    {
        QElapsedTimer clock;
        clock.start();
        QStringList lines;
        do {
            QFile file(Log());
            if (file.open(QIODevice::ReadOnly))
                lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            if (lines.size() >= count)
                break;
            QThread::msleep(10);
        } while (clock.elapsed() < 5000);
        QThread::msleep(50);  // nothing more arrives
        QFile file(Log());
        if (file.open(QIODevice::ReadOnly))
            lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        lines.sort();
        return lines;
    }
    std::unique_ptr<SystemPointerSettings> For(const char* desktop)
    {
        const QByteArray path = qgetenv("PATH");
        const QByteArray current = qgetenv("XDG_CURRENT_DESKTOP");
        qputenv("PATH", bin_.path().toLocal8Bit());
        qputenv("XDG_CURRENT_DESKTOP", desktop);
        auto settings = MakeDesktopPointerSettings();
        qputenv("PATH", path);
        qputenv("XDG_CURRENT_DESKTOP", current);
        return settings;
    }

    QTemporaryDir bin_;
};

TEST_F(SystemPointerTest, PlasmaTakesWhatItHasAndOnlyWhatChanged)
{
    Install(QStringLiteral("kwriteconfig5"));
    auto settings = For("KDE");
    PointerSettings wanted{500, -1, 15, 1, 0};
    settings->Apply(wanted);
    EXPECT_EQ(Calls(3), (QStringList{
                            "--file kcminputrc --group Mouse --key XLbInptAccelProfileFlat false",
                            "--file kcminputrc --group Mouse --key XLbInptPointerAcceleration 0.5",
                            "--file kdeglobals --group KDE --key DoubleClickInterval 500",
                        }));
    QFile::remove(Log());
    wanted.wheelLines = 3;
    wanted.pointerSpeed = 1;
    settings->Apply(wanted);
    EXPECT_EQ(Calls(2), (QStringList{
                            "--file kcminputrc --group Mouse --key XLbInptPointerAcceleration -0.9",
                            "--file kdeglobals --group KDE --key WheelScrollLines 3",
                        }));
}

TEST_F(SystemPointerTest, GnomeTakesDoubleClickSpeedAndProfile)
{
    Install(QStringLiteral("gsettings"));
    auto settings = For("ubuntu:GNOME");
    settings->Apply({400, 3, 20, 0, 0});
    EXPECT_EQ(Calls(3), (QStringList{
                            "set org.gnome.desktop.peripherals.mouse accel-profile flat",
                            "set org.gnome.desktop.peripherals.mouse double-click 400",
                            "set org.gnome.desktop.peripherals.mouse speed 1",
                        }));
}

TEST_F(SystemPointerTest, ElsewhereNothingRuns)
{
    Install(QStringLiteral("gsettings"));
    Install(QStringLiteral("kwriteconfig5"));
    For("XFCE")->Apply({400, 3, 20, 0, 0});
    QThread::msleep(100);
    EXPECT_FALSE(QFile::exists(Log()));
}

}  // namespace
}  // namespace zorvan
