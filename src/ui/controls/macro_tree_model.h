#pragma once
// The macro tree (folders and macros, macro_tree.h) as an item model for CTreeCtrlEx: text,
// kind, macro id, the folder's icon picture and whether the folder is open. The tree is changed
// by the macro commands; the page then calls Reset().
#include "macro/macro_tree.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QImage>
#include <QSet>

namespace zorvan {

class MacroTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit MacroTreeModel(MacroTree& tree, QObject* parent = nullptr);

    MacroTree& Tree() { return tree_; }
    // The tree changed: every view shows it again (open folders stay open).
    void Reset();

    MacroTreeItem* ItemOf(const QModelIndex& index) const;
    QModelIndex IndexOf(const MacroTreeItem* item) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    const MacroTreeItem* Node(const QModelIndex& index) const;
    int RowOf(const MacroTreeItem* item) const;

    MacroTree& tree_;
    QSet<const MacroTreeItem*> open_;
    mutable QHash<QString, QImage> icons_;
};

}  // namespace zorvan
