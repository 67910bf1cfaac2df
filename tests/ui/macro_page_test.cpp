// The macro page: recording from key events, inserting and editing events, the loop options,
// saving (file, apply request), the tree commands with their messages and the orphaned-key
// check, refusals while recording; the macro picker and the mouse-move dialog.
#include "app/configuration.h"
#include "app/function_catalogue.h"
#include "macro/macro_file.h"
#include "macro/macro_files.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "text/language_texts.h"
#include "ui/controls/macro_tree_model.h"
#include "ui/controls/png_btn.h"
#include "ui/controls/tree_ctrl_ex.h"
#include "ui/fake_device_port.h"
#include "ui/pages/key_vk.h"
#include "ui/pages/macro_page.h"
#include "ui/pages/move_dlg.h"
#include "ui/pages/pick_macro_dlg.h"
#include "ui/ui_fixture.h"
#include "macro/time_stamp_id.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <cstdlib>
#include <cstring>

using namespace zorvan;
using namespace zorvan::test;

namespace {

constexpr uint32_t kJumpId = 0x020304;

StMacro Jump()
{
    StMacro m = NewEmptyMacro(QStringLiteral("Jump"));
    m.id = kJumpId;
    m.events[0] = {0x20, kActionPress, 40};
    m.events[1] = {0x20, kActionRelease, 0};
    return m;
}

void WriteMacro(const QString& path, const StMacro& macro)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const auto image = EncodeMacroFile(macro);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
}

// A key event as the X11 platform gives it, with the keysym that tells the sides apart.
void SendKey(QWidget* to, QEvent::Type type, int key, quint32 keysym = 0, bool autoRepeat = false)
{
    QKeyEvent event(type, key, Qt::NoModifier, 0, keysym, 0, QString(), autoRepeat);
    QApplication::sendEvent(to, &event);
}

// What the page asked and showed, with the answers the test gives.
struct Answers {
    std::vector<QString> messages;
    std::optional<QString> text;
    std::optional<int> number;
    std::optional<unsigned> key;
    bool confirm = true;
    QString openFile;
    QString saveFile;
};

MacroPageDialogs AnswersFrom(Answers& a)
{
    MacroPageDialogs d;
    d.message = [&a](const QString& text) { a.messages.push_back(text); };
    d.confirm = [&a](const QString&) { return a.confirm; };
    d.askText = [&a](const QString&, int) { return a.text; };
    d.askNumber = [&a](const QString&, int, int, int) { return a.number; };
    d.captureKey = [&a](const QString&) { return a.key; };
    d.editMove = [](int x, int y) { return std::optional<QPoint>(QPoint(x + 1, y - 1)); };
    d.openMacroFile = [&a] { return a.openFile; };
    d.saveMacroFile = [&a](const QString&) { return a.saveFile; };
    return d;
}

}  // namespace

class MacroPageTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void recordingTurnsKeyEventsIntoRows_data();
    void recordingTurnsKeyEventsIntoRows();
    void whileRecordingOtherCommandsAndLeavingAreRefused();
    void savingNormalisesWritesAndAsksForTheKeys();
    void repeatCountIsKeptInRange_data();
    void repeatCountIsKeptInRange();
    void insertingAndEditingEvents();
    void treeMenusOfferWhatTheSpotAllows();
    void newRenameAndDeleteWithTheirMessages();
    void deletingAMacroResetsTheKeysThatUsedIt();
    void aSaveThatCannotBeWrittenKeepsTheEdits();
    void aMacroMergedFromTheMouseJoinsTheTreeUnderItsFileName();
    void pickerReturnsAMacroAndRefusesAFolder();
    void moveDialogKeepsItsBoxesInRange_data();
    void moveDialogKeepsItsBoxesInRange();

