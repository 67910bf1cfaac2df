// The owner-drawn tree of the macro page: which mouse presses and keys it reports, the walk,
// the folder depth and dragging a macro onto a folder (which the page turns into a move of its
// file).
#include "macro/macro_commands.h"
#include "macro/macro_file.h"
#include "macro/macro_files.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "macro/time_stamp_id.h"
#include "text/language_texts.h"
#include "ui/controls/macro_tree_model.h"
#include "ui/controls/tree_ctrl_ex.h"
#include "ui/fake_device_port.h"
#include "ui/pages/macro_page.h"
#include "ui/ui_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

using namespace zorvan;
using namespace zorvan::test;

namespace {

void SendMouse(QWidget* to, QEvent::Type type, const QPoint& at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, to->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

// A macro dragged from `from` to `to` (viewport positions).
void Drag(QWidget* viewport, const QPoint& from, const QPoint& to)
{
    SendMouse(viewport, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(viewport, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    SendMouse(viewport, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    SendMouse(viewport, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

}  // namespace

class MacroTreeCtrlTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void pressesAreReportedOnlyWhereTheyMean();
    void aDisabledTreeSelectsNothing();
    void keysMoveTheSelectionAndAskForRenameAndDelete();
    void theWalkStopsAtTheFirstYes();
    void foldersNestSixLevelsAtMost();
    void draggingAMacroOntoAFolderMovesItsFile();

private:
    QPoint Centre(const QModelIndex& index) const { return view_->visualRect(index).center(); }
    QModelIndex Index(const QString& text, MacroTreeItem* parent = nullptr)
    {
        return model_->IndexOf(tree_.FindChild(parent, text));
    }

    std::unique_ptr<UiFixture> fixture_;
    MacroTree tree_;
    std::unique_ptr<MacroTreeModel> model_;
    std::unique_ptr<CTreeCtrlEx> view_;
};

void MacroTreeCtrlTest::init()
{
    fixture_ = std::make_unique<UiFixture>();
    tree_.Clear();
    MacroTreeItem* games = tree_.Insert(nullptr, kFolderItem, "Games");
    tree_.Insert(games, kMacroItem, "Reload", 2);
    tree_.Insert(nullptr, kMacroItem, "Jump", 1);
    tree_.Insert(nullptr, kMacroItem, "A rather long macro name", 3);
    model_ = std::make_unique<MacroTreeModel>(tree_);
    view_ = std::make_unique<CTreeCtrlEx>(nullptr, 261);
    view_->setModel(model_.get());
    view_->resize(220, 300);
    view_->show();
    QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
}

void MacroTreeCtrlTest::cleanup()
{
    view_.reset();
    model_.reset();
    fixture_.reset();
}

void MacroTreeCtrlTest::pressesAreReportedOnlyWhereTheyMean()
{
    QSignalSpy clicked(view_.get(), &CTreeCtrlEx::itemClicked);
    QSignalSpy doubled(view_.get(), &CTreeCtrlEx::itemDoubleClicked);
    QSignalSpy right(view_.get(), &CTreeCtrlEx::itemRightClicked);
    QWidget* viewport = view_->viewport();
    const QModelIndex jump = Index("Jump");
    const QPoint empty(100, 290);

    QTest::mouseClick(viewport, Qt::LeftButton, {}, Centre(jump));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, Centre(jump));  // already selected: no notice
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked[0][0].toInt(), 261);
    QCOMPARE(view_->SelectedItem(), jump);

    QTest::mouseClick(viewport, Qt::LeftButton, {}, empty);
    QCOMPARE(clicked.count(), 2);
    QVERIFY(!clicked[1][1].toModelIndex().isValid());
    QVERIFY(!view_->SelectedItem().isValid());

    QTest::mouseDClick(viewport, Qt::LeftButton, {}, empty);
    QCOMPARE(doubled.count(), 0);
    const QModelIndex games = Index("Games");
    QVERIFY(!view_->isExpanded(games));
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, Centre(games));
    QCOMPARE(doubled.count(), 1);
    QVERIFY(view_->isExpanded(games));
    QVERIFY(games.data(item_roles::kExpanded).toBool());

    QTest::mousePress(viewport, Qt::RightButton, {}, Centre(jump));
    QCOMPARE(right.count(), 1);
    QCOMPARE(view_->SelectedItem(), jump);
}

void MacroTreeCtrlTest::aDisabledTreeSelectsNothing()
{
    QSignalSpy clicked(view_.get(), &CTreeCtrlEx::itemClicked);
    QSignalSpy doubled(view_.get(), &CTreeCtrlEx::itemDoubleClicked);
    QSignalSpy right(view_.get(), &CTreeCtrlEx::itemRightClicked);
    view_->SetMouseEnabled(false);
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, Centre(Index("Jump")));
    QTest::mouseDClick(view_->viewport(), Qt::LeftButton, {}, Centre(Index("Games")));
    QCOMPARE(clicked.count() + doubled.count(), 0);
    QVERIFY(!view_->isExpanded(Index("Games")));
    // The owner still hears of a context menu asked for (to say why there is none).
    QTest::mousePress(view_->viewport(), Qt::RightButton, {}, Centre(Index("Jump")));
    QCOMPARE(right.count(), 1);
    QVERIFY(!view_->SelectedItem().isValid());
}

void MacroTreeCtrlTest::keysMoveTheSelectionAndAskForRenameAndDelete()
{
    QSignalSpy clicked(view_.get(), &CTreeCtrlEx::itemClicked);
    QSignalSpy rename(view_.get(), &CTreeCtrlEx::renameRequested);
    QSignalSpy remove(view_.get(), &CTreeCtrlEx::deleteRequested);
    view_->SelectItem(Index("Games"));
    view_->setFocus();
    QTest::keyClick(view_.get(), Qt::Key_Down);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(view_->SelectedItem(), Index("Jump"));
    QTest::keyClick(view_.get(), Qt::Key_F2);
    QTest::keyClick(view_.get(), Qt::Key_Delete);
    QCOMPARE(rename.count(), 1);
    QCOMPARE(remove.count(), 1);
    QCOMPARE(remove[0][1].toModelIndex(), Index("Jump"));
}

void MacroTreeCtrlTest::theWalkStopsAtTheFirstYes()
{
    QStringList seen;
    const bool stopped = view_->Walk(QModelIndex(), [&seen](const QModelIndex& i) {
        seen << i.data().toString();
        return false;
    }, true);
    QVERIFY(!stopped);
    QCOMPARE(seen, (QStringList{"Reload", "Games", "Jump", "A rather long macro name"}));
    seen.clear();
    QVERIFY(view_->Walk(QModelIndex(), [&seen](const QModelIndex& i) {
        seen << i.data().toString();
        return true;
    }, false));
    QCOMPARE(seen, QStringList{"Games"});
}

void MacroTreeCtrlTest::foldersNestSixLevelsAtMost()
{
    MacroTreeItem* at = tree_.FindChild(nullptr, "Games");
    for (int level = 2; level <= 6; ++level)
        at = tree_.Insert(at, kFolderItem, QStringLiteral("f%1").arg(level));
    model_->Reset();
    QModelIndex sixth = model_->IndexOf(at);
    QVERIFY(!CTreeCtrlEx::FolderAllowedUnder(sixth));
    QVERIFY(CTreeCtrlEx::FolderAllowedUnder(sixth.parent()));
    QVERIFY(!CTreeCtrlEx::FolderAllowedUnder(Index("Jump")));
    QVERIFY(CTreeCtrlEx::FolderAllowedUnder(QModelIndex()));
}

void MacroTreeCtrlTest::draggingAMacroOntoAFolderMovesItsFile()
{
    QSignalSpy dropped(view_.get(), &CTreeCtrlEx::itemDropped);
    Drag(view_->viewport(), Centre(Index("Jump")), Centre(Index("Games")));
    QCOMPARE(dropped.count(), 1);
    QCOMPARE(dropped[0][1].toModelIndex(), Index("Jump"));
    QCOMPARE(dropped[0][2].toModelIndex(), Index("Games"));

    // On the page the drop moves the macro and its file into the folder.
    Macros().Clear();
    SetTimeStampIdPause(std::chrono::milliseconds(1));
    StMacro jump = NewEmptyMacro("Jump");
    jump.id = 0x0101;
    QDir().mkpath(MacroFolder() + "/Games");
    QVERIFY(WriteMacroFile(MacroFolder() + "/Jump.qxm", jump).Ok());
    Macros().AddCopy(jump);
    FakeDevicePort port;
    const PageContext context{port, Options(), Texts(), QRect(0, 0, 1024, 530), QFont(), {}, {}, {}, {}, {}};
    {
        CMacroDlg page(context, nullptr);
        page.show();
        CTreeCtrlEx* tree = page.TreeView();
        const QModelIndex from = page.TreeModel()->IndexOf(page.Tree().FindChild(nullptr, "Jump"));
        const QModelIndex to = page.TreeModel()->IndexOf(page.Tree().FindChild(nullptr, "Games"));
        Drag(tree->viewport(), tree->visualRect(from).center(), tree->visualRect(to).center());
        QVERIFY(page.Tree().FindChild(page.Tree().FindChild(nullptr, "Games"), "Jump"));
    }
    QVERIFY(!QFileInfo::exists(MacroFolder() + "/Jump.qxm"));
    QVERIFY(ReadMacroFile(MacroFolder() + "/Games/Jump.qxm"));
    Macros().Clear();
    SetTimeStampIdPause(std::chrono::milliseconds(20));
}

QTEST_MAIN(MacroTreeCtrlTest)
#include "macro_tree_ctrl_test.moc"
