// Under Xvfb with a tray host: the main window's shape and the tray icon, which the offscreen
// platform does not have.
#include "app/configuration.h"
#include "ui/fake_device_port.h"
#include "ui/ui_fixture.h"
#include "ui/zorvan_dlg.h"

#include <QSystemTrayIcon>
#include <QTest>

using namespace zorvan;
using namespace zorvan::test;

class X11Checks : public QObject {
    Q_OBJECT
private slots:
    void windowIsShapedFromItsBackground();
    void closeHidesToTheTray();
};

void X11Checks::windowIsShapedFromItsBackground()
{
    UiFixture fixture;
    FakeDevicePort session;
    CZorvanDlg window(session, false, QStringLiteral("Zorvan"));
    QVERIFY(window.Init());
    window.ShowMainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRegion shape = window.mask();
    QVERIFY(!shape.isEmpty());
    QVERIFY2(!shape.contains(QPoint(0, 0)), "the rounded corner is cut");
    QVERIFY(shape.contains(QPoint(window.width() / 2, window.height() / 2)));
    QVERIFY(!shape.contains(QPoint(window.width() - 1, window.height() - 1)));
}

void X11Checks::closeHidesToTheTray()
{
    UiFixture fixture;
    Config().opt.ExitType = 1;
    Config().opt.TrayIcon = 1;
    FakeDevicePort session;
    CZorvanDlg window(session, false, QStringLiteral("Zorvan"));
    QVERIFY(window.Init());
    window.ShowMainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 5000);
    QVERIFY(window.TrayIcon()->isVisible());
    window.OnCloseButton();
    QVERIFY(!window.isVisible());
    QVERIFY(!window.isMinimized());
    window.OnTrayMessage(514);
    QVERIFY(window.isVisible());
}

QTEST_MAIN(X11Checks)
#include "x11_checks.moc"
