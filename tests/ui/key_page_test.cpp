// The key assignment page against a session the test steers: keys by the model, the function
// menu and where it opens, picks through the editing path (guard, key-set switch, details
// dialogs), the fire key dialog, the debounce control, the profile selector, and what a bad
// configuration or profile does to it.
#include "app/configuration.h"
#include "app/value_ranges.h"
#include "macro/macro_library.h"
#include "profile/function_name.h"
#include "profile/profile_defaults.h"
#include "skin/display_scale.h"
#include "text/language_texts.h"
#include "ui/controls/combo_btn.h"
#include "ui/controls/png_btn.h"
#include "ui/fake_device_port.h"
#include "ui/pages/debounce_dlg.h"
#include "ui/pages/firekey_dlg.h"
#include "ui/pages/key_dlg.h"
#include "ui/pages/key_mark_dlg.h"
#include "ui/pages/key_menu_popup.h"
#include "ui/pages/menu_dlg.h"
#include "ui/pages/msg_dlg.h"
#include "ui/ui_fixture.h"

#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

using namespace zorvan;
using namespace zorvan::test;

namespace {

constexpr uint32_t kMiddle = 0x01000012;
constexpr uint32_t kVolumeUp = 0x04000026;
constexpr uint32_t kKeySetSwitch = 0x080000AB;

// Runs `act` on the next modal dialog of type T once it is open.
template <typename T>
void WhenOpen(const std::function<void(T*)>& act)
{
    QTimer::singleShot(30, [act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget()))
            act(dialog);
        else
            WhenOpen<T>(act);
    });
}

CPngBtn* ButtonWithText(QWidget* in, const QString& text)
{
    for (CPngBtn* button : in->findChildren<CPngBtn*>()) {
        if (button->Text() == text)
            return button;
    }
    return nullptr;
}

// The pointer at `local` of the first-level list `menu`: moved there, or released there.
void PointerAt(CMenuDlg* menu, const QPoint& local, QEvent::Type type = QEvent::MouseMove)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, menu->mapToGlobal(local), button,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(menu, &event);
}

// Processes what the session hands back later (its results come queued).
void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

}  // namespace

Q_DECLARE_METATYPE(std::vector<int32_t>)

class KeyPageTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void keysFollowTheModel_data();
    void keysFollowTheModel();
    void hoverMarkingLooksOnlyAfterThePointerCrossesAKey();
    void keyPlacesDoubleInFourKButNotTheGap();
    void fourKDoublesThePage();
    void menuPlaceWidensAndOpensUpwards_data();
    void menuPlaceWidensAndOpensUpwards();
    void menuRowsFollowTheModel_data();
    void menuRowsFollowTheModel();
    void theMenuOfAKey();
    void debounceTipStandsAboveTheControl();
    void leftClickGuard_data();
    void leftClickGuard();
    void keySetSwitchStaysInAllSetsAndIsResetAway();
    void picksBecomeAssignments_data();
    void picksBecomeAssignments();
    void combinationThroughTheCapture();
    void fireDialogRules_data();
    void fireDialogRules();
    void macroWithoutMacrosLeadsToTheMacroPage();
    void debounceControl_data();
    void debounceControl();
    void profileSelectorSwitchesTheMouse();
    void commandButtonsCallTheWindow();
    void unknownCodesAreRepairedWithoutWriting();
    void missingMousePictureIsToldOnce();
    void outOfRangeConfigurationIsSurvived();

private:
    CKeyDlg& Page();
    void MakeProfileCurrent();

    std::unique_ptr<UiFixture> fixture_;
    std::unique_ptr<FakeDevicePort> port_;
    std::unique_ptr<PageContext> context_;
    std::unique_ptr<CKeyDlg> page_;
    std::vector<int> switchedTo_;
    int restores_ = 0, exports_ = 0, imports_ = 0;
};

void KeyPageTest::init()
{
    fixture_ = std::make_unique<UiFixture>();
    SharedCaptureMemory() = CaptureMemory{};
    Macros().Clear();
    CMenuDlg::LoadPictures();
    Config().opt.ApplyNow = 1;
    port_ = std::make_unique<FakeDevicePort>();
    port_->device = Config().CurrentDevice();
    MakeProfileCurrent();
    switchedTo_.clear();
    restores_ = exports_ = imports_ = 0;
    context_ = std::make_unique<PageContext>(PageContext{
        *port_, Options(), Texts(), QRect(0, 0, 1000, 520), QFont(), [this](int page) { switchedTo_.push_back(page); },
        [this] { ++restores_; }, [this] { ++exports_; }, [this] { ++imports_; }, [] {}});
}

