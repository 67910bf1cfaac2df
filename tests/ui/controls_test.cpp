// The skinned controls on Qt's button abstractions: image buttons in a QButtonGroup (mouse,
// keyboard, accessible names), combo buttons with long lists, and the pop-up list's group rows.
#include "ui/controls/combo_btn.h"
#include "ui/controls/png_btn.h"
#include "ui/pages/menu_dlg.h"
#include "ui/ui_fixture.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QSignalSpy>
#include <QTest>

#include <array>

using namespace zorvan;
using namespace zorvan::test;

class ControlsTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        fixture_ = std::make_unique<UiFixture>();
        CMenuDlg::LoadPictures();
    }
    void cleanup()
    {
        CMenuDlg::CloseOpen();
        CMenuDlg::ReleasePictures();
        fixture_.reset();
    }

    void clickChangesCheckStateByKind_data();
    void clickChangesCheckStateByKind();
    void groupKeepsOneCheckedByMouseAndKeyboard();
    void accessibleNameAndStateComeFromTheButton();
    void comboTakesManyItems();
    void comboKeyboardOpensAndSteps();
    void groupRowOpensSecondLevelAndReportsItsPick();
    void longListScrolls();

private:
    std::unique_ptr<UiFixture> fixture_;
};

namespace {

// A shown window with three radio-like image buttons side by side.
struct ButtonRow {
    QWidget window;
    std::array<CPngBtn*, 3> buttons{};

    ButtonRow()
    {
        window.resize(200, 40);
        for (int i = 0; i < 3; ++i) {
            buttons[size_t(i)] = new CPngBtn(&window);
            buttons[size_t(i)]->setGeometry(10 + 60 * i, 10, 50, 20);
            buttons[size_t(i)]->SetText(QStringLiteral("b%1").arg(i));
            buttons[size_t(i)]->SetToggleMode(true);
        }
        window.show();
        window.activateWindow();
    }
};

}  // namespace

void ControlsTest::clickChangesCheckStateByKind_data()
{
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<bool>("toggleOnClick");
    QTest::addColumn<bool>("inGroup");
    QTest::addColumn<bool>("checkedAfterClick");
    // Page buttons and radio buttons outside a group are checked only by their owner.
    QTest::newRow("push button") << false << false << false << false;
    QTest::newRow("push button in a group") << false << false << true << false;
    QTest::newRow("radio button alone") << true << false << false << false;
    QTest::newRow("radio button in a group") << true << false << true << true;
    QTest::newRow("check box") << true << true << false << true;
}

void ControlsTest::clickChangesCheckStateByKind()
{
    QFETCH(bool, toggle);
    QFETCH(bool, toggleOnClick);
    QFETCH(bool, inGroup);
    QFETCH(bool, checkedAfterClick);
    CPngBtn button;
    button.resize(40, 20);
    button.SetToggleMode(toggle, toggleOnClick);
    QButtonGroup group;
    if (inGroup)
        group.addButton(&button);
    QSignalSpy clicked(&button, &CPngBtn::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(button.isChecked(), checkedAfterClick);
    QCOMPARE(clicked.count(), 1);
    // The owner can always check it (the page button of the shown page).
    button.setChecked(true);
    QVERIFY(button.isChecked());
}

void ControlsTest::groupKeepsOneCheckedByMouseAndKeyboard()
{
    ButtonRow row;
    QVERIFY(QTest::qWaitForWindowActive(&row.window));
    QButtonGroup group;
    for (int i = 0; i < 3; ++i)
        group.addButton(row.buttons[size_t(i)], i);
    QSignalSpy picked(&group, &QButtonGroup::idClicked);
    const auto checkedOnly = [&row](int index) {
        for (int i = 0; i < 3; ++i)
            if (row.buttons[size_t(i)]->isChecked() != (i == index))
                return false;
        return true;
    };

    QTest::mouseClick(row.buttons[1], Qt::LeftButton);
    QVERIFY(checkedOnly(1));
    QTest::mouseClick(row.buttons[1], Qt::LeftButton);
    QVERIFY2(checkedOnly(1), "the checked button of a group stays checked");
    QTest::mouseClick(row.buttons[0], Qt::LeftButton);
    QVERIFY(checkedOnly(0));

    // The arrow keys move the check and the focus along the group.
    row.buttons[0]->setFocus(Qt::TabFocusReason);
    QTest::keyClick(row.buttons[0], Qt::Key_Right);
    QVERIFY(checkedOnly(1));
    QVERIFY(row.buttons[1]->hasFocus());
    // A disabled button is skipped.
    row.buttons[2]->SetDisabled(true);
    QTest::keyClick(row.buttons[1], Qt::Key_Right);
    QVERIFY(checkedOnly(1));
    QTest::keyClick(row.buttons[1], Qt::Key_Left);
    QVERIFY(checkedOnly(0));
    QCOMPARE(picked.count(), 5);
    QCOMPARE(picked.last().first().toInt(), 0);

    // Space on a disabled button does nothing; on an enabled one it clicks.
    QTest::keyClick(row.buttons[2], Qt::Key_Space);
    QVERIFY(checkedOnly(0));
    QTest::keyClick(row.buttons[0], Qt::Key_Space);
    QCOMPARE(picked.count(), 6);
}

void ControlsTest::accessibleNameAndStateComeFromTheButton()
{
    ButtonRow row;
    row.buttons[0]->setChecked(true);
    QAccessibleInterface* captioned = QAccessible::queryAccessibleInterface(row.buttons[0]);
    QVERIFY(captioned);
    QCOMPARE(captioned->text(QAccessible::Name), QStringLiteral("b0"));
    QVERIFY(captioned->state().checkable);
    QVERIFY(captioned->state().checked);
    QVERIFY(captioned->state().focusable);
    // A picture-only button is named by its owner.
    row.buttons[1]->SetText(QString());
    row.buttons[1]->setAccessibleName(QStringLiteral("Lighting"));
    QCOMPARE(QAccessible::queryAccessibleInterface(row.buttons[1])->text(QAccessible::Name), QStringLiteral("Lighting"));
    QVERIFY(!QAccessible::queryAccessibleInterface(row.buttons[1])->state().checked);
}

void ControlsTest::comboTakesManyItems()
{
    QWidget owner;
    owner.resize(300, 200);
    auto* combo = new CComboBtn(&owner);
    combo->setGeometry(10, 10, 111, 30);
    owner.show();
    for (int i = 0; i < 300; ++i)
        combo->AddItem(0, 1000 + i, QStringLiteral("item %1").arg(i));
    QVERIFY(combo->SelectValue(1250));
    QCOMPARE(combo->SelectedIndex(), 250);
    QCOMPARE(combo->Text(), QStringLiteral("item 250"));
    QTest::mouseClick(combo, Qt::LeftButton);
    CMenuDlg* list = CMenuDlg::Current();
    QVERIFY(list);
    QCOMPARE(list->RowCount(), 300);
    QVERIFY2(list->height() <= owner.screen()->availableGeometry().height(), "the list fits on the screen");
    QCOMPARE(list->geometry(), combo->ListRect());
    QSignalSpy chosen(combo, &CComboBtn::clicked);
    combo->Choose(1299);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(combo->SelectedValue(), 1299);
    QVERIFY(CMenuDlg::Current() == nullptr);
}

void ControlsTest::comboKeyboardOpensAndSteps()
{
    QWidget owner;
    owner.resize(300, 200);
    auto* combo = new CComboBtn(&owner);
    combo->setGeometry(10, 10, 111, 30);
    for (int value : {5, 6, 7})
        combo->AddItem(0, value, QString::number(value));
    combo->SelectValue(6);
    owner.show();
    QSignalSpy chosen(combo, &CComboBtn::clicked);
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->SelectedValue(), 7);
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->SelectedValue(), 7);
    QTest::keyClick(combo, Qt::Key_Up);
    QCOMPARE(combo->SelectedValue(), 6);
    QCOMPARE(chosen.count(), 2);
    // Space opens the list instead of reporting a choice.
    QTest::keyClick(combo, Qt::Key_Space);
    QVERIFY(CMenuDlg::Current() != nullptr);
    QCOMPARE(chosen.count(), 2);
}