private:
    CMacroDlg& Page();
    MacroTreeItem* Item(const QString& text, MacroTreeItem* parent = nullptr);

    std::unique_ptr<UiFixture> fixture_;
    std::unique_ptr<FakeDevicePort> port_;
    std::unique_ptr<PageContext> context_;
    std::unique_ptr<CMacroDlg> page_;
    Answers answers_;
    int macrosChanged_ = 0;
    int64_t now_ = 0;
};

void MacroPageTest::init()
{
    fixture_ = std::make_unique<UiFixture>();
    Macros().Clear();
    ForgetMacroFiles();
    SetTimeStampIdPause(std::chrono::milliseconds(1));
    WriteMacro(MacroFolder() + "/Jump.qxm", Jump());
    WriteMacro(MacroFolder() + "/Games/Reload.qxm", [] {
        StMacro m = NewEmptyMacro(QStringLiteral("Reload"));
        m.id = 0x050607;
        return m;
    }());
    LoadMacroLibrary();
    port_ = std::make_unique<FakeDevicePort>();
    port_->device = &Config().devices[0];
    context_ = std::make_unique<PageContext>(PageContext{*port_, Options(), Texts(), QRect(0, 0, 1024, 530), QFont(),
                                                         {}, {}, {}, {}, [this] { ++macrosChanged_; }});
    answers_ = Answers{};
    macrosChanged_ = 0;
    now_ = 1000;
}

void MacroPageTest::cleanup()
{
    page_.reset();
    context_.reset();
    port_.reset();
    Macros().Clear();
    ForgetMacroFiles();
    SetTimeStampIdPause(std::chrono::milliseconds(20));
    fixture_.reset();
}

CMacroDlg& MacroPageTest::Page()
{
    if (!page_) {
        page_ = std::make_unique<CMacroDlg>(*context_, nullptr);
        page_->SetDialogs(AnswersFrom(answers_));
        page_->SetClock([this] { return now_; });
        page_->show();
    }
    return *page_;
}

MacroTreeItem* MacroPageTest::Item(const QString& text, MacroTreeItem* parent)
{
    return Page().Tree().FindChild(parent, text);
}

void MacroPageTest::recordingTurnsKeyEventsIntoRows_data()
{
    QTest::addColumn<QList<int>>("keys");       // Qt key, negative for a release
    QTest::addColumn<QList<int>>("keysyms");
    QTest::addColumn<QList<int>>("repeats");    // 1: an auto-repeat event
    QTest::addColumn<QList<int>>("times");
    QTest::addColumn<QList<uint>>("expected");  // kind << 16 | value
    const auto row = [](int kind, uint value) { return uint(kind) << 16 | value; };
    QTest::newRow("A held: one press, one release")
        << QList<int>{Qt::Key_A, Qt::Key_A, Qt::Key_A, -Qt::Key_A} << QList<int>{0, 0, 0, 0}
        << QList<int>{0, 1, 1, 0} << QList<int>{0, 30, 60, 100}
        << QList<uint>{row(kRowPress, 0x41), row(kRowDelay, 100), row(kRowRelease, 0x41)};
    QTest::newRow("right shift is 0xA1, left shift 0x10")
        << QList<int>{Qt::Key_Shift, -Qt::Key_Shift, Qt::Key_Shift} << QList<int>{0xFFE2, 0xFFE2, 0xFFE1}
        << QList<int>{0, 0, 0} << QList<int>{0, 20, 40}
        << QList<uint>{row(kRowPress, 0xA1), row(kRowDelay, 20), row(kRowRelease, 0xA1), row(kRowDelay, 20),
                       row(kRowPress, 0x10)};
    QTest::newRow("the same millisecond: no delay")
        << QList<int>{Qt::Key_A, Qt::Key_B} << QList<int>{0, 0} << QList<int>{0, 0} << QList<int>{7, 7}
        << QList<uint>{row(kRowPress, 0x41), row(kRowPress, 0x42)};
}

