#pragma once
// CMacroDlg: the macro page. On the left the macro tree (folders and macros of the macro
// folder), in the middle the event list of the selected macro, on the right the recorder and
// the options (delay check box, loop mode, repeat count), the insert and save buttons. The
// tree's commands (new, rename, delete, import, export, moving a macro by dragging it) run the
// macro commands of src/macro. While the page records, the keyboard belongs to the recorder;
// the record and insert buttons work (clicks go into a macro through the insert button), and
// every other command, context menu and leaving the page are refused with tc_macro_msg17.
#include "macro/macro_events.h"
#include "macro/macro_tree.h"
#include "ui/controls/png_btn.h"
#include "ui/pages/macro_page_dialogs.h"
#include "ui/pages/menu_dlg.h"
#include "ui/pages/titled_page.h"

#include <QElapsedTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLineEdit;

namespace zorvan {

class CTreeCtrlEx;
class MacroEventModel;
class MacroTreeModel;

class CMacroDlg : public TitledPage {
    Q_OBJECT
public:
    static constexpr int kTreeId = 261;
    static constexpr int kEventListId = 262;

    // Menu item ids.
    enum MenuId : int {
        kMenuNew = 1, kMenuDelete = 4, kMenuExport = 8, kMenuImport = 16, kMenuRename = 32,
        kMenuModifyEvent = 64, kMenuDeleteEvent = 1024,
    };
    // Insert menu codes (in bits 16..23 of the item id).
    enum InsertCode : int { kInsertPress = 0xF7, kInsertRelease = 0xF8, kInsertDelay = 0xF9 };

    CMacroDlg(const PageContext& context, QWidget* parent);
    ~CMacroDlg() override;

    void RefreshFromProfile() override;
    void RefreshTexts() override;
    bool CanLeave() override;

    // Tests answer the dialogs and set the clock of the recorder.
    void SetDialogs(MacroPageDialogs dialogs) { dialogs_ = std::move(dialogs); }
    void SetClock(std::function<int64_t()> clock) { clock_ = std::move(clock); }

    // ---- What the page shows -----------------------------------------------------------------
    CTreeCtrlEx* TreeView() const { return treeView_; }
    CTreeCtrlEx* EventView() const { return eventView_; }
    MacroTreeModel* TreeModel() const { return treeModel_.get(); }
    MacroTree& Tree() { return tree_; }
    const EventRows& Rows() const;
    bool Recording() const { return recording_; }
    std::optional<uint32_t> CurrentMacro() const { return current_; }
    bool SaveVisible() const;
    // The entries of the menu opened last (context or insert menu).
    const std::vector<MenuEntry>& LastMenu() const { return lastMenu_; }
    CPngBtn* DelayBox() const { return delayBox_; }
    CPngBtn* LoopRadio(int mode) const { return loop_[size_t(mode)]; }
    QLineEdit* RepeatEdit() const { return repeat_; }
    CPngBtn* RecordButton() const { return record_; }
    CPngBtn* InsertButton() const { return insert_; }
    CPngBtn* SaveButton() const { return save_; }
    // The buttons under the two lists: new and delete (tree), modify and delete (events).
    std::array<CPngBtn*, 4> ListButtons() const { return {newButton_, deleteButton_, modifyButton_, deleteEventButton_}; }

    // ---- Commands (the buttons, menus and keys run these) ------------------------------------
    void OnRecord();
    void OnInsert();                         // opens the insert menu
    void Insert(int code);                   // an insert menu pick
    void OnSave();
    void OnNewMacro();                       // the tree's new button
    void OnDeleteItem();                     // the tree's delete button
    void OnModifyEvent();
    void OnDeleteEvent();
    void OnDelayBox();
    void OnLoopMode(int mode);
    void RunMenuCommand(int id);
    // A key transition for the recorder (virtual-key code, side-specific).
    void RecordKey(unsigned code, bool up);
    // Selects a tree item as a click would.
    void SelectTreeItem(MacroTreeItem* item);
    void SelectEventRow(int row);
    void ShowTreeMenu(const QModelIndex& item, const QPoint& globalPos);
    void ShowEventMenu(const QModelIndex& item, const QPoint& globalPos);
    void MoveToFolder(MacroTreeItem* item, MacroTreeItem* folder);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    // While recording: shows tc_macro_msg17 and answers true.
    bool RefusedWhileRecording();
    void Message(const QString& text);
    MacroTreeItem* SelectedTreeItem() const;
    int SelectedRow() const;
    void OnTreeClicked(const QModelIndex& index);
    void LoadMacro(const StMacro& macro);
    void ClearEvents();
    void SetRows(EventRows rows, int selected = -1);
    void MarkChanged(uint32_t bits);
    void SetSaveVisible(bool visible);
    void ShowLoopMode(uint32_t mode, int repeatCount);
    void OnRepeatEdited(const QString& text);
    void ShowMenu(std::vector<MenuEntry> entries, int width, const QPoint& topLeft);
    void RefreshTree(MacroTreeItem* select);
    // A macro just made or imported: selected in the tree and shown in the editor, its save
    // button shown while it is not written yet.
    void ShowAddedMacro(MacroTreeItem* item, bool unsaved);
    void AfterMacrosLeft(const std::vector<uint32_t>& removed);
    void NewMacroIn(MacroTreeItem* parent);
    void RenameSelected();
    void DeleteSelected();
    void ImportInto(MacroTreeItem* target);
    void ExportSelected();
    void StopRecordingControls();
    // Writes every dirty macro of the tree (the page closes).
    void FlushAll();

    MacroPageDialogs dialogs_;
    std::function<int64_t()> clock_;
    QElapsedTimer sinceStart_;
    QImage background_;

    MacroTree tree_;
    std::unique_ptr<MacroTreeModel> treeModel_;
    std::unique_ptr<MacroEventModel> eventModel_;
    CTreeCtrlEx* treeView_ = nullptr;
    CTreeCtrlEx* eventView_ = nullptr;

    CPngBtn* record_ = nullptr;
    CPngBtn* delayBox_ = nullptr;
    std::array<CPngBtn*, 3> loop_{};  // by loop mode
    QLineEdit* repeat_ = nullptr;
    CPngBtn* insert_ = nullptr;
    CPngBtn* save_ = nullptr;
    CPngBtn* newButton_ = nullptr;
    CPngBtn* deleteButton_ = nullptr;
    CPngBtn* modifyButton_ = nullptr;
    CPngBtn* deleteEventButton_ = nullptr;

    bool recording_ = false;
    bool autoDelay_ = true;
    uint32_t loopMode_ = kLoopCount;
    bool saveVisible_ = false;
    MacroRecorder recorder_;
    std::optional<uint32_t> current_;
    std::vector<MenuEntry> lastMenu_;
};

}  // namespace zorvan
