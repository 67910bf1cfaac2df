#include "ui/controls/tree_ctrl_ex.h"

#include "skin/colour.h"
#include "skin/display_scale.h"
#include "skin/fonts.h"
#include "skin/picture_ops.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace zorvan {
namespace {

constexpr int kIconBoxWidth = 18;
constexpr int kTextRightMargin = 5;

// Every row is the item height high.
class RowHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    int height = 20;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return QSize(option.rect.width(), height);
    }
};

QRgb Opaque(int32_t colour)
{
    return ColourOf(colour).rgb() | 0xFF000000u;
}

}  // namespace

CTreeCtrlEx::CTreeCtrlEx(QWidget* parent, int id, const QImage& background, const QImage& openFolder,
                         const QImage& closedFolder)
    : QTreeView(parent), id_(id), background_(background), openFolder_(openFolder), closedFolder_(closedFolder)
{
    setHeaderHidden(true);
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(false);
    setItemsExpandable(true);
    setMouseTracking(true);
    setIndentation(Scaled(kIconBoxWidth + 1));
    setFont(ShellFont(Scaled(15), 600));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    setItemDelegate(new RowHeightDelegate(this));
    SetLook(look_);
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& i) {
        if (model())
            model()->setData(i, true, item_roles::kExpanded);
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& i) {
        if (model())
            model()->setData(i, false, item_roles::kExpanded);
    });
}

void CTreeCtrlEx::SetLook(const Look& look)
{
    look_ = look;
    look_.itemHeight = std::max(look.itemHeight, 1);
    if (auto* rows = dynamic_cast<RowHeightDelegate*>(itemDelegate()))
        rows->height = look_.itemHeight;
    doItemsLayout();
    viewport()->update();
}

void CTreeCtrlEx::SetSkinLook(int32_t background, int32_t selectedFill, int32_t selectedText, int32_t normalText,
                              int32_t frame)
{
    Look look = look_;
    look.background = Opaque(background);
    look.selectedFill = Opaque(selectedFill);
    look.selectedText = ColourOf(selectedText);
    look.normalText = ColourOf(normalText);
    look.frame = frame;
    look.itemHeight = IsFourK() ? 38 : 20;
    SetLook(look);
}

void CTreeCtrlEx::SetMouseEnabled(bool enabled)
{
    mouseEnabled_ = enabled;
    dragging_ = false;
    dragItem_ = QPersistentModelIndex();
}

QModelIndex CTreeCtrlEx::SelectedItem() const
{
    const QModelIndexList selected = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    return selected.isEmpty() ? QModelIndex() : selected.first();
}

void CTreeCtrlEx::SelectItem(const QModelIndex& index)
{
    Select(index);
    if (index.isValid())
        scrollTo(index);
}

void CTreeCtrlEx::Select(const QModelIndex& index)
{
    if (!selectionModel())
        return;
    if (index.isValid())
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    else
        selectionModel()->clear();
    viewport()->update();
}

void CTreeCtrlEx::ToggleExpand(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    setExpanded(index, !isExpanded(index));
}

void CTreeCtrlEx::RestoreExpansion()
{
    Walk(QModelIndex(),
         [this](const QModelIndex& i) {
             if (i.data(item_roles::kExpanded).toBool())
                 expand(i);
             return false;
         },
         true);
}

bool CTreeCtrlEx::Walk(const QModelIndex& start, const std::function<bool(const QModelIndex&)>& visit,
                       bool recursive) const
{
    const QAbstractItemModel* m = model();
    if (m == nullptr)
        return false;
    for (int row = 0; row < m->rowCount(start); ++row) {
        const QModelIndex child = m->index(row, 0, start);
        if (recursive && m->rowCount(child) > 0 && Walk(child, visit, true))
            return true;
        if (visit(child))
            return true;
    }
    return false;
}