void MacroPageTest::recordingTurnsKeyEventsIntoRows()
{
    QFETCH(QList<int>, keys);
    QFETCH(QList<int>, keysyms);
    QFETCH(QList<int>, repeats);
    QFETCH(QList<int>, times);
    QFETCH(QList<uint>, expected);
    CMacroDlg& page = Page();
    page.SelectTreeItem(Item("Jump"));
    page.OnRecord();
    QVERIFY(page.Recording());
    QVERIFY(page.Rows().empty());
    for (int i = 0; i < keys.size(); ++i) {
        now_ = 1000 + times[i];
        SendKey(&page, keys[i] < 0 ? QEvent::KeyRelease : QEvent::KeyPress, std::abs(keys[i]), quint32(keysyms[i]),
                repeats[i] != 0);
    }
    QList<uint> rows;
    for (const EventRow& r : page.Rows())
        rows.append(uint(r.kind) << 16 | r.value);
    QCOMPARE(rows, expected);
    page.OnRecord();
    QVERIFY(!page.Recording());
    QVERIFY(page.SaveVisible());
}

void MacroPageTest::whileRecordingOtherCommandsAndLeavingAreRefused()
{
    CMacroDlg& page = Page();
    page.OnRecord();
    QCOMPARE(answers_.messages, std::vector<QString>{GetText("tc_macro_msg1")});
    QVERIFY(!page.Recording());

    answers_.messages.clear();
    page.SelectTreeItem(Item("Jump"));
    page.OnRecord();
    const std::function<void()> refused[] = {
        [&] { QVERIFY(!page.CanLeave()); }, [&] { page.OnNewMacro(); },       [&] { page.OnDeleteItem(); },
        [&] { page.OnSave(); },             [&] { page.OnModifyEvent(); },    [&] { page.OnDelayBox(); },
        [&] { page.OnLoopMode(1); },        [&] { page.RunMenuCommand(CMacroDlg::kMenuRename); },
    };
    for (const auto& command : refused)
        command();
    QCOMPARE(answers_.messages, std::vector<QString>(std::size(refused), GetText("tc_macro_msg17")));
    QVERIFY(page.DelayBox()->isChecked());
    QVERIFY(page.LoopRadio(kLoopCount)->isChecked());
    // The tree ignores the mouse; inserting is allowed.
    QVERIFY(!page.TreeView()->MouseEnabled());
    answers_.messages.clear();
    answers_.key = 0x42;
    page.Insert(CMacroDlg::kInsertPress);
    QCOMPARE(page.Rows().size(), size_t(1));
    QVERIFY(answers_.messages.empty());
    // Clicks are no events of the macro: the page's surface takes none, the tree's menu and
    // the page's buttons are refused.
    QTest::mouseClick(&page, Qt::LeftButton, {}, QPoint(20, 500));
    QTest::mouseClick(page.TreeView()->viewport(), Qt::RightButton, {}, QPoint(20, 5));
    QTest::mouseClick(page.DelayBox(), Qt::LeftButton);
    QCOMPARE(answers_.messages, std::vector<QString>(2, GetText("tc_macro_msg17")));
    QCOMPARE(page.Rows().size(), size_t(1));
    page.OnRecord();
    QVERIFY(page.CanLeave());
}

