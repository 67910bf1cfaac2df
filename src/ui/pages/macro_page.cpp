#include "ui/pages/macro_page.h"

#include "app/log.h"
#include "app/message_box.h"
#include "macro/macro_commands.h"
#include "macro/macro_files.h"
#include "macro/macro_folder_load.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "profile/orphaned_keys.h"
#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/picture_cache.h"
#include "skin/picture_ops.h"
#include "skin/skin_files.h"
#include "ui/controls/button_factory.h"
#include "ui/controls/macro_tree_model.h"
#include "ui/controls/tree_ctrl_ex.h"
#include "ui/pages/macro_event_model.h"
#include "ui/pages/key_vk.h"
#include "ui/pages/macro_page_layout.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>

namespace zorvan {
namespace {

constexpr int kMenuWidth = 150;
constexpr int kNameLimit = 15;
constexpr int kDelayDigits = 6;
constexpr int kLabelMargin = 24;

// The picture of a pressed button: the page background, darkened where the button is.
QImage Darkened(const QImage& background, const QRect& area)
{
    QImage picture = background.copy();
    QPainter painter(&picture);
    painter.fillRect(area, QColor(0, 0, 0, 90));
    return picture;
}

}  // namespace

CMacroDlg::CMacroDlg(const PageContext& context, QWidget* parent)
    : TitledPage(context, parent, QStringLiteral("macro_nr.png"), "tc_page3"),
      dialogs_(StandardMacroPageDialogs(this)),
      treeModel_(std::make_unique<MacroTreeModel>(tree_)),
      eventModel_(std::make_unique<MacroEventModel>())
{
    sinceStart_.start();
    clock_ = [this] { return sinceStart_.elapsed(); };
    setFocusPolicy(Qt::StrongFocus);
    setFont(WindowFont(Scaled(14), 400));
    const QImage picture = LoadPicture(SkinFile(QStringLiteral("macro_nr.png")), SkinScale());
    if (!picture.isNull())
        background_ = PictureArea(picture, context.area);
    // The tree is a reading of the macro folder of its own; the library was loaded at start-up.
    if (!MacroFolder().isEmpty())
        LoadMacroFolder(MacroFolder(), &tree_, nullptr, context.options.MacroDir != 0, false);
    PruneDeepFolders(tree_);
    BuildControls();
}

CMacroDlg::~CMacroDlg()
{
    if (recording_)
        qApp->removeEventFilter(this);
    FlushAll();
    // The views go before the models they show.
    delete treeView_;
    delete eventView_;
}

void CMacroDlg::BuildControls()
{
    const AppOptions& o = Context().options;
    const MacroPageLayout l = LayOutMacroPage(o);
    const QImage pressed = Darkened(background_, Scaled(l.record));
    record_ = NewTextButton(this, l.record, background_, background_, pressed, Context().Text("tc_macro_start"));
    record_->SetToggleMode(true);
    if (o.BtnTips != 0)
        record_->SetTip(Context().Text("tc_macro_start"));
    connect(record_, &CPngBtn::clicked, this, &CMacroDlg::OnRecord);

    const auto toggle = [this](const QRect& r, const char* normal, const char* down) {
        SkinButtonSpec look{r, QString::fromLatin1(normal), QString::fromLatin1(normal), QString::fromLatin1(down), {}, true};
        look.parentPicture = background_;
        CPngBtn* b = NewSmallPngButton3(this, look);
        if (b == nullptr)
            b = new CPngBtn(this);  // the picture is missing (reported): a bare button keeps the page working
        b->SetToggleMode(true);
        return b;
    };
    delayBox_ = toggle(l.delayBox, "check_nr.png", "check_dn.png");
    delayBox_->setChecked(autoDelay_);
    delayBox_->setAccessibleName(Context().Text("tc_macro_auto"));
    connect(delayBox_, &CPngBtn::clicked, this, &CMacroDlg::OnDelayBox);
    const char* loopTexts[] = {"tc_macro_loop1", "tc_macro_loop3", "tc_macro_loop2"};
    for (int mode = 0; mode < 3; ++mode) {
        loop_[size_t(mode)] = toggle(l.loop[size_t(mode)], "radio_nr.png", "radio_dn.png");
        loop_[size_t(mode)]->setAccessibleName(Context().Text(loopTexts[mode]));
        connect(loop_[size_t(mode)], &CPngBtn::clicked, this, [this, mode] { OnLoopMode(mode); });
    }
    repeat_ = new QLineEdit(this);
    repeat_->setGeometry(Scaled(l.repeat));
    repeat_->setFrame(false);
    repeat_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), repeat_));
    repeat_->setFont(WindowFont(Scaled(14), 400));
    QPalette palette = repeat_->palette();
    const QColor edit = ColourOf(o.clrEdit);
    palette.setColor(QPalette::Base, edit);
    // Black text, unless the edit's colour is too dark to read it on.
    palette.setColor(QPalette::Text, edit.lightness() < 96 ? Qt::white : Qt::black);
    repeat_->setPalette(palette);
    connect(repeat_, &QLineEdit::textEdited, this, &CMacroDlg::OnRepeatEdited);

    SkinButtonSpec insertLook{l.insert, QStringLiteral("combo_nr.png"), QStringLiteral("combo_nr.png"),
                              QStringLiteral("combo_nr.png"), QString()};
    insertLook.parentPicture = background_;
    insert_ = NewSmallPngButton(this, insertLook);
    if (insert_) {
        insert_->setAccessibleName(Context().Text("tc_macro_loop"));
        connect(insert_, &CPngBtn::clicked, this, &CMacroDlg::OnInsert);
    }
    SkinButtonSpec saveLook{l.save, QStringLiteral("button2_nr.png"), QStringLiteral("button2_nr.png"),
                            QStringLiteral("button2_nr.png"), Context().Text("tc_macro_msg19")};
    saveLook.parentPicture = background_;
    save_ = NewSmallPngButton(this, saveLook);
    if (save_) {
        save_->hide();
        connect(save_, &CPngBtn::clicked, this, &CMacroDlg::OnSave);
    }

    const auto textButton = [this](const QRect& r, const char* key, void (CMacroDlg::*command)()) {
        CPngBtn* b = NewTextButton(this, r, background_, background_, Darkened(background_, Scaled(r)), Context().Text(key));
        connect(b, &CPngBtn::clicked, this, command);
        return b;
    };
    newButton_ = textButton(l.newButton, "tc_macro_msg5", &CMacroDlg::OnNewMacro);
    deleteButton_ = textButton(l.deleteButton, "tc_macro_msg10", &CMacroDlg::OnDeleteItem);
    modifyButton_ = textButton(l.modifyButton, "tc_macro_msg7", &CMacroDlg::OnModifyEvent);
    deleteEventButton_ = textButton(l.deleteEventButton, "tc_macro_msg10", &CMacroDlg::OnDeleteEvent);

    const auto list = [this, &o](int id, const QRect& r, const QImage& open, const QImage& closed) {
        const QRect area = Scaled(r);
        auto* view = new CTreeCtrlEx(this, id, o.ListTrans != 0 ? PictureArea(background_, area) : QImage(), open, closed);
        view->setGeometry(area);
        view->SetSkinLook(o.LstBox_bkg_clr, o.LstBox_item_clr, o.LstBox_txt_clr_dn, o.LstBox_txt_clr_nr, o.clrMacFrame);
        return view;
    };
    treeView_ = list(kTreeId, l.tree, LoadPicture(MacroPictureFile(QStringLiteral("open.png"))),
                     LoadPicture(MacroPictureFile(QStringLiteral("close.png"))));
    treeView_->setModel(treeModel_.get());
    treeView_->setAccessibleName(Context().Text("tc_macro_list"));
    eventView_ = list(kEventListId, l.events, {}, {});
    eventView_->setRootIsDecorated(false);
    eventView_->setModel(eventModel_.get());
    eventView_->setAccessibleName(Context().Text("tc_macro_key_list"));

    connect(treeView_, &CTreeCtrlEx::itemClicked, this, [this](int, const QModelIndex& i) { OnTreeClicked(i); });
    connect(treeView_, &CTreeCtrlEx::itemRightClicked, this,
            [this](int, const QModelIndex& i, const QPoint& at) { ShowTreeMenu(i, at); });
    connect(treeView_, &CTreeCtrlEx::renameRequested, this, [this] { RenameSelected(); });
    connect(treeView_, &CTreeCtrlEx::deleteRequested, this, [this] { DeleteSelected(); });
    connect(treeView_, &CTreeCtrlEx::itemDropped, this, [this](int, const QModelIndex& item, const QModelIndex& target) {
        MoveToFolder(treeModel_->ItemOf(item), treeModel_->ItemOf(target));
    });
    connect(eventView_, &CTreeCtrlEx::itemClicked, this, [this] {
        if (recording_)
            setFocus();
    });
    connect(eventView_, &CTreeCtrlEx::itemDoubleClicked, this, [this] { OnModifyEvent(); });
    connect(eventView_, &CTreeCtrlEx::itemRightClicked, this,
            [this](int, const QModelIndex& i, const QPoint& at) { ShowEventMenu(i, at); });
    connect(eventView_, &CTreeCtrlEx::renameRequested, this, [this] { OnModifyEvent(); });
    connect(eventView_, &CTreeCtrlEx::deleteRequested, this, [this] { OnDeleteEvent(); });
    ShowLoopMode(kLoopCount, 1);
}

