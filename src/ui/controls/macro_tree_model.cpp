#include "ui/controls/macro_tree_model.h"

#include "skin/picture_cache.h"
#include "ui/controls/tree_ctrl_ex.h"

namespace zorvan {

MacroTreeModel::MacroTreeModel(MacroTree& tree, QObject* parent) : QAbstractItemModel(parent), tree_(tree) {}

void MacroTreeModel::Reset()
{
    beginResetModel();
    // Forget the open folders that left the tree.
    QSet<const MacroTreeItem*> still;
    std::vector<const MacroTreeItem*> walk{tree_.Root()};
    while (!walk.empty()) {
        const MacroTreeItem* at = walk.back();
        walk.pop_back();
        if (open_.contains(at))
            still.insert(at);
        for (const auto& child : at->children)
            walk.push_back(child.get());
    }
    open_ = still;
    endResetModel();
}

MacroTreeItem* MacroTreeModel::ItemOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<MacroTreeItem*>(index.internalPointer()) : nullptr;
}

const MacroTreeItem* MacroTreeModel::Node(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<const MacroTreeItem*>(index.internalPointer()) : tree_.Root();
}

int MacroTreeModel::RowOf(const MacroTreeItem* item) const
{
    const auto& siblings = item->parent->children;
    for (size_t row = 0; row < siblings.size(); ++row)
        if (siblings[row].get() == item)
            return int(row);
    return -1;
}

QModelIndex MacroTreeModel::IndexOf(const MacroTreeItem* item) const
{
    if (item == nullptr || item->parent == nullptr)
        return {};
    const int row = RowOf(item);
    return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<MacroTreeItem*>(item));
}

QModelIndex MacroTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const MacroTreeItem* node = Node(parent);
    if (column != 0 || row < 0 || size_t(row) >= node->children.size())
        return {};
    return createIndex(row, 0, node->children[size_t(row)].get());
}

QModelIndex MacroTreeModel::parent(const QModelIndex& child) const
{
    const MacroTreeItem* item = ItemOf(child);
    return item == nullptr ? QModelIndex() : IndexOf(item->parent);
}

int MacroTreeModel::rowCount(const QModelIndex& parent) const
{
    return parent.column() > 0 ? 0 : int(Node(parent)->children.size());
}

int MacroTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant MacroTreeModel::data(const QModelIndex& index, int role) const
{
    const MacroTreeItem* item = ItemOf(index);
    if (item == nullptr)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return item->text;
    case Qt::DecorationRole: {
        if (item->iconPath.isEmpty())
            return {};
        auto it = icons_.find(item->iconPath);
        if (it == icons_.end())
            it = icons_.insert(item->iconPath, LoadPicture(item->iconPath));
        return it->isNull() ? QVariant() : QVariant(*it);
    }
    case item_roles::kKind:
        return item->kind;
    case item_roles::kValue:
        return uint(item->macroId);
    case item_roles::kExpanded:
        return open_.contains(item);
    default:
        return {};
    }
}

bool MacroTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const MacroTreeItem* item = ItemOf(index);
    if (item == nullptr || role != item_roles::kExpanded)
        return false;
    if (value.toBool())
        open_.insert(item);
    else
        open_.remove(item);
    return true;
}

}  // namespace zorvan