void ControlsTest::groupRowOpensSecondLevelAndReportsItsPick()
{
    QWidget owner;
    owner.resize(300, 300);
    owner.show();
    std::vector<MenuEntry> entries{{QStringLiteral("Left"), 0x11, {}},
                                   {QStringLiteral("Media"), 0x04000000,
                                    {{QStringLiteral("Play"), 0x04000022, {}},
                                     {QStringLiteral("Stop"), 0x04000023, {}},
                                     {QStringLiteral("Mute"), 0x04000028, {}}}},
                                   {QStringLiteral("Right"), 0x13, {}}};
    CMenuDlg* menu = CMenuDlg::Open(&owner, entries, 120, owner.mapToGlobal(QPoint(10, 200)), 0xC8C8C8, 0x646464);
    QSignalSpy picked(menu, &CMenuDlg::picked);
    QVERIFY(menu->IsGroupRow(1));
    QVERIFY(!menu->IsGroupRow(0));

    QTest::mouseMove(menu, menu->RowRect(1).center());
    CMenuDlg* second = menu->SecondLevel();
    QVERIFY(second);
    QCOMPARE(second->RowCount(), 3);
    // Beside the list, its last row level with the group row.
    QCOMPARE(second->geometry().left(), menu->geometry().right() + 1);
    QCOMPARE(second->mapToGlobal(second->RowRect(2).topLeft()).y(), menu->mapToGlobal(menu->RowRect(1).topLeft()).y());

    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->RowRect(1).center());
    QCOMPARE(picked.count(), 0);  // a group row picks nothing

    const QPoint stop = menu->mapFromGlobal(second->mapToGlobal(second->RowRect(1).center()));
    QTest::mouseMove(menu, stop);
    QCOMPARE(second->HoverRow(), 1);
    QCOMPARE(menu->SecondLevel(), second);
    QTest::mouseClick(menu, Qt::LeftButton, {}, stop);
    QCOMPARE(picked.count(), 1);
    QCOMPARE(picked.first().first().value<int32_t>(), 0x04000023);
}

void ControlsTest::longListScrolls()
{
    QWidget owner;
    owner.show();
    std::vector<MenuEntry> entries;
    for (int i = 0; i < 200; ++i)
        entries.push_back({QString::number(i), i, {}});
    CMenuDlg* menu = CMenuDlg::Open(&owner, entries, 80, QPoint(0, 0), 0xC8C8C8, 0x646464);
    const int shown = menu->VisibleRows();
    QVERIFY(shown > 0 && shown < 200);
    QVERIFY(menu->RowRect(shown).isEmpty());
    // The keys move the hovered row and scroll it into view.
    for (int i = 0; i < shown + 2; ++i)
        QTest::keyClick(menu, Qt::Key_Down);
    QCOMPARE(menu->HoverRow(), shown + 1);
    QCOMPARE(menu->FirstRow(), 2);
    QVERIFY(!menu->RowRect(shown + 1).isEmpty());
    QSignalSpy picked(menu, &CMenuDlg::picked);
    QTest::keyClick(menu, Qt::Key_Return);
    QCOMPARE(picked.count(), 1);
    QCOMPARE(picked.first().first().value<int32_t>(), shown + 1);
}

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"
