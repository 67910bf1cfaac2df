// The macro page against the emulated mouse: a macro recorded from key events and saved, then
// given to a key through the editing path, reaches the key's macro slot in the mouse's EEPROM
// as the bytes the settings writer makes of the saved file; saving it again while the key uses
// it rewrites the slot. Under an X server (xvfb-run), the keys come from xdotool and the slot
// is compared with what `zorvanctl macro slot` prints for the saved file.
#include "app/configuration.h"
#include "app/function_catalogue.h"
#include "device/eeprom_map.h"
#include "device/emulated/mouse_firmware.h"
#include "macro/hd_macro_codec.h"
#include "macro/macro_files.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "macro/time_stamp_id.h"
#include "profile/profile_edits.h"
#include "ui/pages/macro_page.h"
#include "ui/ui_fixture.h"
#include "ui/zorvan_dlg.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace zorvan;
using namespace zorvan::test;

namespace {

constexpr uint32_t kBurstId = 0x0B0C0D;
constexpr int kKey = 3;

void SendKey(QWidget* to, QEvent::Type type, int key, quint32 keysym = 0)
{
    QKeyEvent event(type, key, Qt::NoModifier, 0, keysym, 0);
    QApplication::sendEvent(to, &event);
}

// The slot bytes the settings writer sends for the saved file (what `zorvanctl macro slot` prints).
QByteArray SlotOfFile(const QString& path)
{
    const std::optional<StMacro> macro = ReadMacroFile(path);
    if (!macro)
        return {};
    HdMacro slot;
    const int length = BuildHdMacro(*macro, slot);
    return QByteArray(reinterpret_cast<const char*>(&slot), length);
}

}  // namespace

class MacroEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void aRecordedMacroReachesTheKeysSlot();
    void keysFromTheXServerReachTheSlot();
};

void MacroEndToEndTest::aRecordedMacroReachesTheKeysSlot()
{
    UiFixture fixture;
    Macros().Clear();
    StMacro burst = NewEmptyMacro(QStringLiteral("Burst"));
    burst.id = kBurstId;
    QVERIFY(WriteMacroFile(MacroFolder() + QStringLiteral("/Burst.qxm"), burst).Ok());
    QVERIFY(LoadMacroLibrary());
    const auto port = EmulatedPort();
    QVERIFY(port);
    MouseFirmware* mouse = port->Backend().EmulatedMouse();
    QSignalSpy profileRead(port.get(), &DevicePort::profileRead);
    CZorvanDlg window(*port, false, QStringLiteral("Zorvan"));
    QVERIFY(window.Init());
    QTRY_VERIFY_WITH_TIMEOUT(profileRead.count() >= 1 && !port->Reading(), 10000);

    window.SwitchPage(kMacroPage);
    auto* page = dynamic_cast<CMacroDlg*>(window.BuiltPage(kMacroPage));
    QVERIFY(page);
    page->SelectTreeItem(page->Tree().FindMacro(kBurstId));
    page->OnRecord();
    SendKey(page, QEvent::KeyPress, Qt::Key_Shift, 0xFFE2);
    SendKey(page, QEvent::KeyPress, Qt::Key_A);
    QTest::qWait(30);
    SendKey(page, QEvent::KeyRelease, Qt::Key_A);
    SendKey(page, QEvent::KeyRelease, Qt::Key_Shift, 0xFFE2);
    page->OnRecord();
    page->OnSave();
    QVERIFY(!page->SaveVisible());
    const QString file = MacroFolder() + QStringLiteral("/Burst.qxm");
    QCOMPARE(MacroEventCount(*ReadMacroFile(file)), 4);

    // The key gets the macro through the one editing path; the apply worker writes the slot.
    const DeviceDescription* device = port->CurrentDevice();
    QVERIFY(device);
    PickDetails details;
    details.macroId = kBurstId;
    port->ChangeSetting([&](ProfileRecord& profile) {
        return PickFunction(profile, kKey, kFunMacro, details, *device, Config().defaultKeys);
    }, {});
    const auto slotOnTheMouse = [&](int length) {
        const int position = int(port->CurrentProfile()->CurrentKey(kKey)->matrix);
        const std::vector<uint8_t> bytes =
            mouse->Memory(port->CurrentProfileIndex(), eeprom::MacroBlockAddress(position), length);
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    };
    bool written = false;
    port->AfterWrites([&written](bool) { written = true; });
    QTRY_VERIFY_WITH_TIMEOUT(written, 15000);
    QByteArray expected = SlotOfFile(file);
    QCOMPARE(slotOnTheMouse(int(expected.size())), expected);

    // Saved again while the key uses it: the page asks for the keys, the slot follows.
    page->SelectEventRow(0);
    page->OnDeleteEvent();
    page->OnSave();
    written = false;
    port->AfterWrites([&written](bool) { written = true; });
    QTRY_VERIFY_WITH_TIMEOUT(written, 15000);
    expected = SlotOfFile(file);
    QCOMPARE(MacroEventCount(*ReadMacroFile(file)), 3);
    QCOMPARE(slotOnTheMouse(int(expected.size())), expected);
    window.ExitProgram();
    Macros().Clear();
}