void KeyPageTest::cleanup()
{
    CMenuDlg::CloseOpen();
    CMenuDlg::ReleasePictures();
    page_.reset();
    context_.reset();
    port_.reset();
    Macros().Clear();
    fixture_.reset();
}

void KeyPageTest::MakeProfileCurrent()
{
    port_->profile = MakeNewProfile(u"Test");
}

CKeyDlg& KeyPageTest::Page()
{
    if (!page_) {
        page_ = std::make_unique<CKeyDlg>(*context_, nullptr);
        page_->LayoutForDevice();
        page_->RefreshFromProfile();
    }
    return *page_;
}

void KeyPageTest::keysFollowTheModel_data()
{
    QTest::addColumn<int>("keyCount");
    QTest::addColumn<int>("keyMask");
    QTest::newRow("KM 16: eight keys") << 8 << 0;
    QTest::newRow("sixteen keys") << 16 << 0;
    QTest::newRow("three keys, key 2 masked") << 3 << 0x2;
}

void KeyPageTest::keysFollowTheModel()
{
    QFETCH(int, keyCount);
    QFETCH(int, keyMask);
    Config().devices[0].KeyCount = keyCount;
    Config().opt.KeyMask = keyMask;
    CKeyDlg& page = Page();
    page.show();
    for (int i = 0; i < CKeyDlg::kKeys; ++i) {
        const bool shown = i < keyCount;
        QCOMPARE(page.KeyButton(i)->isVisible(), shown);
        QCOMPARE(page.KeyNumberShown(i), shown);
        QCOMPARE(page.MarkPanel()->MarkShown(i), shown && !Config().devices[0].KeyMarks[size_t(i)].IsEmpty());
        // The hover marking finds shown keys only.
        page.MarkKeyUnder(page.KeyButton(i)->mapToGlobal(page.KeyButton(i)->rect().center()));
        QCOMPARE(page.MarkPanel()->Highlighted(), page.MarkPanel()->MarkShown(i) ? i : -1);
    }
    page.MarkKeyUnder(page.mapToGlobal(QPoint(2, 2)));
    QCOMPARE(page.MarkPanel()->Highlighted(), -1);
    // A masked key opens no menu.
    for (int i = 0; i < keyCount; ++i) {
        QTest::mouseClick(page.KeyButton(i), Qt::LeftButton);
        QCOMPARE(CMenuDlg::Current() != nullptr, (keyMask & (1 << i)) == 0);
        CMenuDlg::CloseOpen();
    }
}

void KeyPageTest::keyPlacesDoubleInFourKButNotTheGap()
{
    QCOMPARE(CKeyDlg::KeyButtonRect(3, 72, 77, 10, false), QRect(72, 77 + 3 * 29, 222, 19));
    QCOMPARE(CKeyDlg::KeyButtonRect(3, 72, 77, 10, true), QRect(144, 154 + 3 * 48, 444, 38));
    QCOMPARE(CKeyDlg::KeyNumberRect(QRect(72, 77, 222, 19), false), QRect(46, 77, 18, 18));
    QCOMPARE(CKeyDlg::KeyNumberRect(QRect(144, 154, 444, 38), true), QRect(92, 154, 36, 36));
}

void KeyPageTest::fourKDoublesThePage()
{
    SetFourK(true);
    const DeviceDescription& device = *port_->device;
    CKeyDlg& page = Page();
    const Point key = Options().ptKey;
    QCOMPARE(page.KeyButton(2)->geometry(), CKeyDlg::KeyButtonRect(2, key.x, key.y, device.KeyHeight, true));
    QCOMPARE(page.Debounce()->geometry(), QRect(90, 894, 340, 60));
    QCOMPARE(page.MarkPanel()->pos(), QPoint(2 * device.MarkPoint.x, 2 * device.MarkPoint.y));
    QCOMPARE(page.RestoreButton()->geometry(), QRect(1414, 946, 222, 54));
    SetFourK(false);
}

void KeyPageTest::menuPlaceWidensAndOpensUpwards_data()
{
    QTest::addColumn<QRect>("button");
    QTest::addColumn<int>("menuW");
    QTest::addColumn<int>("workAreaBottom");
    QTest::addColumn<QPoint>("topLeft");
    QTest::addColumn<int>("width");
    const QRect b(100, 200, 150, 19);
    QTest::newRow("MenuW 0") << b << 0 << 1000 << QPoint(100, 219) << 146;
    QTest::newRow("MenuW 200 widens by 25 each side") << b << 200 << 1000 << QPoint(75, 219) << 196;
    QTest::newRow("MenuW 201: half the difference") << b << 201 << 1000 << QPoint(75, 219) << 196;
    QTest::newRow("MenuW narrower than the button") << b << 100 << 1000 << QPoint(100, 219) << 146;
    QTest::newRow("no room below: upwards") << b << 0 << 478 << QPoint(100, -60) << 146;
    QTest::newRow("just room below") << b << 0 << 479 << QPoint(100, 219) << 146;
}