bool CTreeCtrlEx::FolderAllowedUnder(const QModelIndex& parent)
{
    if (!parent.isValid())
        return true;
    if (parent.data(item_roles::kKind).toInt() != 2)
        return false;
    int ancestors = 0;
    for (QModelIndex at = parent.parent(); at.isValid(); at = at.parent())
        ++ancestors;
    return ancestors < kMaxFolderDepth;
}

QModelIndex CTreeCtrlEx::FindTopLevel(const QString& text) const
{
    QModelIndex found;
    if (model() == nullptr)
        return found;
    for (int row = 0; row < model()->rowCount(); ++row) {
        const QModelIndex i = model()->index(row, 0);
        if (i.data().toString().compare(text, Qt::CaseInsensitive) == 0)
            return i;
    }
    return found;
}

int CTreeCtrlEx::Depth(const QModelIndex& index) const
{
    int depth = 0;
    for (QModelIndex at = index.parent(); at.isValid(); at = at.parent())
        ++depth;
    return depth;
}

int CTreeCtrlEx::ItemLeft(const QModelIndex& index) const
{
    return (Depth(index) + (rootIsDecorated() ? 1 : 0)) * indentation();
}

void CTreeCtrlEx::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(viewport());
        if (!background_.isNull())
            painter.drawImage(viewport()->rect(), background_);
        else
            painter.fillRect(viewport()->rect(), QColor::fromRgba(look_.background));
    }
    QTreeView::paintEvent(event);
    if (look_.frame != 0) {
        QPainter painter(viewport());
        painter.setPen(ColourOf(look_.frame));
        painter.drawRect(viewport()->rect().adjusted(0, 0, -1, -1));
    }
}

void CTreeCtrlEx::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRect row(0, option.rect.top(), viewport()->width(), option.rect.height());
    const bool selected = selectionModel() && selectionModel()->isSelected(index);
    if (selected)
        painter->fillRect(row, QColor::fromRgba(look_.selectedFill));
    else if (look_.hoverHighlight && index == hot_)
        painter->fillRect(row, QColor::fromRgba(look_.hoverFill));

    const int left = ItemLeft(index);
    const bool folder = index.data(item_roles::kKind).toInt() == 2;
    if (folder) {
        const QImage& picture = isExpanded(index) ? openFolder_ : closedFolder_;
        if (!picture.isNull()) {
            const QRect indent(left - indentation(), row.top(), indentation(), row.height());
            const QSize size = SkinSize(picture).boundedTo(indent.size());
            painter->drawImage(QRect(QPoint(0, 0), size).translated(indent.center() - QPoint(size.width() / 2, size.height() / 2)),
                               picture);
        }
    }
    const QRect iconBox(left, row.top() + (row.height() - std::min(row.height(), Scaled(kIconBoxWidth))) / 2,
                        Scaled(kIconBoxWidth), std::min(row.height(), Scaled(kIconBoxWidth)));
    const QImage icon = qvariant_cast<QImage>(index.data(Qt::DecorationRole));
    if (!icon.isNull()) {
        const QSize size = SkinSize(icon).scaled(SkinSize(icon).boundedTo(iconBox.size()), Qt::KeepAspectRatio);
        painter->drawImage(QRect(iconBox.center() - QPoint(size.width() / 2 - 1, size.height() / 2 - 1), size), icon);
    }
    const int textLeft = iconBox.right() + 1 + Scaled(look_.textIndent) + (folder ? 2 * Scaled(look_.iconSpacing) : 0);
    const QRect text(textLeft, row.top(), viewport()->width() - Scaled(kTextRightMargin) - textLeft, row.height());
    painter->setFont(font());
    painter->setPen(selected ? look_.selectedText : look_.normalText);
    const QString elided = painter->fontMetrics().elidedText(index.data().toString(), Qt::ElideRight, text.width());
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
    if (look_.debugOutlines) {
        painter->setPen(Qt::red);
        painter->drawRect(row.adjusted(0, 0, -1, -1));
        painter->setPen(Qt::green);
        painter->drawRect(iconBox.adjusted(0, 0, -1, -1));
        painter->setPen(Qt::blue);
        painter->drawRect(text.adjusted(0, 0, -1, -1));
    }
}

