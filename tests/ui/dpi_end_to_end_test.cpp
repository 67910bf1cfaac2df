// The DPI and lighting pages against the emulated mouse: a DPI thumb dragged, the polling rate
// changed and a preset colour clicked in the window leave the mouse's EEPROM exactly as
// zorvanctl's `set` and `light` leave a mouse of the same model for the same changes. The older
// layout's pointer group changes the desktop's settings with the mouse and without it.
#include "app/configuration.h"
#include "device/emulated/firmware_state.h"
#include "device/emulated/mouse_firmware.h"
#include "profile/profile_edits.h"
#include "profile/system_pointer.h"
#include "ui/controls/combo_btn.h"
#include "ui/controls/png_btn.h"
#include "ui/controls/png_slider_bar.h"
#include "ui/live_device_port.h"
#include "ui/pages/adv_dlg.h"
#include "ui/pages/led_dlg.h"
#include "ui/pages/new_adv_dlg.h"
#include "ui/ui_fixture.h"
#include "ui/zorvan_dlg.h"

#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <mutex>

using namespace zorvan;
using namespace zorvan::test;

namespace {

// zorvanctl on the state file `state` with its own data folder; its exit code.
int Zorvanctl(const QString& state, const QString& data, const QStringList& command)
{
    QProcess process;
    process.start(UiFixture::BuildAppDir() + QStringLiteral("zorvanctl"),
                  QStringList{QStringLiteral("--app-dir"), UiFixture::BuildAppDir(), QStringLiteral("--data-dir"), data,
                              QStringLiteral("--emulate=") + state} +
                      command);
    if (!process.waitForFinished(60000))
        return -1;
    if (process.exitCode() != 0)
        qWarning("zorvanctl %s: %s", qPrintable(command.join(QLatin1Char(' '))), process.readAllStandardError().constData());
    return process.exitCode();
}

// The desktop's pointer settings as the settings writer hands them over (on its thread).
class RecordingPointer : public SystemPointerSettings {
public:
    void Apply(const PointerSettings& settings) override
    {
        std::lock_guard lock(mutex_);
        applied_.push_back(settings);
    }
    std::vector<PointerSettings> Applied() const
    {
        std::lock_guard lock(mutex_);
        return applied_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<PointerSettings> applied_;
};

}  // namespace

class DpiEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void theWindowWritesWhatZorvanctlWrites();
    void theOlderLayoutsPointerGroupNeedsNoMouse();
};

void DpiEndToEndTest::theWindowWritesWhatZorvanctlWrites()
{
    UiFixture fixture;
    if (!QFileInfo::exists(UiFixture::BuildAppDir() + QStringLiteral("zorvanctl")))
        QSKIP("zorvanctl is not built");
    const auto port = EmulatedPort();
    QVERIFY(port);
    MouseFirmware* mouse = port->Backend().EmulatedMouse();
    QSignalSpy read(port.get(), &DevicePort::profileRead);
    CZorvanDlg window(*port, false, QStringLiteral("Zorvan"));
    QVERIFY(window.Init());
    QTRY_VERIFY_WITH_TIMEOUT(read.count() >= 1 && !port->Reading(), 10000);

    // The third DPI level's thumb dragged from 1600 to about 3200, released once.
    window.SwitchPage(CZorvanDlg::kDpiPage);
    auto* dpi = dynamic_cast<CNewAdvDlg*>(window.PageAt(CZorvanDlg::kDpiPage));
    QVERIFY(dpi);
    CPngHSliderBarEx* bar = dpi->LevelSlider(2);
    CPngSlider* thumb = bar->Thumb(1);
    const SliderModel& model = thumb->Model();
    const QPoint from(thumb->Centre(), thumb->y() + thumb->height() / 2);
    const QPoint to(model.CentreOf(*model.PositionOf(3200), bar->Length()), from.y());
    QTest::mousePress(thumb, Qt::LeftButton, {}, thumb->mapFromParent(from));
    for (int x = from.x() + 1; x <= to.x(); ++x)
        QTest::mouseMove(thumb, thumb->mapFromParent(QPoint(x, from.y())));
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, thumb->mapFromParent(to));
    const int level3 = bar->Value(1);
    QCOMPARE(level3, 3200);

    QTest::mouseClick(dpi->RateRadio(1), Qt::LeftButton);  // 250 Hz

    // A static red main light: the effect with colour controls, then the first preset cell.
    window.SwitchPage(CZorvanDlg::kLightingPage);
    auto* led = dynamic_cast<CLedDlg*>(window.PageAt(CZorvanDlg::kLightingPage));
    QVERIFY(led);
    led->Effect(CLedDlg::kMain)->Choose(1);
    QTest::mouseClick(led, Qt::LeftButton, {}, led->PresetRect(0).center());
    bool written = false;
    port->AfterWrites([&](bool ok) { written = ok; });
    QTRY_VERIFY_WITH_TIMEOUT(written, 20000);
    const FirmwareState gui = mouse->State();
    window.ExitProgram();

    // The same changes through zorvanctl on a mouse of the same model.
    QTemporaryDir folder;
    const QString state = folder.filePath(QStringLiteral("mouse.state"));
    const QString data = folder.filePath(QStringLiteral("data"));
    QCOMPARE(Zorvanctl(state, data, {QStringLiteral("set"), QStringLiteral("dpi"), QStringLiteral("3"), QString::number(level3)}), 0);
    QCOMPARE(Zorvanctl(state, data, {QStringLiteral("set"), QStringLiteral("rate"), QStringLiteral("250")}), 0);
    QCOMPARE(Zorvanctl(state, data, {QStringLiteral("light"), QStringLiteral("main"), QStringLiteral("1")}), 0);
    QCOMPARE(Zorvanctl(state, data, {QStringLiteral("light"), QStringLiteral("main"), QStringLiteral("1"),
                                     QStringLiteral("--colour"), QStringLiteral("FF0000")}),
             0);
    QString error;
    const std::optional<FirmwareState> cli = LoadFirmwareStateFile(state, &error);
    QVERIFY2(cli, qPrintable(error));
    QCOMPARE(cli->activeProfile, gui.activeProfile);
    const auto& a = gui.profiles[gui.activeProfile];
    const auto& b = cli->profiles[cli->activeProfile];
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            QFAIL(qPrintable(QStringLiteral("EEPROM byte 0x%1: the window wrote %2, zorvanctl %3")
                                 .arg(i, 3, 16, QLatin1Char('0'))
                                 .arg(a[i], 2, 16, QLatin1Char('0'))
                                 .arg(b[i], 2, 16, QLatin1Char('0'))));
    }
}

