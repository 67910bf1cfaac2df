// The macro page in the real window against the emulated mouse: a macro recorded from key
// events and saved, then given to a key through the editing path, reaches the key's macro slot
// in the mouse's EEPROM as the bytes the settings writer makes of the saved file; saving it
// again while the key uses it rewrites the slot. While recording, the window's clicks are no
// events of the macro: only the insert button puts clicks in, every other command is refused.
// Under an X server (xvfb-run), the keys come from xdotool and the slot is compared with what
// `zorvanctl macro slot` prints for the saved file.
#include "app/configuration.h"
#include "app/function_catalogue.h"
#include "app/log.h"
#include "device/eeprom_map.h"
#include "device/emulated/mouse_firmware.h"
#include "macro/hd_macro_codec.h"
#include "macro/macro_files.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "macro/time_stamp_id.h"
#include "profile/profile_edits.h"
#include "text/language_texts.h"
#include "ui/controls/macro_tree_model.h"
#include "ui/controls/png_btn.h"
#include "ui/controls/tree_ctrl_ex.h"
#include "ui/pages/macro_page.h"
#include "ui/pages/menu_dlg.h"
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

#include <mutex>

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
// The centre of a tree or list item, in its viewport.
QPoint Centre(const CTreeCtrlEx* view, const QModelIndex& index)
{
    return view->visualRect(index).center();
}

// Picks row `row` of the pop-up list open now, with the mouse.
bool PickFromOpenMenu(int row)
{
    CMenuDlg* menu = CMenuDlg::Current();
    if (menu == nullptr)
        return false;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->RowRect(row).center());
    return true;
}

// The page's event rows but the delays, as kind << 16 | value.
QList<uint> KeyRows(const CMacroDlg* page)
{
    QList<uint> rows;
    for (const EventRow& r : page->Rows())
        if (r.kind != kRowDelay)
            rows.append(uint(r.kind) << 16 | r.value);
    return rows;
}

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
    void whileRecordingClicksGoInOnlyThroughTheInsertButton();
    void aFailedExportIsShownNamingTheFile();
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