// ---- State shown ---------------------------------------------------------------------------

const EventRows& CMacroDlg::Rows() const
{
    return eventModel_->Rows();
}

bool CMacroDlg::SaveVisible() const
{
    return saveVisible_;
}

void CMacroDlg::SetSaveVisible(bool visible)
{
    saveVisible_ = visible;
    if (save_)
        save_->setVisible(visible);
}

void CMacroDlg::Message(const QString& text)
{
    if (dialogs_.message)
        dialogs_.message(text);
}

bool CMacroDlg::RefusedWhileRecording()
{
    if (!recording_)
        return false;
    Message(Context().Text("tc_macro_msg17"));
    return true;
}

MacroTreeItem* CMacroDlg::SelectedTreeItem() const
{
    return treeModel_->ItemOf(treeView_->SelectedItem());
}

int CMacroDlg::SelectedRow() const
{
    const QModelIndex selected = eventView_->SelectedItem();
    return selected.isValid() ? selected.row() : -1;
}

void CMacroDlg::SetRows(EventRows rows, int selected)
{
    eventModel_->SetRows(std::move(rows));
    if (selected >= 0 && selected < int(Rows().size()))
        eventView_->SelectItem(eventModel_->index(selected));
}

void CMacroDlg::ClearEvents()
{
    SetRows({});
}

