#include "ui/ui_fixture.h"

#include "app/configuration.h"
#include "app/log.h"
#include "app/paths.h"
#include "skin/display_scale.h"
#include "text/language_texts.h"
#include "ui/zorvan_dlg.h"

#include <QApplication>
#include <QDialog>
#include <QDirIterator>
#include <QFile>
#include <QTest>
#include <QTimer>

namespace zorvan::test {

UiFixture::UiFixture() : messages_(std::make_unique<MessageCollector>())
{
    SetFourK(false);
    SetPictureRatio(1.0);
    Paths().appDir = BuildAppDir();
    Paths().dataDir = DataDir();
    Config() = Configuration{};
    LoadLanguageTexts(Paths().appDir + QStringLiteral("text.xml"));
    LoadConfiguration(Paths().appDir + QStringLiteral("cfg.ini"), data_.path() + QStringLiteral("/Log.txt"));
}

UiFixture::~UiFixture()
{
    ResetLog();
}

QString UiFixture::BuildAppDir()
{
    return QStringLiteral(ZORVAN_BINARY_DIR "/bin/");
}

QString UiFixture::UseSkinCopy()
{
    const QString from = BuildAppDir();
    const QString to = app_.path() + QLatin1Char('/');
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (!file.contains(QStringLiteral("/skins/")) && !file.endsWith(QStringLiteral(".xml")) &&
            !file.endsWith(QStringLiteral(".ini")))
            continue;
        const QString target = to + file.mid(from.size());
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(file, target);
    }
    Paths().appDir = to;
    return to;
}

std::unique_ptr<LiveDevicePort> EmulatedPort()
{
    BackendChoice choice;
    choice.emulate = true;
    QString error;
    auto port = LiveDevicePort::Create(choice, &error);
    if (!port)
        qWarning("%s", qPrintable(error));
    return port;
}

bool ShowStartedWindow(CZorvanDlg& window)
{
    window.ShowMainWindow();
    return QTest::qWaitFor([&window] { return window.isVisible(); }, 10000) && QTest::qWaitForWindowExposed(&window);
}

void CloseNextModal(int result, int delayMs)
{
    QTimer::singleShot(delayMs, [result] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->done(result);
        else
            CloseNextModal(result, 20);
    });
}

}  // namespace zorvan::test