void MacroEndToEndTest::whileRecordingClicksGoInOnlyThroughTheInsertButton()
{
    UiFixture fixture;
    Macros().Clear();
    for (const char* name : {"Burst", "Other"})
        QVERIFY(WriteMacroFile(MacroFolder() + QStringLiteral("/%1.qxm").arg(QLatin1String(name)),
                               NewEmptyMacro(QString::fromLatin1(name)))
                    .Ok());
    QVERIFY(LoadMacroLibrary());
    const auto port = EmulatedPort();
    QVERIFY(port);
    QSignalSpy profileRead(port.get(), &DevicePort::profileRead);
    CZorvanDlg window(*port, false, QStringLiteral("Zorvan"));
    QVERIFY(window.Init());
    QVERIFY(ShowStartedWindow(window));
    QTRY_VERIFY_WITH_TIMEOUT(profileRead.count() >= 1 && !port->Reading(), 10000);

    QTest::mouseClick(window.NaviButton(2), Qt::LeftButton);
    QCOMPARE(window.CurrentPage(), int(CZorvanDlg::kMacroPage));
    auto* page = dynamic_cast<CMacroDlg*>(window.PageAt(CZorvanDlg::kMacroPage));
    QVERIFY(page);
    std::vector<QString> messages;
    QStringList asked;
    MacroPageDialogs dialogs;
    dialogs.message = [&messages](const QString& text) { messages.push_back(text); };
    dialogs.captureKey = [](const QString&) { return std::optional<unsigned>(0x42); };
    dialogs.askText = [&asked](const QString& prompt, int) {
        asked << prompt;
        return std::optional<QString>();
    };
    dialogs.confirm = [&asked](const QString& question) {
        asked << question;
        return false;
    };
    page->SetDialogs(dialogs);

    CTreeCtrlEx* tree = page->TreeView();
    CTreeCtrlEx* events = page->EventView();
    const auto treeItem = [&](const char* name) {
        return page->TreeModel()->IndexOf(page->Tree().FindChild(nullptr, QString::fromLatin1(name)));
    };
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, Centre(tree, treeItem("Burst")));
    const std::optional<uint32_t> burst = page->CurrentMacro();
    QVERIFY(burst);
    QTest::mouseClick(page->RecordButton(), Qt::LeftButton);
    QVERIFY(page->Recording());

    // Keys are recorded; clicks go in through the insert button: a key asked for, a left click.
    QTest::keyClick(page, Qt::Key_A);
    QTest::mouseClick(page->InsertButton(), Qt::LeftButton);
    QVERIFY(PickFromOpenMenu(0));
    QTest::mouseClick(page->InsertButton(), Qt::LeftButton);
    QVERIFY(PickFromOpenMenu(3));
    QVERIFY(messages.empty());
    const QList<uint> recorded{uint(kRowPress) << 16 | 0x41, uint(kRowRelease) << 16 | 0x41,
                               uint(kRowPress) << 16 | 0x42, uint(kRowPress) << 16 | kMouseLeft,
                               uint(kRowRelease) << 16 | kMouseLeft};
    QCOMPARE(KeyRows(page), recorded);
    QVERIFY(page->SaveButton()->isVisible());

    // Every other click of the page and the window: refused with tc_macro_msg17, or nothing.
    const QPoint firstRow = Centre(events, page->EventView()->model()->index(0, 0));
    const QPoint emptyTree(tree->viewport()->width() / 2, tree->viewport()->height() - 5);
    struct Click {
        const char* what;
        std::function<void()> click;
        bool refused;
    };
    const auto left = [](QWidget* w) { return [w] { QTest::mouseClick(w, Qt::LeftButton); }; };
    const std::array<CPngBtn*, 4> listButtons = page->ListButtons();
    const Click clicks[] = {
        {"a macro of the tree", [&] { QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, Centre(tree, treeItem("Other"))); }, false},
        {"a double click in the tree", [&] { QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, Centre(tree, treeItem("Other"))); }, false},
        {"the tree's menu on a macro", [&] { QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, Centre(tree, treeItem("Burst"))); }, true},
        {"the tree's menu on empty space", [&] { QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, emptyTree); }, true},
        {"the page's surface", [&] { QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(20, 500)); }, false},
        {"the page's surface, right", [&] { QTest::mouseClick(page, Qt::RightButton, {}, QPoint(20, 500)); }, false},
        {"an event", [&] { QTest::mouseClick(events->viewport(), Qt::LeftButton, {}, firstRow); }, false},
        {"the event list's menu", [&] { QTest::mouseClick(events->viewport(), Qt::RightButton, {}, firstRow); }, true},
        {"a double click on an event", [&] { QTest::mouseDClick(events->viewport(), Qt::LeftButton, {}, firstRow); }, true},
        {"new macro", left(listButtons[0]), true},
        {"delete macro", left(listButtons[1]), true},
        {"modify event", left(listButtons[2]), true},
        {"delete event", left(listButtons[3]), true},
        {"delay box", left(page->DelayBox()), true},
        {"loop mode 0", left(page->LoopRadio(kLoopCount)), true},
        {"loop mode 1", left(page->LoopRadio(kLoopMode1)), true},
        {"loop mode 2", left(page->LoopRadio(kLoopMode2)), true},
        {"save", left(page->SaveButton()), true},
        {"another page", left(window.NaviButton(0)), true},
    };
    for (const Click& c : clicks) {
        const EventRows before = page->Rows();
        messages.clear();
        c.click();
        QVERIFY2(page->Rows() == before, c.what);
        QVERIFY2(messages == (c.refused ? std::vector<QString>{GetText("tc_macro_msg17")} : std::vector<QString>{}), c.what);
        QVERIFY2(!CMenuDlg::Current() || !CMenuDlg::Current()->isVisible(), c.what);
        QVERIFY2(page->CurrentMacro() == burst && page->Recording(), c.what);
    }
    QCOMPARE(window.CurrentPage(), int(CZorvanDlg::kMacroPage));
    QVERIFY(page->DelayBox()->isChecked());
    QVERIFY(page->LoopRadio(kLoopCount)->isChecked());

    // The tree's rename and delete keys are keys of the macro now.
    QTest::keyClick(tree, Qt::Key_F2);
    QTest::keyClick(tree, Qt::Key_Delete);
    QVERIFY(asked.isEmpty());
    QCOMPARE(KeyRows(page).mid(recorded.size()), (QList<uint>{uint(kRowPress) << 16 | 0x71, uint(kRowRelease) << 16 | 0x71,
                                                          uint(kRowPress) << 16 | 0x2E, uint(kRowRelease) << 16 | 0x2E}));

    QTest::mouseClick(page->RecordButton(), Qt::LeftButton);
    QVERIFY(!page->Recording());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, Centre(tree, treeItem("Other")));
    QVERIFY(page->CurrentMacro() != burst);
    window.ExitProgram();
    Macros().Clear();
}