void MacroEndToEndTest::keysFromTheXServerReachTheSlot()
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        QSKIP("needs an X server: runs as ui.macro_end_to_end_x11 under xvfb-run");
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    const QString zorvanctl = qEnvironmentVariable("ZORVANCTL");
    if (xdotool.isEmpty() || zorvanctl.isEmpty())
        QSKIP("needs xdotool and ZORVANCTL");
    UiFixture fixture;
    Macros().Clear();
    StMacro burst = NewEmptyMacro(QStringLiteral("Burst"));
    burst.id = kBurstId;
    const QString file = MacroFolder() + QStringLiteral("/Burst.qxm");
    QVERIFY(WriteMacroFile(file, burst).Ok());
    QVERIFY(LoadMacroLibrary());
    const auto port = EmulatedPort();
    QVERIFY(port);
    MouseFirmware* mouse = port->Backend().EmulatedMouse();
    QSignalSpy profileRead(port.get(), &DevicePort::profileRead);
    CZorvanDlg window(*port, false, QStringLiteral("Zorvan"));
    QVERIFY(window.Init());
    window.ShowMainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY_WITH_TIMEOUT(profileRead.count() >= 1 && !port->Reading(), 10000);

    window.SwitchPage(kMacroPage);
    auto* page = dynamic_cast<CMacroDlg*>(window.BuiltPage(kMacroPage));
    QVERIFY(page);
    page->SelectTreeItem(page->Tree().FindMacro(kBurstId));
    page->OnRecord();
    const QString id = QString::number(window.winId());
    QCOMPARE(QProcess::execute(xdotool, {QStringLiteral("windowfocus"), QStringLiteral("--sync"), id}), 0);
    QTRY_VERIFY_WITH_TIMEOUT(window.isActiveWindow(), 3000);
    // Key codes as a keyboard sends them (62 right Shift, 38 A): a key symbol that the server's
    // map lacks would make xdotool add a Shift of its own.
    QCOMPARE(QProcess::execute(xdotool, {QStringLiteral("keydown"), QStringLiteral("62"), QStringLiteral("key"),
                                         QStringLiteral("38"), QStringLiteral("keyup"), QStringLiteral("62")}),
             0);
    const auto keyRows = [page] {
        QList<uint> rows;
        for (const EventRow& r : page->Rows())
            if (r.kind != kRowDelay)
                rows.append(uint(r.kind) << 16 | r.value);
        return rows;
    };
    const QList<uint> expected{uint(kRowPress) << 16 | 0xA1, uint(kRowPress) << 16 | 0x41,
                               uint(kRowRelease) << 16 | 0x41, uint(kRowRelease) << 16 | 0xA1};
    QTRY_COMPARE_WITH_TIMEOUT(keyRows(), expected, 5000);
    page->OnRecord();
    page->OnSave();
    QVERIFY(!page->SaveVisible());

    const DeviceDescription* device = port->CurrentDevice();
    QVERIFY(device);
    PickDetails details;
    details.macroId = kBurstId;
    port->ChangeSetting([&](ProfileRecord& profile) {
        return PickFunction(profile, kKey, kFunMacro, details, *device, Config().defaultKeys);
    }, {});
    bool written = false;
    port->AfterWrites([&written](bool) { written = true; });
    QTRY_VERIFY_WITH_TIMEOUT(written, 15000);
    window.ExitProgram();

    // What zorvanctl says the key's slot holds for the saved file, and what the mouse holds.
    QTemporaryDir cliData;
    QProcess cli;
    cli.start(zorvanctl, {QStringLiteral("--app-dir"), UiFixture::BuildAppDir(), QStringLiteral("--data-dir"),
                          cliData.path() + QLatin1Char('/'), QStringLiteral("--json"), QStringLiteral("--model"),
                          QStringLiteral("%1:%2").arg(device->CID, 0, 16).arg(device->MID, 0, 16),
                          QStringLiteral("macro"), QStringLiteral("slot"), file, QStringLiteral("--key"),
                          QString::number(kKey + 1)});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    const QJsonObject slot = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
    QByteArray printed;
    for (const QJsonValue& b : slot.value(QStringLiteral("bytes")).toArray())
        printed.append(char(b.toInt()));
    QVERIFY(!printed.isEmpty());
    const std::vector<uint8_t> held = mouse->Memory(port->CurrentProfileIndex(),
                                                    slot.value(QStringLiteral("address")).toInt(), int(printed.size()));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(held.data()), qsizetype(held.size())), printed);
    Macros().Clear();
}

QTEST_MAIN(MacroEndToEndTest)
#include "macro_end_to_end_test.moc"