void CMacroDlg::ShowLoopMode(uint32_t mode, int repeatCount)
{
    loopMode_ = mode <= kLoopMode2 ? mode : kLoopCount;
    for (int m = 0; m < 3; ++m)
        loop_[size_t(m)]->setChecked(uint32_t(m) == loopMode_);
    if (loopMode_ == kLoopCount) {
        repeat_->setText(QString::number(repeatCount));
        repeat_->setVisible(!recording_);
    } else {
        repeat_->clear();
        repeat_->hide();
    }
}

void CMacroDlg::LoadMacro(const StMacro& macro)
{
    ShowLoopMode(macro.loopMode, macro.repeatCount);
    SetRows(RowsFromMacro(macro));
}

void CMacroDlg::MarkChanged(uint32_t bits)
{
    if (!current_ || !Macros().Update(*current_, [bits](StMacro& m) { m.flags |= bits; }))
        return;
    SetSaveVisible(true);
}

// ---- The tree --------------------------------------------------------------------------------

void CMacroDlg::RefreshFromProfile()
{
    // A profile read merges the mouse's macros into the library (at the top of the macro
    // folder) without a tree: they join the tree here.
    bool added = false;
    for (const StMacro& macro : Macros().All()) {
        if (tree_.FindMacro(macro.id) != nullptr)
            continue;
        // The item is named after the file the macro went to (it may carry a number).
        const QString file = MacroFilePath(MacroName(macro), macro.id);
        const bool onTop = QFileInfo(file).absolutePath() == QFileInfo(MacroFolder()).absoluteFilePath();
        const QString text = onTop ? QFileInfo(file).completeBaseName() : MacroName(macro);
        tree_.Insert(tree_.Root(), kMacroItem, tree_.FreeChildText(tree_.Root(), kMacroItem, text), macro.id);
        added = true;
    }
    if (added)
        RefreshTree(SelectedTreeItem());
}