void KeyPageTest::menuPlaceWidensAndOpensUpwards()
{
    QFETCH(QRect, button);
    QFETCH(int, menuW);
    QFETCH(int, workAreaBottom);
    QFETCH(QPoint, topLeft);
    QFETCH(int, width);
    const MenuPlace place = KeyMenuPlace(button, menuW, 13 * 20, workAreaBottom);
    QCOMPARE(place.topLeft, topLeft);
    QCOMPARE(place.width, width);
}

void KeyPageTest::menuRowsFollowTheModel_data()
{
    using Codes = std::vector<int32_t>;
    QTest::addColumn<int>("exKey1");
    QTest::addColumn<int>("exKey2");
    QTest::addColumn<int>("dpiMenuMask");
    QTest::addColumn<Codes>("present");  // first-level rows
    QTest::addColumn<Codes>("absent");
    QTest::addColumn<Codes>("dpiGroup");
    QTest::newRow("extra keys stop at the first zero") << 0 << 5 << 7 << Codes{} << Codes{0x0B000000, 0x0B000001}
                                                       << Codes{0x080000A8, 0x080000A9, 0x080000AA};
    QTest::newRow("one extra key") << 5 << 0 << 7 << Codes{0x0B000000} << Codes{0x0B000001}
                                   << Codes{0x080000A8, 0x080000A9, 0x080000AA};
    QTest::newRow("DpiMenuMask 2: DPI down alone") << 0 << 0 << 2 << Codes{0x08000000} << Codes{} << Codes{0x080000A9};
    QTest::newRow("DpiMenuMask 0: no DPI row") << 0 << 0 << 0 << Codes{} << Codes{0x08000000} << Codes{};
}

void KeyPageTest::menuRowsFollowTheModel()
{
    using Codes = std::vector<int32_t>;
    QFETCH(int, exKey1);
    QFETCH(int, exKey2);
    QFETCH(int, dpiMenuMask);
    QFETCH(Codes, present);
    QFETCH(Codes, absent);
    QFETCH(Codes, dpiGroup);
    DeviceDescription& device = Config().devices[0];
    device.ExKeys = {exKey1, exKey2, 0};
    device.DpiMenuMask = dpiMenuMask;
    // A sensor table 50, 100, 150, ...: the snipe values 100..1100 sit at positions 1, 3, 5, ...
    SensorDpiTable* table = Config().sensors.Find(device.Sensor);
    QVERIFY(table);
    table->Count = 40;
    for (int i = 0; i < 40; ++i)
        table->Values[size_t(i)] = uint16_t(50 * (i + 1));
    const auto rows = KeyMenuForPopup(KeyMenuEntries(device, Options(), Config().sensors));
    const auto row = [&rows](int32_t code) {
        return std::find_if(rows.begin(), rows.end(), [code](const MenuEntry& e) { return e.code == code; });
    };
    for (const int32_t code : present)
        QVERIFY(row(code) != rows.end());
    for (const int32_t code : absent)
        QVERIFY(row(code) == rows.end());
    if (!dpiGroup.empty()) {
        Codes codes;
        for (const MenuEntry& e : row(0x08000000)->group)
            codes.push_back(e.code);
        QCOMPARE(codes, dpiGroup);
    }
    const auto snipe = row(0x080000A6);
    QVERIFY(snipe != rows.end() && snipe->group.size() == 11);
    QCOMPARE(snipe->group[0].code, 0x080001A6);
    QCOMPARE(snipe->group[0].text, QStringLiteral("100"));
    QCOMPARE(snipe->group[1].code, 0x080003A6);
    QVERIFY(rows.size() <= size_t(kMenuEntriesMax));

    // A table without any of the values leaves the snipe row out: it would pick the group's
    // own code.
    for (int i = 0; i < 40; ++i)
        table->Values[size_t(i)] = uint16_t(12000 + i);
    const auto withoutSnipe = KeyMenuForPopup(KeyMenuEntries(device, Options(), Config().sensors));
    QVERIFY(std::none_of(withoutSnipe.begin(), withoutSnipe.end(), [](const MenuEntry& e) { return e.code == 0x080000A6; }));
    QCOMPARE(withoutSnipe.size(), rows.size() - 1);
}