void MacroPageTest::savingNormalisesWritesAndAsksForTheKeys()
{
    port_->profile->Key[0][2] = KeyAssignment{kFunMacro, 3, kJumpId, {}, 0, 0};
    CMacroDlg& page = Page();
    page.SelectTreeItem(Item("Jump"));
    QCOMPARE(page.Rows(), (EventRows{{kRowPress, 0x20}, {kRowDelay, 40}, {kRowRelease, 0x20}}));
    QVERIFY(!page.SaveVisible());
    // press A, 10, 20, 30 ms, release A, built by inserting at the end.
    page.SelectEventRow(-1);
    page.OnDeleteEvent();
    while (!page.Rows().empty()) {
        page.SelectEventRow(0);
        page.OnDeleteEvent();
    }
    answers_.key = 0x41;
    page.Insert(CMacroDlg::kInsertPress);
    for (int ms : {10, 20, 30}) {
        answers_.number = ms;
        page.Insert(CMacroDlg::kInsertDelay);
    }
    page.Insert(CMacroDlg::kInsertRelease);
    QVERIFY(page.SaveVisible());
    page.OnSave();
    QVERIFY(!page.SaveVisible());
    const std::optional<StMacro> file = ReadMacroFile(MacroFolder() + "/Jump.qxm");
    QVERIFY(file);
    QCOMPARE(MacroEventCount(*file), 2);
    const MacroEvent press = file->events[0];
    QCOMPARE(int(press.code), 0x41);
    QCOMPARE(int(press.delay), 30);
    QCOMPARE(Macros().FindById(kJumpId)->flags, 0u);
    QCOMPARE(port_->posted.size(), size_t(1));
    QCOMPARE(port_->posted[0].flags, apply::kKeys);
    QCOMPARE(port_->posted[0].data, apply::kAll);
}

void MacroPageTest::repeatCountIsKeptInRange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("changed");
    QTest::newRow("300") << "300" << "250" << true;
    QTest::newRow("0") << "0" << "1" << true;
    QTest::newRow("12") << "12" << "12" << true;
    QTest::newRow("cleared") << "" << "" << false;
}

void MacroPageTest::repeatCountIsKeptInRange()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, changed);
    CMacroDlg& page = Page();
    page.SelectTreeItem(Item("Jump"));
    page.RepeatEdit()->selectAll();
    if (typed.isEmpty())
        QTest::keyClick(page.RepeatEdit(), Qt::Key_Backspace);
    else
        QTest::keyClicks(page.RepeatEdit(), typed);
    QCOMPARE(page.RepeatEdit()->text(), shown);
    QCOMPARE(page.SaveVisible(), changed);
}

void MacroPageTest::insertingAndEditingEvents()
{
    CMacroDlg& page = Page();
    page.Insert(CMacroDlg::kInsertPress);
    QCOMPARE(answers_.messages, std::vector<QString>{GetText("tc_macro_msg1")});
    page.SelectTreeItem(Item("Jump"));
    // Without a selection a key goes to the end, without 50 ms.
    answers_.key = 0x41;
    page.SelectEventRow(-1);
    page.Insert(CMacroDlg::kInsertPress);
    QCOMPARE(page.Rows().back(), (EventRow{kRowPress, 0x41}));
    QCOMPARE(page.Rows().size(), size_t(4));
    // With the first row selected (InsertBefore=1): 50 ms and the key before it.
    page.SelectEventRow(0);
    page.Insert(CMacroDlg::kInsertRelease);
    QCOMPARE(page.Rows()[0], (EventRow{kRowDelay, 50}));
    QCOMPARE(page.Rows()[1], (EventRow{kRowRelease, 0x41}));
    // A delay typed below MinDelay is raised to it; a cancelled dialog changes nothing.
    page.SelectEventRow(0);
    answers_.number = 3;
    page.OnModifyEvent();
    QCOMPARE(page.Rows()[0].value, uint32_t(Options().MinDelay));
    answers_.number.reset();
    page.OnModifyEvent();
    QCOMPARE(page.Rows()[0].value, uint32_t(Options().MinDelay));
    // 69 rows and a click: accepted, 71 events listed.
    while (!page.Rows().empty()) {
        page.SelectEventRow(0);
        page.OnDeleteEvent();
    }
    page.SelectEventRow(-1);
    for (int i = 0; i < 69; ++i)
        page.Insert(CMacroDlg::kInsertPress);
    answers_.messages.clear();
    page.Insert(kMouseLeft);
    QCOMPARE(CountedEvents(page.Rows()), 71);
    page.Insert(kMouseLeft);
    QCOMPARE(answers_.messages, std::vector<QString>{GetText("tc_macro_msg18")});
}