void CMacroDlg::RefreshTree(MacroTreeItem* select)
{
    treeModel_->Reset();
    treeView_->RestoreExpansion();
    const QModelIndex index = treeModel_->IndexOf(select);
    for (QModelIndex at = index.parent(); at.isValid(); at = at.parent())
        treeView_->expand(at);
    treeView_->SelectItem(index);
}

void CMacroDlg::SelectTreeItem(MacroTreeItem* item)
{
    const QModelIndex index = treeModel_->IndexOf(item);
    treeView_->SelectItem(index);
    OnTreeClicked(index);
}

void CMacroDlg::SelectEventRow(int row)
{
    eventView_->SelectItem(row >= 0 ? eventModel_->index(row) : QModelIndex());
}

void CMacroDlg::OnTreeClicked(const QModelIndex& index)
{
    if (recording_) {
        setFocus();
        return;
    }
    SetSaveVisible(false);
    current_.reset();
    const MacroTreeItem* item = treeModel_->ItemOf(index);
    const std::optional<StMacro> macro =
        item != nullptr && item->kind == kMacroItem ? Macros().FindById(item->macroId) : std::nullopt;
    if (!macro) {
        ClearEvents();
        return;
    }
    current_ = macro->id;
    LoadMacro(*macro);
}

void CMacroDlg::OnNewMacro()
{
    if (RefusedWhileRecording())
        return;
    MacroTreeItem* selected = SelectedTreeItem();
    if (selected != nullptr && selected->kind == kMacroItem) {
        treeView_->SelectItem({});
        selected = nullptr;
    }
    NewMacroIn(selected);
}

void CMacroDlg::NewMacroIn(MacroTreeItem* parent)
{
    if (const QString full = LibraryFullMessage(); !full.isEmpty()) {
        Message(full);
        return;
    }
    const std::optional<QString> typed = dialogs_.askText(Context().Text("tc_macro_msg11"), kNameLimit);
    if (!typed)
        return;
    const MacroCommandResult result = NewMacro(tree_, parent, *typed);
    if (!result.ok) {
        Message(result.message);
        return;
    }
    ShowAddedMacro(result.item, true);
}

void CMacroDlg::ShowAddedMacro(MacroTreeItem* item, bool unsaved)
{
    RefreshTree(item);
    current_ = item->macroId;
    if (const std::optional<StMacro> macro = Macros().FindById(*current_))
        LoadMacro(*macro);
    SetSaveVisible(unsaved);
}

void CMacroDlg::RenameSelected()
{
    if (RefusedWhileRecording())
        return;
    MacroTreeItem* item = SelectedTreeItem();
    if (item == nullptr)
        return;
    const char* prompt = item->kind == kMacroItem ? "tc_macro_msg11" : "tc_macro_msg13";
    const std::optional<QString> typed = dialogs_.askText(Context().Text(prompt), kNameLimit);
    if (!typed)
        return;
    const MacroCommandResult result = RenameItem(tree_, item, *typed);
    if (!result.ok) {
        Message(result.message);
        return;
    }
    RefreshTree(item);
    if (Context().macrosChanged)
        Context().macrosChanged();
}

void CMacroDlg::OnDeleteItem()
{
    if (RefusedWhileRecording())
        return;
    if (SelectedTreeItem() == nullptr) {
        Message(Context().Text("tc_macro_msg1"));
        return;
    }
    DeleteSelected();
}

void CMacroDlg::DeleteSelected()
{
    if (RefusedWhileRecording())
        return;
    MacroTreeItem* item = SelectedTreeItem();
    if (item == nullptr) {
        Message(DeleteItem(tree_, nullptr).message);
        return;
    }
    if (!dialogs_.confirm(Context().Text("tc_msg6")))
        return;
    const MacroCommandResult result = DeleteItem(tree_, item);
    if (!result.ok) {
        Message(result.message);
        return;
    }
    if (current_ && !Macros().Contains(*current_)) {
        current_.reset();
        SetSaveVisible(false);
    }
    ClearEvents();
    RefreshTree(nullptr);
    AfterMacrosLeft(result.removed);
}