void KeyPageTest::debounceTipStandsAboveTheControl()
{
    Config().devices[0].ShowDebounce = 1;
    const auto tipArea = [this](int tip) {
        Config().opt.TipForDebounce = tip;
        page_.reset();
        CKeyDlg& page = Page();
        QImage image(page.size(), QImage::Format_ARGB32_Premultiplied);
        page.render(&image);
        return image.copy(QRect(45, 300, 250, 147));
    };
    const QImage without = tipArea(4);
    const QImage with = tipArea(300);
    QVERIFY(with != without);
}

void KeyPageTest::theMenuOfAKey()
{
    Config().opt.MenuW = 300;
    CKeyDlg& page = Page();
    page.show();
    CPngBtn* key = page.KeyButton(1);
    QTest::mouseClick(key, Qt::LeftButton);
    CMenuDlg* menu = CMenuDlg::Current();
    QVERIFY(menu);
    // Widened to MenuW around the button.
    QCOMPARE(menu->width(), 300 - 4);
    QCOMPARE(menu->x(), key->mapToGlobal(QPoint(0, 0)).x() - 39);
    // The rows of the catalogue, group rows last with their entries; the media group holds 17
    // or 18 entries (the application key "stop" only while its text is set).
    const auto rows = KeyMenuForPopup(KeyMenuEntries(*port_->device, Options(), Config().sensors));
    QCOMPARE(menu->RowCount(), int(rows.size()));
    int mediaRow = -1;
    for (int r = 0; r < menu->RowCount(); ++r) {
        if (rows[size_t(r)].code == 0x04000000)
            mediaRow = r;
    }
    QVERIFY(mediaRow >= 0);
    QVERIFY(menu->IsGroupRow(mediaRow));
    const int mediaEntries = int(rows[size_t(mediaRow)].group.size());
    QCOMPARE(mediaEntries, GetText("tc_kbmedia_stop").isEmpty() ? 17 : 18);
    // Hovering the media row opens its second level beside it, its last row level with it.
    PointerAt(menu, menu->RowRect(mediaRow).center());
    CMenuDlg* second = menu->SecondLevel();
    QVERIFY(second);
    QCOMPARE(menu->accessibleName(), key->accessibleName());
    QCOMPARE(menu->accessibleDescription(), rows[size_t(mediaRow)].text);
    QCOMPARE(second->RowCount(), mediaEntries);
    QCOMPARE(second->x(), menu->x() + menu->width());
    QCOMPARE(second->mapToGlobal(second->RowRect(mediaEntries - 1).topLeft()).y(),
             menu->mapToGlobal(menu->RowRect(mediaRow).topLeft()).y());
    // Releasing over the group row picks nothing; a pick in the second level reaches the page
    // for the key the menu was opened for.
    PointerAt(menu, menu->RowRect(mediaRow).center(), QEvent::MouseButtonRelease);
    Settle();
    QVERIFY(port_->posted.empty());
    const QPoint volumeUp = second->mapToGlobal(second->RowRect(6).center());
    PointerAt(menu, menu->mapFromGlobal(volumeUp));
    QCOMPARE(second->HoverRow(), 6);
    PointerAt(menu, menu->mapFromGlobal(volumeUp), QEvent::MouseButtonRelease);
    Settle();
    QCOMPARE(port_->profile->Key[0][1].dwFunID, kVolumeUp);
    QCOMPARE(port_->posted.size(), size_t(1));
    QCOMPARE(port_->posted[0].data, 1u);
    QCOMPARE(page.KeyButton(1)->Text(), GetText("tc_vol_up"));
    QVERIFY(!CMenuDlg::Current());
}

void KeyPageTest::leftClickGuard_data()
{
    QTest::addColumn<bool>("secondLeftClick");
    QTest::addColumn<int>("applyNow");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("requests");
    QTest::newRow("the only left click") << false << 1 << false << 0;
    QTest::newRow("another left click exists") << true << 1 << true << 1;
    QTest::newRow("another left click, ApplyNow 0") << true << 0 << true << 0;
}

