// The GUI against the emulated mouse: start, the profile read, the battery indicator and the
// window state told to the mouse; unplugging and replugging the mouse; a mouse of a model
// without lighting taking the place of one with lighting while the lighting page is shown.
#include "app/configuration.h"
#include "device/emulated/emulated_bus.h"
#include "profile/factory_image.h"
#include "ui/controls/png_btn.h"
#include "ui/live_device_port.h"
#include "ui/pages/page_widget.h"
#include "ui/pages/power_dlg.h"
#include "ui/ui_fixture.h"
#include "ui/zorvan_dlg.h"

#include <QSignalSpy>
#include <QTest>

using namespace zorvan;
using namespace zorvan::test;

class EndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void windowFollowsTheEmulatedMouse();
    void aModelWithoutLightingLeavesTheLightingPage();
};

void EndToEndTest::windowFollowsTheEmulatedMouse()
{
    UiFixture fixture;
    const auto port = EmulatedPort();
    QVERIFY(port);
    MouseFirmware* mouse = port->Backend().EmulatedMouse();
    mouse->SetBattery(42, false);
    QSignalSpy profileRead(port.get(), &DevicePort::profileRead);
    QSignalSpy lost(port.get(), &DevicePort::deviceLost);

    CZorvanDlg window(*port, false, QStringLiteral("Zorvan"));
    QVERIFY(window.Init());
    QTRY_VERIFY_WITH_TIMEOUT(profileRead.count() >= 1 && !port->Reading(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 3000);
    QVERIFY(port->Connected());
    QTRY_VERIFY_WITH_TIMEOUT(window.PowerIndicator()->isVisible(), 3000);
    QCOMPARE(window.PowerIndicator()->Level(), 42);
    QCOMPARE(window.PowerIndicator()->PictureName(), QStringLiteral("power2.png"));
    QTRY_VERIFY_WITH_TIMEOUT(mouse->State().windowShown, 3000);

    // What the mouse reports by itself reaches the window.
    QSignalSpy levels(port.get(), &DevicePort::dpiLevelChanged);
    QSignalSpy lighting(port.get(), &DevicePort::lightingChanged);
    mouse->Press(MouseButton::kDpiUp);
    mouse->Press(MouseButton::kLightMode);
    QTRY_VERIFY_WITH_TIMEOUT(levels.count() == 1 && lighting.count() == 1, 3000);

    // Hiding the window tells the mouse.
    window.OnMinimiseButton();
    QTRY_VERIFY_WITH_TIMEOUT(!mouse->State().windowShown, 3000);
    window.ShowMainWindow();
    QTRY_VERIFY_WITH_TIMEOUT(mouse->State().windowShown, 3000);

    mouse->SetPlugged(false);
    QTRY_VERIFY_WITH_TIMEOUT(lost.count() == 1, 10000);
    QVERIFY(!port->Connected());
    QVERIFY(window.PowerIndicator()->isHidden());

    const int readsBefore = profileRead.count();
    mouse->SetBattery(90, true);
    mouse->SetPlugged(true);
    QTRY_VERIFY_WITH_TIMEOUT(profileRead.count() > readsBefore && !port->Reading(), 15000);
    QVERIFY(port->Connected());
    QTRY_VERIFY_WITH_TIMEOUT(window.PowerIndicator()->isVisible(), 3000);
    QCOMPARE(window.PowerIndicator()->PictureName(), QStringLiteral("power_charging.png"));
    QTRY_VERIFY_WITH_TIMEOUT(mouse->State().windowShown, 3000);

    window.ExitProgram();
    QVERIFY(!mouse->State().windowShown || !window.isVisible());
}

void EndToEndTest::aModelWithoutLightingLeavesTheLightingPage()
{
    UiFixture fixture;
    // The logo-only model of cfg.ini, here without its logo: a model with neither zone.
    constexpr int kCid = 0x1A, kMid = 0x06;
    DeviceDescription* dark = nullptr;
    for (DeviceDescription& device : Config().devices)
        if (device.HoldsModel() && device.CID == kCid && device.MID == kMid)
            dark = &device;
    QVERIFY(dark);
    dark->ShowMainEffect = 0;
    dark->ShowLogoEffect = 0;
    const auto port = EmulatedPort();  // the first model, with lighting
    QVERIFY(port);
    QSignalSpy profileRead(port.get(), &DevicePort::profileRead);
    QSignalSpy changed(port.get(), &DevicePort::deviceChanged);
    CZorvanDlg window(*port, false, QStringLiteral("Zorvan"));
    QVERIFY(window.Init());
    window.ShowMainWindow();
    QTRY_VERIFY_WITH_TIMEOUT(profileRead.count() >= 1 && !port->Reading(), 10000);
    QVERIFY(port->CurrentDevice() != dark);
    QTest::mouseClick(window.NaviButton(3), Qt::LeftButton);
    QCOMPARE(window.CurrentPage(), int(CZorvanDlg::kLightingPage));

    // The mouse is unplugged and one of the other model plugged in: the session takes it over.
    BackendChoice choice;
    choice.emulate = true;
    choice.model = std::pair{kCid, kMid};
    QString error;
    std::shared_ptr<MouseFirmware> other = MakeEmulatedFirmware(choice, &BuildFactoryImages, &error);
    QVERIFY2(other, qPrintable(error));
    other->SetPlugged(false);
    port->Backend().Emulator()->AddMouse(other, uint16_t(Options().VID), uint16_t(Options().PID));
    const int changes = changed.count();
    port->Backend().EmulatedMouse()->SetPlugged(false);
    other->SetPlugged(true);
    QTRY_VERIFY_WITH_TIMEOUT(port->CurrentDevice() == dark && changed.count() > changes, 15000);

    QVERIFY(window.NaviButton(3)->isHidden());
    QCOMPARE(window.CurrentPage(), int(CZorvanDlg::kKeyPage));
    QVERIFY(window.NaviButton(0)->isChecked());
    QVERIFY(window.PageAt(CZorvanDlg::kKeyPage)->isVisible());
    QVERIFY(!window.PageAt(CZorvanDlg::kLightingPage)->isVisible());
    window.ExitProgram();
}

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