void CMacroDlg::AfterMacrosLeft(const std::vector<uint32_t>& removed)
{
    // Keys bound to the macros that left go back to their defaults: a correction of the
    // current profile, not a setting the user changed. The window then shows the keys again
    // and has them written to the mouse.
    if (const DeviceDescription* device = Context().Device(); device != nullptr && !removed.empty()) {
        Context().port.RepairProfile([device](ProfileRecord& profile) {
            return ResetOrphanedKeys(profile, *device, Macros()) ? Edit::Changed(apply::kKeys, apply::kAll)
                                                                 : Edit::Refused({});
        });
    }
    if (Context().macrosChanged)
        Context().macrosChanged();
}

void CMacroDlg::ImportInto(MacroTreeItem* target)
{
    if (RefusedWhileRecording())
        return;
    const QString path = dialogs_.openMacroFile();
    if (path.isEmpty())
        return;
    const MacroCommandResult result = ImportMacro(tree_, target, path);
    if (!result.ok) {
        Message(result.message);
        return;
    }
    ShowAddedMacro(result.item, false);
}

void CMacroDlg::ExportSelected()
{
    if (RefusedWhileRecording())
        return;
    const MacroTreeItem* item = SelectedTreeItem();
    if (item == nullptr || item->kind != kMacroItem)
        return;
    const QString target = dialogs_.saveMacroFile(QStringLiteral("%1.qxm").arg(SafeFileName(item->text)));
    if (target.isEmpty())
        return;
    if (const MacroCommandResult result = ExportMacro(item, target); !result.ok)
        Message(result.message);
}

void CMacroDlg::MoveToFolder(MacroTreeItem* item, MacroTreeItem* folder)
{
    if (RefusedWhileRecording() || item == nullptr)
        return;
    const MacroCommandResult result = MoveMacro(tree_, item, folder);
    if (!result.ok) {
        if (!result.message.isEmpty())
            Message(result.message);
        return;
    }
    RefreshTree(item);
}

void CMacroDlg::FlushAll()
{
    std::vector<const MacroTreeItem*> walk{tree_.Root()};
    while (!walk.empty()) {
        const MacroTreeItem* at = walk.back();
        walk.pop_back();
        if (at->kind == kMacroItem && Macros().Contains(at->macroId))
            Flush_Dirty_Macro(at);
        for (const auto& child : at->children)
            walk.push_back(child.get());
    }
}

// ---- Menus ---------------------------------------------------------------------------------

void CMacroDlg::ShowMenu(std::vector<MenuEntry> entries, int width, const QPoint& topLeft)
{
    lastMenu_ = entries;
    const AppOptions& o = Context().options;
    CMenuDlg* menu = CMenuDlg::Open(this, std::move(entries), width, topLeft, o.Menu_txt_clr_nr, o.Menu_txt_clr_ov);
    if (menu)
        connect(menu, &CMenuDlg::picked, this, [this](int32_t code) { RunMenuCommand(code); });
}

void CMacroDlg::ShowTreeMenu(const QModelIndex& index, const QPoint& globalPos)
{
    if (RefusedWhileRecording())
        return;
    const MacroTreeItem* item = treeModel_->ItemOf(index);
    const auto entry = [this](const char* key, int id) { return MenuEntry{Context().Text(key), id, {}}; };
    std::vector<MenuEntry> entries;
    if (item == nullptr) {
        current_.reset();
        SetSaveVisible(false);
        ClearEvents();
        entries = {entry("tc_macro_msg5", kMenuNew), entry("tc_macro_msg3", kMenuImport)};
    } else if (item->kind == kFolderItem) {
        entries = {entry("tc_macro_msg5", kMenuNew), entry("tc_macro_msg20", kMenuRename),
                   entry("tc_macro_msg10", kMenuDelete), entry("tc_macro_msg3", kMenuImport)};
    } else {
        entries = {entry("tc_macro_msg4", kMenuExport), entry("tc_macro_msg20", kMenuRename),
                   entry("tc_macro_msg10", kMenuDelete)};
    }
    ShowMenu(std::move(entries), Scaled(kMenuWidth), globalPos + QPoint(2, 2));
}