void KeyPageTest::leftClickGuard()
{
    QFETCH(bool, secondLeftClick);
    QFETCH(int, applyNow);
    QFETCH(bool, changed);
    QFETCH(int, requests);
    Config().opt.ApplyNow = applyNow;
    if (secondLeftClick)
        port_->profile->Key[0][4].dwFunID = kFunLeftClick;
    const KeyAssignment before = port_->profile->Key[0][0];
    CKeyDlg& page = Page();
    page.OnFunctionPicked(0, kMiddle);
    Settle();
    QCOMPARE(port_->profile->Key[0][0].dwFunID, changed ? kMiddle : before.dwFunID);
    QCOMPARE(int(port_->posted.size()), requests);
    if (requests > 0)
        QCOMPARE(port_->posted[0].flags, apply::kKeys);
    const auto messages = fixture_->Messages();
    QCOMPARE(messages.size(), size_t(changed ? 0 : 1));
    if (!changed)
        QCOMPARE(messages[0].text, GetText("tc_msg1"));
}

void KeyPageTest::keySetSwitchStaysInAllSetsAndIsResetAway()
{
    CKeyDlg& page = Page();
    KeyAssignment switchKey{};
    switchKey.dwFunID = kKeySetSwitch;
    page.AssignRecord(3, switchKey);
    Settle();
    for (int s = 0; s < kKeySets; ++s)
        QCOMPARE(port_->profile->Key[s][3].dwFunID, kKeySetSwitch);
    port_->profile->currentKeySet = 1;
    page.OnFunctionPicked(3, kMiddle);
    Settle();
    QCOMPARE(port_->profile->Key[0][3], Config().defaultKeys[0][3]);
    QCOMPARE(port_->profile->Key[1][3].dwFunID, kMiddle);
    QCOMPARE(port_->profile->Key[2][3], Config().defaultKeys[2][3]);
    QCOMPARE(port_->posted.size(), size_t(2));
}

void KeyPageTest::picksBecomeAssignments_data()
{
    QTest::addColumn<uint32_t>("code");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<uint32_t>("dwFunID");
    QTest::addColumn<uint32_t>("dwParameter");
    QTest::addColumn<QString>("message");
    const int position = Config().sensors.DpiIndex(Config().devices[0].Sensor, 400);
    QTest::newRow("volume up") << kVolumeUp << true << kVolumeUp << 0u << QString();
    QTest::newRow("snipe 400") << uint32_t(0x080000A6 + 256 * position) << true << 0x080000A6u << uint32_t(position)
                               << QString();
    QTest::newRow("DPI up") << 0x080000A8u << true << 0x080000A8u << 0u << QString();
    QTest::newRow("extra key the model lacks") << 0x0B000001u << true << 0u << 0u
                                               << QStringLiteral("Wrong Ex Key Index");
    QTest::newRow("settings-change check refuses") << kVolumeUp << false << 0u << 0u << QString();
}

void KeyPageTest::picksBecomeAssignments()
{
    QFETCH(uint32_t, code);
    QFETCH(bool, allowed);
    QFETCH(uint32_t, dwFunID);
    QFETCH(uint32_t, dwParameter);
    QFETCH(QString, message);
    Config().devices[0].ExKeys = {0x1234, 0, 0};
    port_->allowChanges = allowed;
    const ProfileRecord before = *port_->profile;
    CKeyDlg& page = Page();
    page.OnFunctionPicked(2, code);
    Settle();
    if (dwFunID == 0) {
        QCOMPARE(port_->profile->Key[0][2], before.Key[0][2]);
        QVERIFY(port_->posted.empty());
    } else {
        QCOMPARE(port_->profile->Key[0][2].dwFunID, dwFunID);
        QCOMPARE(port_->profile->Key[0][2].dwParameter, dwParameter);
        QCOMPARE(port_->profile->Key[0][2].matrix, Config().defaultKeys[0][2].matrix);
        QCOMPARE(port_->posted.size(), size_t(1));
    }
    const auto messages = fixture_->Messages();
    QCOMPARE(messages.size(), size_t(message.isEmpty() ? 0 : 1));
    if (!message.isEmpty())
        QCOMPARE(messages[0].text, message);
}

void KeyPageTest::combinationThroughTheCapture()
{
    CKeyDlg& page = Page();
    // Cancelled: nothing changes.
    WhenOpen<CMsgDlg>([](CMsgDlg* dialog) { dialog->done(CMsgDlg::kClosed); });
    page.OnFunctionPicked(2, 0x020000A1);
    Settle();
    QCOMPARE(port_->profile->Key[0][2], Config().defaultKeys[0][2]);
    // With the default ComboRec the modifiers are ticked: Ctrl, then A.
    WhenOpen<CMsgDlg>([](CMsgDlg* dialog) {
        QTest::mouseClick(dialog->ModifierBox(1), Qt::LeftButton);
        dialog->CaptureKey(0x41, false);
        QTest::keyClick(dialog->InputBox(), Qt::Key_Return);  // captured, not OK
        QTest::mouseClick(ButtonWithText(dialog, GetText("tc_ok")), Qt::LeftButton);
    });
    page.OnFunctionPicked(2, 0x020000A1);
    Settle();
    const KeyAssignment& key = port_->profile->Key[0][2];
    QCOMPARE(key.dwFunID, 0x020000A1u);
    QCOMPARE(key.stCombo[0], uint8_t(0x01));
    QCOMPARE(key.stCombo[1], uint8_t(0x41));
    QCOMPARE(key.stCombo[2], uint8_t(0x0D));
    QCOMPARE(page.KeyButton(2)->Text(), QStringLiteral("Ctrl + A + Enter"));
    QCOMPARE(port_->posted.size(), size_t(1));
}