void MacroPageTest::treeMenusOfferWhatTheSpotAllows()
{
    CMacroDlg& page = Page();
    const auto ids = [&page] {
        QList<int> list;
        for (const MenuEntry& e : page.LastMenu())
            list.append(e.code);
        return list;
    };
    page.ShowTreeMenu({}, QPoint(10, 10));
    QCOMPARE(ids(), (QList<int>{CMacroDlg::kMenuNew, CMacroDlg::kMenuImport}));
    page.ShowTreeMenu(page.TreeModel()->IndexOf(Item("Games")), QPoint(10, 10));
    QCOMPARE(ids(), (QList<int>{CMacroDlg::kMenuNew, CMacroDlg::kMenuRename, CMacroDlg::kMenuDelete,
                                CMacroDlg::kMenuImport}));
    page.ShowTreeMenu(page.TreeModel()->IndexOf(Item("Jump")), QPoint(10, 10));
    QCOMPARE(ids(), (QList<int>{CMacroDlg::kMenuExport, CMacroDlg::kMenuRename, CMacroDlg::kMenuDelete}));
    CMenuDlg::CloseOpen();
}

void MacroPageTest::newRenameAndDeleteWithTheirMessages()
{
    CMacroDlg& page = Page();
    // A new macro under the selected folder, dirty until saved.
    page.SelectTreeItem(Item("Games"));
    answers_.text = QStringLiteral("Burst.v2");
    page.OnNewMacro();
    MacroTreeItem* burst = Item("Burst", Item("Games"));
    QVERIFY(burst);
    QCOMPARE(page.CurrentMacro(), std::optional<uint32_t>(burst->macroId));
    QVERIFY(page.SaveVisible());
    page.OnSave();
    QVERIFY(QFileInfo::exists(MacroFolder() + "/Games/Burst.qxm"));
    // Refused names and a name in use.
    for (const char* typed : {"my-macro", "50%"}) {
        answers_.text = QString::fromLatin1(typed);
        page.RunMenuCommand(CMacroDlg::kMenuRename);
    }
    answers_.text = QStringLiteral("reload");
    page.RunMenuCommand(CMacroDlg::kMenuRename);
    QCOMPARE(answers_.messages, (std::vector<QString>{GetText("tc_tip1"), GetText("tc_tip1"), GetText("tc_macro_msg8")}));
    QCOMPARE(macrosChanged_, 0);
    answers_.text = QStringLiteral("Spray");
    page.RunMenuCommand(CMacroDlg::kMenuRename);
    QVERIFY(QFileInfo::exists(MacroFolder() + "/Games/Spray.qxm"));
    QCOMPARE(macrosChanged_, 1);
    // Deleting the folder takes everything below it; "no" keeps it.
    page.SelectTreeItem(Item("Games"));
    answers_.confirm = false;
    page.RunMenuCommand(CMacroDlg::kMenuDelete);
    QVERIFY(Item("Games"));
    answers_.confirm = true;
    page.RunMenuCommand(CMacroDlg::kMenuDelete);
    QVERIFY(!Item("Games"));
    QVERIFY(!QFileInfo::exists(MacroFolder() + "/Games"));
    QVERIFY(!Macros().Contains(0x050607));
    QTRY_COMPARE(macrosChanged_, 2);
    // The tree's delete button with nothing selected.
    answers_.messages.clear();
    page.SelectTreeItem(nullptr);
    page.OnDeleteItem();
    QCOMPARE(answers_.messages, std::vector<QString>{GetText("tc_macro_msg1")});
}

void MacroPageTest::deletingAMacroResetsTheKeysThatUsedIt()
{
    const KeyAssignment macroKey{kFunMacro, 3, kJumpId, {}, 0, 0};
    port_->profile->Key[0][2] = macroKey;
    CMacroDlg& page = Page();
    page.SelectTreeItem(Item("Jump"));
    page.RunMenuCommand(CMacroDlg::kMenuDelete);
    QVERIFY(!Macros().Contains(kJumpId));
    QCOMPARE(port_->profile->Key[0][2], port_->device->KeyTables[0][2]);
    // The reset is a correction; the window has the keys written once it hears of the change.
    QVERIFY(port_->posted.empty());
    QCOMPARE(macrosChanged_, 1);
}