void CMacroDlg::ShowEventMenu(const QModelIndex& index, const QPoint& globalPos)
{
    if (RefusedWhileRecording() || !index.isValid())
        return;
    ShowMenu({MenuEntry{Context().Text("tc_macro_msg7"), kMenuModifyEvent, {}},
              MenuEntry{Context().Text("tc_macro_msg10"), kMenuDeleteEvent, {}}},
             Scaled(kMenuWidth), globalPos + QPoint(2, 2));
}

void CMacroDlg::RunMenuCommand(int id)
{
    if (id > 0xFFFF) {
        Insert((id >> 16) & 0xFF);
        return;
    }
    MacroTreeItem* selected = SelectedTreeItem();
    MacroTreeItem* folder = selected != nullptr && selected->kind == kFolderItem ? selected : nullptr;
    switch (id) {
    case kMenuNew:
        if (RefusedWhileRecording() || (selected != nullptr && selected->kind == kMacroItem))
            return;
        NewMacroIn(folder);
        return;
    case kMenuExport:
        ExportSelected();
        return;
    case kMenuRename:
        RenameSelected();
        return;
    case kMenuModifyEvent:
        OnModifyEvent();
        return;
    case kMenuDelete:
        DeleteSelected();
        return;
    case kMenuDeleteEvent:
        OnDeleteEvent();
        return;
    case kMenuImport:
        ImportInto(folder);
        return;
    default:
        return;
    }
}

// ---- Recording and events --------------------------------------------------------------------

void CMacroDlg::OnRecord()
{
    if (!recording_) {
        if (!current_) {
            Message(Context().Text("tc_macro_msg1"));
            record_->setChecked(false);
            return;
        }
        recording_ = true;
        record_->setChecked(true);
        record_->SetText(Context().Text("tc_macro_stop"));
        ClearEvents();
        treeView_->SetMouseEnabled(false);
        if (loopMode_ == kLoopCount)
            repeat_->hide();
        qApp->installEventFilter(this);
        setFocus();
        return;
    }
    qApp->removeEventFilter(this);
    recording_ = false;
    record_->setChecked(false);
    record_->SetText(Context().Text("tc_macro_start"));
    treeView_->SetMouseEnabled(true);
    if (loopMode_ == kLoopCount)
        repeat_->show();
    MarkChanged(kMacroDirty);
}

void CMacroDlg::RecordKey(unsigned code, bool up)
{
    if (!recording_ || code == 0)
        return;
    EventRows rows = Rows();
    const size_t before = rows.size();
    const auto outcome = recorder_.Take(rows, code, up, clock_(), autoDelay_, Context().options.MinUIDelay);
    if (outcome == MacroRecorder::Outcome::kFull) {
        Message(Context().Text("tc_macro_msg18"));
        return;
    }
    for (size_t i = before; i < rows.size(); ++i)
        eventModel_->Append(rows[i]);
    if (rows.size() > before)
        eventView_->scrollToBottom();
}

bool CMacroDlg::eventFilter(QObject* watched, QEvent* event)
{
    // While recording, every key transition inside the window belongs to the macro. The mouse
    // keeps working the window: clicks go into a macro through the insert button.
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (!recording_ || !key || !watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != window())
        return TitledPage::eventFilter(watched, event);
    const auto* transition = static_cast<QKeyEvent*>(event);
    if (!transition->isAutoRepeat())
        RecordKey(unsigned(VirtualKeyOf(*transition)), event->type() == QEvent::KeyRelease);
    return true;
}

void CMacroDlg::OnInsert()
{
    if (!current_) {
        Message(Context().Text("tc_macro_msg1"));
        return;
    }
    if (EventListFull(Rows())) {
        Message(Context().Text("tc_macro_msg18"));
        return;
    }
    const auto entry = [this](const char* key, int code) { return MenuEntry{Context().Text(key), code << 16, {}}; };
    std::vector<MenuEntry> entries{entry("tc_macro_msg14", kInsertPress), entry("tc_macro_msg15", kInsertRelease),
                                   entry("tc_macro_msg16", kInsertDelay)};
    const char* clicks[] = {"tc_click", "tc_menu", "tc_middle"};
    for (int bit = 0; bit < 3; ++bit)
        if (kAllowedMouseEventMask & (1u << bit))
            entries.push_back(entry(clicks[bit], kMouseLeft + bit));
    const QRect button = insert_ ? insert_->geometry() : QRect();
    ShowMenu(std::move(entries), button.width() - Scaled(3), mapToGlobal(button.bottomLeft() + QPoint(0, 1)));
}