void KeyPageTest::fireDialogRules_data()
{
    QTest::addColumn<uint32_t>("parameter");  // the key's fire parameter, 0: not a fire key
    QTest::addColumn<QString>("shownCount");
    QTest::addColumn<QString>("shownInterval");
    QTest::addColumn<QString>("typedCount");
    QTest::addColumn<QString>("typedInterval");
    QTest::addColumn<QString>("countAfter");
    QTest::addColumn<QString>("intervalAfter");
    QTest::addColumn<int>("storedParameter");  // -1: the dialog stays open
    QTest::newRow("not a fire key yet") << 0u << "3" << "10" << "" << "" << "3" << "10" << 0x0A03;
    QTest::newRow("fire 0x0514 shows 20 and 5") << 0x0514u << "20" << "5" << "" << "" << "20" << "5" << -1;
    QTest::newRow("count 7 becomes 3, 300 becomes 255") << 0u << "3" << "10" << "7" << "300" << "3" << "255" << 0xFF03;
    QTest::newRow("interval 4 is stored as 10") << 0u << "3" << "10" << "2" << "4" << "2" << "4" << 0x0A02;
    QTest::newRow("count 0 is kept") << 0u << "3" << "10" << "0" << "20" << "0" << "20" << 0x1400;
    QTest::newRow("count 0 shows 1 next time") << 0x1400u << "1" << "20" << "" << "" << "1" << "20" << 0x1401;
    QTest::newRow("an empty count keeps the dialog") << 0u << "3" << "10" << "-" << "" << "" << "10" << -1;
}

void KeyPageTest::fireDialogRules()
{
    QFETCH(uint32_t, parameter);
    QFETCH(QString, shownCount);
    QFETCH(QString, shownInterval);
    QFETCH(QString, typedCount);
    QFETCH(QString, typedInterval);
    QFETCH(QString, countAfter);
    QFETCH(QString, intervalAfter);
    QFETCH(int, storedParameter);
    KeyAssignment current{};
    if (parameter != 0) {
        current.dwFunID = kFunFire;
        current.dwParameter = parameter;
    }
    CFirekeyDlg dialog(nullptr, current);
    QVERIFY(dialog.Loaded());
    QCOMPARE(dialog.CountBox()->text(), shownCount);
    QCOMPARE(dialog.IntervalBox()->text(), shownInterval);
    const auto type = [](QLineEdit* box, const QString& text) {
        if (text.isEmpty())
            return;
        box->clear();
        if (text != QStringLiteral("-"))
            QTest::keyClicks(box, text);
    };
    type(dialog.CountBox(), typedCount);
    type(dialog.IntervalBox(), typedInterval);
    QCOMPARE(dialog.CountBox()->text(), countAfter);
    QCOMPARE(dialog.IntervalBox()->text(), intervalAfter);
    QTest::keyClick(&dialog, Qt::Key_Return);
    if (storedParameter < 0 && parameter == 0) {
        QCOMPARE(dialog.result(), 0);
        return;
    }
    if (storedParameter >= 0) {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Result().count + 256 * dialog.Result().interval, storedParameter);
    }
}

void KeyPageTest::macroWithoutMacrosLeadsToTheMacroPage()
{
    CKeyDlg& page = Page();
    for (const int answer : {int(CMsgDlg::kClosed), int(CMsgDlg::kOk)}) {
        WhenOpen<CMsgDlg>([answer](CMsgDlg* dialog) {
            QCOMPARE(dialog->accessibleDescription(), GetText("tc_msg9"));
            dialog->done(answer);
        });
        page.OnFunctionPicked(2, kFunMacro);
        Settle();
    }
    QCOMPARE(switchedTo_, std::vector<int>{kMacroPage});
    QCOMPARE(port_->profile->Key[0][2], Config().defaultKeys[0][2]);
    QVERIFY(port_->posted.empty());
}