void CTreeCtrlEx::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    const QPoint pos = event->position().toPoint();
    const QModelIndex hit = indexAt(pos);
    if (!mouseEnabled_) {
        // Nothing is selected; the owner still hears of the context menu asked for, to say why
        // there is none.
        if (event->button() == Qt::RightButton)
            emit itemRightClicked(id_, hit, event->globalPosition().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton) {
        const bool same = hit == SelectedItem();
        Select(hit);
        setFocus(Qt::MouseFocusReason);
        if (hit.isValid() && model()->hasChildren(hit) && pos.x() < ItemLeft(hit))
            ToggleExpand(hit);
        dragItem_ = hit.isValid() && hit.data(item_roles::kKind).toInt() == 1 ? QPersistentModelIndex(hit)
                                                                               : QPersistentModelIndex();
        dragStart_ = pos;
        if (!(same && kNotifyOnlyOnChange))
            emit itemClicked(id_, hit);
    } else if (event->button() == Qt::RightButton) {
        Select(hit);
        emit itemRightClicked(id_, hit, event->globalPosition().toPoint());
    }
}

void CTreeCtrlEx::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (!mouseEnabled_ || event->button() != Qt::LeftButton)
        return;
    const QModelIndex hit = indexAt(event->position().toPoint());
    Select(hit);
    if (!hit.isValid())
        return;
    ToggleExpand(hit);
    emit itemDoubleClicked(id_, hit);
}

void CTreeCtrlEx::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const bool dropping = dragging_ && mouseEnabled_ && dragItem_.isValid();
    const QModelIndex item = dragItem_;
    dragging_ = false;
    dragItem_ = QPersistentModelIndex();
    unsetCursor();
    if (!dropping)
        return;
    QModelIndex target = indexAt(event->position().toPoint());
    if (target.isValid() && target.data(item_roles::kKind).toInt() != 2)
        target = target.parent();
    if (target != item.parent())
        emit itemDropped(id_, item, target);
}

void CTreeCtrlEx::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    SetHot(indexAt(pos));
    if (mouseEnabled_ && dragItem_.isValid() && (event->buttons() & Qt::LeftButton) && !dragging_ &&
        (pos - dragStart_).manhattanLength() >= QApplication::startDragDistance()) {
        dragging_ = true;
        setCursor(Qt::DragMoveCursor);
    }
    event->accept();
}

void CTreeCtrlEx::leaveEvent(QEvent* event)
{
    SetHot(QModelIndex());
    QTreeView::leaveEvent(event);
}

void CTreeCtrlEx::SetHot(const QModelIndex& index)
{
    if (index == hot_)
        return;
    hot_ = index;
    if (look_.hoverHighlight)
        viewport()->update();
}

void CTreeCtrlEx::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex selected = SelectedItem();
    switch (event->key()) {
    case Qt::Key_F2:
        if (selected.isValid())
            emit renameRequested(id_, selected);
        event->accept();
        return;
    case Qt::Key_Delete:
        if (selected.isValid())
            emit deleteRequested(id_, selected);
        event->accept();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        QTreeView::keyPressEvent(event);
        const QModelIndex now = currentIndex();
        if (now.isValid() && now != selected) {
            Select(now);
            emit itemClicked(id_, now);
        }
        return;
    }
    default:
        event->ignore();
    }
}

bool CTreeCtrlEx::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = indexAt(help->pos()).data().toString();
        if (text.size() > kTipLength)
            QToolTip::showText(help->globalPos(), text, viewport());
        else
            QToolTip::hideText();
        return true;
    }
    return QTreeView::viewportEvent(event);
}

}  // namespace zorvan
