// Under weston's headless Wayland compositor, with no X server: the window appears, a page
// switch by a click on its navigation button works, and the program's exit ends it cleanly,
// against the emulated mouse.
#include "app/configuration.h"
#include "ui/controls/png_btn.h"
#include "ui/pages/page_widget.h"
#include "ui/ui_fixture.h"
#include "ui/zorvan_dlg.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

using namespace zorvan;
using namespace zorvan::test;

class WaylandChecks : public QObject {
    Q_OBJECT
private slots:
    void windowRunsUnderAWaylandCompositor();
};

void WaylandChecks::windowRunsUnderAWaylandCompositor()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
    UiFixture fixture;
    auto port = EmulatedPort();
    QVERIFY(port);
    {
        CZorvanDlg window(*port, false, QStringLiteral("Zorvan"));
        QVERIFY(window.Init());
        QVERIFY(ShowStartedWindow(window));
        QCOMPARE(window.CurrentPage(), int(CZorvanDlg::kKeyPage));
        // The second button shows the DPI page.
        CPngBtn* dpi = window.NaviButton(1);
        QVERIFY(dpi);
        QTest::mouseClick(dpi, Qt::LeftButton, {}, dpi->rect().center());
        QTRY_COMPARE(window.CurrentPage(), int(CZorvanDlg::kDpiPage));
        QVERIFY(window.BuiltPage(CZorvanDlg::kDpiPage)->isVisible());
        QSignalSpy exited(&window, &CZorvanDlg::exited);
        window.ExitProgram();
        QTRY_COMPARE(exited.count(), 1);
        QVERIFY(!window.isVisible());
    }
    port.reset();
}

QTEST_MAIN(WaylandChecks)
#include "wayland_checks.moc"
