#pragma once
// CTreeCtrlEx: the owner-drawn tree list of the macro page and the macro picker, over any item
// model that gives the roles below. It draws its own background (a colour or a picture), the
// selected row, the folder pictures (open or closed), the items' icons and texts and a frame,
// and handles the mouse itself: a left press selects the item under the pointer (or none) and
// reports it, a double click on an item toggles it and reports it, a right press selects and
// reports it for a context menu. Button releases do nothing but end a drag: a macro item
// dragged onto a folder (or empty space: the top level) is reported as a drop. Keys: the arrows
// and Home/End move the selection (reported as a click), F2 asks for a rename, Delete for a
// deletion; other keys are left to the page.
#include <QImage>
#include <QPersistentModelIndex>
#include <QTreeView>

#include <cstdint>
#include <functional>

namespace zorvan {

// The roles a model gives the tree.
namespace item_roles {
constexpr int kKind = Qt::UserRole + 1;     // int: 1 item, 2 folder
constexpr int kValue = Qt::UserRole + 2;    // uint: macro id, event value
constexpr int kSubKind = Qt::UserRole + 3;  // int: the event kind of an event row
constexpr int kExpanded = Qt::UserRole + 4; // bool, settable: the folder is open
}  // namespace item_roles

class CTreeCtrlEx : public QTreeView {
    Q_OBJECT
public:
    // Items deeper than this many ancestors take no sub-folder.
    static constexpr int kMaxFolderDepth = 5;
    static constexpr int kTipLength = 12;  // longer texts show as a tooltip
    // A left press is reported only when it changes the selection.
    static constexpr bool kNotifyOnlyOnChange = true;

    struct Look {
        QRgb background = 0xFF000000;
        QRgb selectedFill = 0x96FFFFFF;
        QRgb hoverFill = 0xFF000000;
        QColor selectedText = Qt::white;
        QColor normalText = Qt::white;
        int32_t frame = 0x646464;  // red in the low byte; 0 draws no frame
        int itemHeight = 20;
        int iconSpacing = 2;
        int textIndent = 5;
        bool hoverHighlight = false;
        bool debugOutlines = false;
    };

    // `id` comes back with every notice; `background` (optional) is drawn stretched instead of
    // the background colour; the folder pictures are drawn left of folder items.
    CTreeCtrlEx(QWidget* parent, int id, const QImage& background = {}, const QImage& openFolder = {},
                const QImage& closedFolder = {});

    int Id() const { return id_; }
    void SetLook(const Look& look);
    // The colours of the options (list colours and frame), opaque; item height 38 in 4K mode.
    void SetSkinLook(int32_t background, int32_t selectedFill, int32_t selectedText, int32_t normalText, int32_t frame);

    // While disabled a click changes nothing (the macro page while it records): no selection,
    // no opening, no drag; a right press is still reported, so that the owner can say why no
    // menu opens.
    void SetMouseEnabled(bool enabled);
    bool MouseEnabled() const { return mouseEnabled_; }

    QModelIndex SelectedItem() const;
    // Selects `index` (or nothing for an invalid one) and scrolls it into view; no notice.
    void SelectItem(const QModelIndex& index);
    // Flips the item's open state.
    void ToggleExpand(const QModelIndex& index);
    // The open state of every folder as the model keeps it (after the model was reset).
    void RestoreExpansion();

    // Calls `visit` for every child of `start` (the top level for an invalid index) in order,
    // first descending into children that have children when `recursive`. Stops as soon as
    // `visit` returns true, and then returns true.
    bool Walk(const QModelIndex& start, const std::function<bool(const QModelIndex&)>& visit, bool recursive) const;

    // May a folder go under `parent`? Not when the parent already has kMaxFolderDepth
    // ancestors, nor under an item that is not a folder.
    static bool FolderAllowedUnder(const QModelIndex& parent);

    // The first top-level item with this text, case-insensitive.
    QModelIndex FindTopLevel(const QString& text) const;

signals:
    void itemClicked(int id, const QModelIndex& item);        // may be invalid: empty space
    void itemDoubleClicked(int id, const QModelIndex& item);
    void itemRightClicked(int id, const QModelIndex& item, const QPoint& globalPos);
    void renameRequested(int id, const QModelIndex& item);
    void deleteRequested(int id, const QModelIndex& item);
    void itemDropped(int id, const QModelIndex& item, const QModelIndex& target);

protected:
    void paintEvent(QPaintEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    // Left edge of an item's icon box in the viewport.
    int ItemLeft(const QModelIndex& index) const;
    int Depth(const QModelIndex& index) const;
    void Select(const QModelIndex& index);
    void SetHot(const QModelIndex& index);

    int id_;
    Look look_;
    QImage background_;
    QImage openFolder_;
    QImage closedFolder_;
    bool mouseEnabled_ = true;
    QPersistentModelIndex hot_;
    QPersistentModelIndex dragItem_;
    QPoint dragStart_;
    bool dragging_ = false;
};

}  // namespace zorvan