void CMacroDlg::Insert(int code)
{
    if (!current_) {
        Message(Context().Text("tc_macro_msg1"));
        return;
    }
    if (EventListFull(Rows())) {
        Message(Context().Text("tc_macro_msg18"));
        return;
    }
    const AppOptions& o = Context().options;
    EventRows added;
    bool key = false;
    if (code == kInsertPress || code == kInsertRelease) {
        const std::optional<unsigned> vk = dialogs_.captureKey(Context().Text("tc_msg7"));
        if (!vk)
            return;
        added.push_back({code == kInsertPress ? kRowPress : kRowRelease, *vk});
        key = true;
    } else if (code == kInsertDelay) {
        const std::optional<int> ms =
            dialogs_.askNumber(Context().Text("tc_macro_msg12"), kDelayDigits, o.MinUIDelay, kMacroMaxDelay);
        if (!ms)
            return;
        added.push_back({kRowDelay, TypedDelay(*ms, o.MinDelay)});
    } else if (code >= kMouseLeft && code <= kMouseMiddle) {
        added = {{kRowPress, uint32_t(code)}, {kRowRelease, uint32_t(code)}};
    } else {
        return;
    }
    EventRows rows = Rows();
    const int selected = InsertRows(rows, SelectedRow(), o.InsertBefore != 0, added, key);
    SetRows(std::move(rows), selected);
    if (selected < 0)
        eventView_->scrollToBottom();
    MarkChanged(kMacroEventsChanged);
}

void CMacroDlg::OnModifyEvent()
{
    if (RefusedWhileRecording())
        return;
    const int row = SelectedRow();
    if (row < 0)
        return;
    EventRows rows = Rows();
    EventRow& edited = rows[size_t(row)];
    const AppOptions& o = Context().options;
    if (edited.kind == kRowDelay) {
        const std::optional<int> ms =
            dialogs_.askNumber(Context().Text("tc_macro_msg12"), kDelayDigits, o.MinUIDelay, kMacroMaxDelay);
        if (!ms)
            return;
        edited.value = TypedDelay(*ms, o.MinDelay);
    } else if (edited.kind == kRowMove) {
        const std::optional<QPoint> move = dialogs_.editMove(MoveX(edited.value), MoveY(edited.value));
        if (!move)
            return;
        edited.value = MoveValue(move->x(), move->y());
    } else {
        const std::optional<unsigned> vk = dialogs_.captureKey(Context().Text("tc_msg7"));
        if (!vk)
            return;
        edited.value = *vk;
    }
    SetRows(std::move(rows), row);
    MarkChanged(kMacroEventsChanged);
}

void CMacroDlg::OnDeleteEvent()
{
    if (RefusedWhileRecording())
        return;
    const int row = SelectedRow();
    if (row < 0)
        return;
    EventRows rows = Rows();
    rows.erase(rows.begin() + row);
    const int next = std::min(row, int(rows.size()) - 1);
    SetRows(std::move(rows), next);
    MarkChanged(kMacroEventsChanged);
}

// ---- Options and saving --------------------------------------------------------------------

void CMacroDlg::OnDelayBox()
{
    if (!RefusedWhileRecording())
        autoDelay_ = !autoDelay_;
    delayBox_->setChecked(autoDelay_);
}

void CMacroDlg::OnLoopMode(int mode)
{
    if (RefusedWhileRecording()) {
        ShowLoopMode(loopMode_, repeat_->text().toInt());
        return;
    }
    ShowLoopMode(uint32_t(mode), 1);
    MarkChanged(kMacroOptionsChanged);
}

void CMacroDlg::OnRepeatEdited(const QString& text)
{
    const std::optional<int> count = TypedRepeatCount(text);
    if (!count)
        return;
    if (QString::number(*count) != text) {
        repeat_->setText(QString::number(*count));
        repeat_->setCursorPosition(int(repeat_->text().size()));
    }
    MarkChanged(kMacroOptionsChanged);
}