void KeyPageTest::debounceControl_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("tip");
    QTest::addColumn<bool>("raise");
    QTest::addColumn<int>("confirm");  // -1: no confirmation expected; else the answer
    QTest::addColumn<int>("after");
    QTest::newRow("raise") << 5 << 4 << true << -1 << 6;
    QTest::newRow("raise at the maximum") << 30 << 4 << true << -1 << 30;
    QTest::newRow("lower at the minimum") << 0 << 4 << false << -1 << 0;
    QTest::newRow("lower from 5, tip at 4: no question") << 5 << 4 << false << -1 << 4;
    QTest::newRow("lower from 4, tip at 4: asked, OK") << 4 << 4 << false << int(CMsgDlg::kOk) << 3;
    QTest::newRow("lower from 4, tip at 4: asked, cancelled") << 4 << 4 << false << int(CMsgDlg::kClosed) << 4;
    QTest::newRow("tip 300 never asks") << 2 << 300 << false << -1 << 1;
}

void KeyPageTest::debounceControl()
{
    QFETCH(int, value);
    QFETCH(int, tip);
    QFETCH(bool, raise);
    QFETCH(int, confirm);
    QFETCH(int, after);
    Config().devices[0].ShowDebounce = 1;
    Config().opt.TipForDebounce = tip;
    port_->profile->debounce = value;
    CKeyDlg& page = Page();
    page.show();
    CDebounceDlg* control = page.Debounce();
    QVERIFY(control->isVisible());
    QCOMPARE(control->Value(), value);
    int asked = 0;
    if (confirm >= 0) {
        WhenOpen<CMsgDlg>([&asked, confirm](CMsgDlg* dialog) {
            ++asked;
            QCOMPARE(dialog->accessibleDescription(), GetText("tc_debounce_tips"));
            dialog->done(confirm);
        });
    }
    QTest::mouseClick(raise ? control->RaiseButton() : control->LowerButton(), Qt::LeftButton);
    Settle();
    QCOMPARE(asked, confirm >= 0 ? 1 : 0);
    QCOMPARE(port_->profile->debounce, after);
    QCOMPARE(control->Value(), after);
    QCOMPARE(port_->posted.size(), size_t(after != value ? 1 : 0));
    if (after != value)
        QCOMPARE(port_->posted[0].flags, apply::kDebounce);
}

void KeyPageTest::profileSelectorSwitchesTheMouse()
{
    port_->profileIndex = 1;
    CKeyDlg& page = Page();
    CComboBtn* selector = page.ProfileSelector();
    QVERIFY(selector && !selector->isHidden());
    QCOMPARE(selector->SelectedValue(), 1);
    QCOMPARE(selector->Text(), QStringLiteral("%1 2").arg(GetText("tc_msg35")));
    selector->Choose(1);  // the entry shown: nothing
    selector->Choose(3);
    Settle();
    QCOMPARE(port_->selected, std::vector<int>{3});
    port_->switchWorks = false;
    selector->Choose(2);
    Settle();
    QCOMPARE(selector->SelectedValue(), 1);  // the mouse did not switch
    port_->allowChanges = false;
    selector->Choose(0);
    Settle();
    QCOMPARE(port_->selected, std::vector<int>{3});
}

void KeyPageTest::commandButtonsCallTheWindow()
{
    CKeyDlg& page = Page();
    QTest::mouseClick(page.RestoreButton(), Qt::LeftButton);
    QTest::mouseClick(page.ExportButton(), Qt::LeftButton);
    QTest::mouseClick(page.ExportButton(), Qt::LeftButton);
    QTest::mouseClick(page.ImportButton(), Qt::LeftButton);
    QCOMPARE(restores_, 1);
    QCOMPARE(exports_, 2);
    QCOMPARE(imports_, 1);
    QCOMPARE(page.RestoreButton()->Text(), GetText("tc_restore"));
}

void KeyPageTest::unknownCodesAreRepairedWithoutWriting()
{
    port_->profile->Key[0][2].dwFunID = 0x080000FF;
    port_->profile->Key[0][5].dwFunID = 0x020000A1;  // no keys
    CKeyDlg& page = Page();
    QCOMPARE(port_->repairs, 1);
    QCOMPARE(port_->profile->Key[0][2], Config().defaultKeys[0][2]);
    QCOMPARE(port_->profile->Key[0][5], Config().defaultKeys[0][5]);
    QVERIFY(port_->posted.empty());
    QCOMPARE(page.KeyButton(2)->Text(),
             FunctionName(Config().defaultKeys[0][2], *port_->device, Options(), Config().sensors));
    QVERIFY(!page.KeyButton(2)->Text().isEmpty());
    page.RefreshFromProfile();
    QCOMPARE(port_->repairs, 1);  // nothing left to repair
}