void DpiEndToEndTest::theOlderLayoutsPointerGroupNeedsNoMouse()
{
    UiFixture fixture;
    Config().opt.OldAdvDlg = 1;
    Config().opt.ShowSys = 1;
    Config().opt.ApplyNow = 1;
    Config().opt.GoWithNoDev = 0;
    auto recording = std::make_unique<RecordingPointer>();
    RecordingPointer* desktop = recording.get();
    std::unique_ptr<SystemPointerSettings> previous = SetSystemPointer(std::move(recording));
    BackendChoice choice;
    choice.emulate = true;
    choice.model = std::pair{0x1A, 0x05};  // the model made for the older layout
    QString error;
    const auto port = LiveDevicePort::Create(choice, &error);
    QVERIFY2(port, qPrintable(error));
    MouseFirmware* mouse = port->Backend().EmulatedMouse();
    QSignalSpy read(port.get(), &DevicePort::profileRead);
    QSignalSpy lost(port.get(), &DevicePort::deviceLost);
    CZorvanDlg window(*port, false, QStringLiteral("Zorvan"));
    QVERIFY(window.Init());
    QTRY_VERIFY_WITH_TIMEOUT(read.count() >= 1 && !port->Reading(), 10000);
    QTest::mouseClick(window.NaviButton(1), Qt::LeftButton);
    auto* page = dynamic_cast<CAdvDlg*>(window.PageAt(CZorvanDlg::kDpiPage));
    QVERIFY(page);
    QVERIFY(page->PrecisionBox()->isVisible());
    const auto profile = [&port] { return *port->CurrentProfile(); };
    // What the desktop got last, once the writes posted so far are done.
    const auto desktopGot = [&]() -> std::optional<PointerSettings> {
        bool done = false;
        port->AfterWrites([&done](bool) { done = true; });
        if (!QTest::qWaitFor([&done] { return done; }, 10000) || desktop->Applied().empty())
            return std::nullopt;
        return desktop->Applied().back();
    };

    // With the mouse.
    const int precision = profile().enhancePrecision;
    QTest::mouseClick(page->PrecisionBox(), Qt::LeftButton);
    QCOMPARE(profile().enhancePrecision, precision == 0 ? 1 : 0);
    QVERIFY(desktopGot() == PointerSettingsOf(profile()));

    // Without it: the boxes and the sliders still change the desktop's settings.
    mouse->SetPlugged(false);
    QTRY_VERIFY_WITH_TIMEOUT(lost.count() == 1 && !port->Connected(), 10000);
    const std::vector<ShownMessage> before = fixture.Messages();
    const size_t appliedBefore = desktop->Applied().size();
    QTest::mouseClick(page->PrecisionBox(), Qt::LeftButton);
    QCOMPARE(profile().enhancePrecision, precision);
    QVERIFY(!page->OneScreenBox()->isChecked());
    QTest::mouseClick(page->OneScreenBox(), Qt::LeftButton);
    QCOMPARE(profile().wheelLines, kWheelOneScreen);
    QVERIFY(page->OneScreenBox()->isChecked());
    CPngSliderBar* speed = page->PointerSpeedSlider();
    QTest::mouseClick(speed, Qt::LeftButton, {}, QPoint(speed->width() - 6, speed->height() / 2));
    QCOMPARE(profile().pointerSpeed, 20);
    CPngSliderBar* doubleClick = page->DoubleClickSlider();
    QTest::mouseClick(doubleClick, Qt::LeftButton, {}, QPoint(5, doubleClick->height() / 2));
    QCOMPARE(profile().doubleClickTime, 900);
    QCOMPARE(fixture.Messages().size(), before.size());  // no "connect the mouse" refusal
    QVERIFY(desktopGot() == PointerSettingsOf(profile()));
    QCOMPARE(desktop->Applied().size(), appliedBefore + 4);

    window.ExitProgram();
    SetSystemPointer(std::move(previous));
}

QTEST_MAIN(DpiEndToEndTest)
#include "dpi_end_to_end_test.moc"