void MacroEndToEndTest::aFailedExportIsShownNamingTheFile()
{
    UiFixture fixture;
    Macros().Clear();
    const QString stored = MacroFolder() + QStringLiteral("/Burst.qxm");
    QVERIFY(WriteMacroFile(stored, NewEmptyMacro(QStringLiteral("Burst"))).Ok());
    QVERIFY(LoadMacroLibrary());
    const auto port = EmulatedPort();
    QVERIFY(port);
    CZorvanDlg window(*port, false, QStringLiteral("Zorvan"));
    QVERIFY(window.Init());
    QVERIFY(ShowStartedWindow(window));
    QTest::mouseClick(window.NaviButton(2), Qt::LeftButton);
    auto* page = dynamic_cast<CMacroDlg*>(window.PageAt(CZorvanDlg::kMacroPage));
    QVERIFY(page);
    std::vector<QString> messages;
    QString target;
    MacroPageDialogs dialogs;
    dialogs.message = [&messages](const QString& text) { messages.push_back(text); };
    dialogs.saveMacroFile = [&target](const QString&) { return target; };
    page->SetDialogs(dialogs);
    // The tree's menu on the macro, then its first entry: export.
    const auto exportTo = [&](const QString& file) {
        target = file;
        CTreeCtrlEx* tree = page->TreeView();
        const QModelIndex burst = page->TreeModel()->IndexOf(page->Tree().FindChild(nullptr, QStringLiteral("Burst")));
        QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, Centre(tree, burst));
        QCOMPARE(page->LastMenu().front().code, int32_t(CMacroDlg::kMenuExport));
        QVERIFY(PickFromOpenMenu(0));
    };

    QTemporaryDir folder;
    exportTo(folder.filePath(QStringLiteral("Burst.qxm")));
    QVERIFY(messages.empty());
    QFile copy(target);
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QFile original(stored);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), original.readAll());

    // A folder nobody may write in: the failure is shown with the file, and logged.
    std::mutex logged;
    QStringList lines;
    SetLogEcho([&](const std::string& line) {
        std::lock_guard lock(logged);
        lines << QString::fromStdString(line);
    });
    exportTo(QStringLiteral("/proc/zorvan-export/Burst.qxm"));
    SetLogEcho({});
    QCOMPARE(messages.size(), size_t(1));
    QVERIFY2(messages[0].startsWith(QStringLiteral("Export failed: /proc/zorvan-export/Burst.qxm cannot be written (")),
             qPrintable(messages[0]));
    QVERIFY(!lines.filter(QStringLiteral("ExportMacro: copy file err=0x")).isEmpty());
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
    QVERIFY(ShowStartedWindow(window));
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
    const QList<uint> expected{uint(kRowPress) << 16 | 0xA1, uint(kRowPress) << 16 | 0x41,
                               uint(kRowRelease) << 16 | 0x41, uint(kRowRelease) << 16 | 0xA1};
    QTRY_COMPARE_WITH_TIMEOUT(KeyRows(page), expected, 5000);
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