void KeyPageTest::hoverMarkingLooksOnlyAfterThePointerCrossesAKey()
{
    CKeyDlg& page = Page();
    page.show();
    QTRY_VERIFY(!page.HoverMarkDue());  // the look when shown
    const auto cross = [&page](int key, QEvent::Type type) {
        const QPoint inside = page.KeyButton(key)->mapToGlobal(page.KeyButton(key)->rect().center());
        QCursor::setPos(type == QEvent::Enter ? inside : page.mapToGlobal(QPoint(2, 2)));
        const QPointF at(inside);
        QEnterEvent enter(at, at, at);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(page.KeyButton(key), type == QEvent::Enter ? static_cast<QEvent*>(&enter) : &leave);
    };
    for (const int key : {2, 0}) {
        cross(key, QEvent::Enter);
        QVERIFY(page.HoverMarkDue());
        QTRY_COMPARE(page.MarkPanel()->Highlighted(), key);
        // Resting on the key, nothing more runs.
        QVERIFY(!page.HoverMarkDue());
        cross(key, QEvent::Leave);
        QTRY_COMPARE(page.MarkPanel()->Highlighted(), -1);
        QVERIFY(!page.HoverMarkDue());
    }
    // A hidden page does not look.
    page.hide();
    cross(1, QEvent::Enter);
    QVERIFY(!page.HoverMarkDue());
}

void KeyPageTest::missingMousePictureIsToldOnce()
{
    const QString app = fixture_->UseSkinCopy();
    const DeviceDescription& device = *port_->device;
    const QString folder = QStringLiteral("%1%2").arg(device.CID, 2, 16, QLatin1Char('0')).arg(device.MID, 2, 16, QLatin1Char('0'));
    QVERIFY(QFile::remove(app + QStringLiteral("skins/") + folder + QStringLiteral("/mouse_nr.png")));
    CKeyDlg& page = Page();
    page.LayoutForDevice();
    const auto messages = fixture_->Messages();
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].text, QStringLiteral("Can't load skins\\%1\\mouse_nr.png").arg(folder));
    QVERIFY(!page.MarkPanel()->HasMarkedPicture());
    for (int i = 0; i < CKeyDlg::kKeys; ++i)
        QVERIFY(!page.MarkPanel()->MarkShown(i));
    page.MarkKeyUnder(page.KeyButton(0)->mapToGlobal(QPoint(3, 3)));
    QCOMPARE(page.MarkPanel()->Highlighted(), -1);
}

void KeyPageTest::outOfRangeConfigurationIsSurvived()
{
    DeviceDescription& device = Config().devices[0];
    device.KeyCount = 40;
    device.KeyHeight = -500;
    device.KeyMarks[0] = Rect{-100000, -5, 2000000, 7};
    device.KeyMarks[1] = Rect{50, 50, 10, 10};  // right of its left edge
    device.DpiMenuMask = 0x7FFFFFFF;
    device.ExKeys = {-1, -1, -1};
    Config().opt.MenuItems = kMenuRowsRange.high;  // the most rows cfg.ini can give
    Config().opt.MenuW = -50;
    Config().opt.KeyMask = -1 & ~1;
    port_->profile->currentKeySet = 77;
    port_->profile->Key[0][3].dwFunID = 0x05000000;
    port_->profile->Key[0][3].dwMacroID = 0xFFFFFF;  // a macro the library lacks: named, kept
    CKeyDlg& page = Page();
    page.show();
    QCOMPARE(page.ShownKeyCount(), CKeyDlg::kKeys);
    for (int i = 0; i < CKeyDlg::kKeys; ++i)
        page.MarkKeyUnder(page.KeyButton(i)->mapToGlobal(QPoint(1, 1)));
    page.OpenKeyMenu(0);
    QVERIFY(CMenuDlg::Current());
    page.OpenKeyMenu(5);  // masked
    QVERIFY(!CMenuDlg::Current());
    for (int key : {-1, 16, 1000})
        page.OnFunctionPicked(key, kMiddle);
    page.OnFunctionPicked(0, 0x0B000007);
    Settle();
    QCOMPARE(port_->profile->Key[0][3].dwMacroID, 0xFFFFFFu);
    QCOMPARE(page.KeyButton(3)->Text(), GetText("tc_msg11"));
    QVERIFY(port_->posted.empty());
}

QTEST_MAIN(KeyPageTest)
#include "key_page_test.moc"