void MacroPageTest::aSaveThatCannotBeWrittenKeepsTheEdits()
{
    CMacroDlg& page = Page();
    page.SelectTreeItem(Item("Jump"));
    answers_.key = 0x43;
    page.Insert(CMacroDlg::kInsertPress);
    // A folder in the way of the file.
    QVERIFY(QFile::remove(MacroFolder() + "/Jump.qxm"));
    QVERIFY(QDir().mkpath(MacroFolder() + "/Jump.qxm"));
    page.OnSave();
    QCOMPARE(answers_.messages, std::vector<QString>{QStringLiteral("Write macro file failed.")});
    QVERIFY(page.SaveVisible());
    QVERIFY(Macros().FindById(kJumpId)->flags & kMacroEventsChanged);
    QCOMPARE(page.Rows().back(), (EventRow{kRowPress, 0x43}));
}

void MacroPageTest::aMacroMergedFromTheMouseJoinsTheTreeUnderItsFileName()
{
    CMacroDlg& page = Page();
    // A profile read merges a macro named like one the folder holds: it gets a file of its own.
    StMacro fromMouse = Jump();
    fromMouse.id = 0x0F0F0F;
    fromMouse.events[0].delay = 90;
    QVERIFY(Add_Macro(fromMouse));
    page.RefreshFromProfile();
    MacroTreeItem* merged = page.Tree().FindMacro(0x0F0F0F);
    QVERIFY(merged);
    QCOMPARE(merged->text, QStringLiteral("Jump (2)"));
    QCOMPARE(TreeItem_To_FilePath(merged), MacroFolder() + "/Jump (2).qxm");
    QVERIFY(ReadMacroFile(TreeItem_To_FilePath(merged)));
}

void MacroPageTest::pickerReturnsAMacroAndRefusesAFolder()
{
    CPickMacroDlg picker(nullptr, *context_);
    QVERIFY(picker.Loaded());
    CTreeCtrlEx* tree = picker.Tree();
    const QModelIndex games = tree->FindTopLevel(QStringLiteral("Games"));
    QVERIFY(games.isValid());
    tree->SelectItem(games);
    picker.OnOk();
    QCOMPARE(picker.Result(), std::optional<int>());
    QCOMPARE(fixture_->Messages().size(), size_t(1));
    QCOMPARE(fixture_->Messages()[0].caption, QStringLiteral("Tips"));
    QCOMPARE(fixture_->Messages()[0].text, GetText("tc_macro_msg1"));
    tree->SelectItem(tree->FindTopLevel(QStringLiteral("Jump")));
    picker.OnOk();
    QCOMPARE(picker.Result(), std::optional<int>(int(kJumpId)));
    QCOMPARE(picker.result(), int(QDialog::Accepted));
}

void MacroPageTest::moveDialogKeepsItsBoxesInRange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("12a3") << "12a3" << "12";
    QTest::newRow("-200") << "-200" << "-127";
    QTest::newRow("200") << "200" << "127";
    QTest::newRow("-5") << "-5" << "-5";
}

void MacroPageTest::moveDialogKeepsItsBoxesInRange()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QCOMPARE(MoveBoxText(typed), kept);
    CMoveDlg dialog(nullptr, 0, 9);
    QVERIFY(dialog.Loaded());
    QCOMPARE(dialog.XBox()->text(), QString());
    QCOMPARE(dialog.YBox()->text(), QStringLiteral("9"));
    dialog.XBox()->insert(typed);  // typed or pasted at once
    QCOMPARE(dialog.XBox()->text(), kept);
    QTest::keyClick(&dialog, Qt::Key_Return);
    QCOMPARE(dialog.Result(), QPoint(kept.toInt(), 9));
}

QTEST_MAIN(MacroPageTest)
#include "macro_page_test.moc"