void CMacroDlg::OnSave()
{
    if (RefusedWhileRecording() || !current_)
        return;
    std::optional<StMacro> macro = Macros().FindById(*current_);
    MacroTreeItem* item = tree_.FindMacro(*current_);
    if (!macro || item == nullptr)
        return;
    if (macro->flags & kMacroOptionsChanged) {
        macro->autoDelay = autoDelay_ ? 1 : 0;
        macro->loopMode = loopMode_;
        if (loopMode_ == kLoopCount)
            macro->repeatCount = uint16_t(TypedRepeatCount(repeat_->text()).value_or(kMacroMinRepeat));
    }
    if (macro->flags & kMacroEventsChanged) {
        EventRows rows = Rows();
        NormaliseRows(rows);
        if (RowsToMacro(rows, *macro) > 0) {
            Log("Capture keycode=0");
            if (Context().options.Debug != 0)
                ShowMessage(QStringLiteral("Warning"), QStringLiteral("Capture keycode=0"));
        }
        SetRows(std::move(rows));
    }
    const StMacro saved = *macro;
    Macros().Update(saved.id, [&saved](StMacro& m) { m = saved; });
    if (!Flush_Dirty_Macro(item)) {
        Message(QStringLiteral("Write macro file failed."));
        return;
    }
    SetSaveVisible(false);
    const std::optional<ProfileRecord> profile = Context().port.CurrentProfile();
    if (Context().options.ApplyNow != 0 && profile && MacroInUse(profile->Key, saved.id))
        Context().port.Post({apply::kKeys, apply::kAll});
}

// ---- Page --------------------------------------------------------------------------------

bool CMacroDlg::CanLeave()
{
    return !RefusedWhileRecording();
}

void CMacroDlg::RefreshTexts()
{
    record_->SetText(Context().Text(recording_ ? "tc_macro_stop" : "tc_macro_start"));
    newButton_->SetText(Context().Text("tc_macro_msg5"));
    deleteButton_->SetText(Context().Text("tc_macro_msg10"));
    modifyButton_->SetText(Context().Text("tc_macro_msg7"));
    deleteEventButton_->SetText(Context().Text("tc_macro_msg10"));
    if (save_)
        save_->SetText(Context().Text("tc_macro_msg19"));
    eventModel_->RefreshTexts();
    update();
}

void CMacroDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Space:
    case Qt::Key_F1:
        event->accept();
        return;
    default:
        TitledPage::keyPressEvent(event);
    }
}

void CMacroDlg::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
}

void CMacroDlg::paintEvent(QPaintEvent* event)
{
    TitledPage::paintEvent(event);
    QPainter painter(this);
    const AppOptions& o = Context().options;
    painter.setPen(ColourOf(o.Txt_clr));
    painter.setFont(font());
    const MacroPageLayout l = LayOutMacroPage(o);
    const auto text = [&painter](const QRect& r, int flags, const QString& t) {
        painter.drawText(Scaled(r), flags | Qt::TextSingleLine, t);
    };
    text(l.treeCaption, Qt::AlignCenter, Context().Text("tc_macro_list"));
    text(l.eventsCaption, Qt::AlignCenter, Context().Text("tc_macro_key_list"));
    text(l.insertCaption, Qt::AlignLeft | Qt::AlignVCenter, Context().Text("tc_macro_loop"));
    // Labels end before the page's right edge, shortened with an ellipsis when they are longer.
    const int labelRight = width() - Scaled(kLabelMargin);
    const auto label = [&painter, labelRight](const QRect& box, const QString& t) {
        QRect area = Scaled(QRect(box.right() + 1 + 8, box.center().y() - 10, 200, 20));
        area.setRight(std::min(area.right(), labelRight));
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         painter.fontMetrics().elidedText(t, Qt::ElideRight, area.width()));
    };
    label(l.delayBox, Context().Text("tc_macro_auto"));
    label(l.loop[kLoopMode2], Context().Text("tc_macro_loop2"));
    label(l.loop[kLoopMode1], Context().Text("tc_macro_loop3"));
    label(l.loop[kLoopCount], Context().Text("tc_macro_loop1"));
    if (o.UIDebug != 0) {
        painter.setPen(Qt::red);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

}  // namespace zorvan
