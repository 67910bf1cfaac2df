#include "ui/pages/macro_event_model.h"

#include "skin/picture_cache.h"
#include "skin/skin_files.h"
#include "ui/controls/tree_ctrl_ex.h"

namespace zorvan {

MacroEventModel::MacroEventModel(QObject* parent) : QAbstractListModel(parent)
{
    for (int kind = 0; kind < int(icons_.size()); ++kind)
        icons_[size_t(kind)] = LoadPicture(SkinFile(EventRowIcon(kind)));
}

void MacroEventModel::SetRows(EventRows rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void MacroEventModel::Append(const EventRow& row)
{
    beginInsertRows({}, int(rows_.size()), int(rows_.size()));
    rows_.push_back(row);
    endInsertRows();
}

void MacroEventModel::RefreshTexts()
{
    if (!rows_.empty())
        emit dataChanged(index(0), index(int(rows_.size()) - 1), {Qt::DisplayRole});
}

int MacroEventModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

QVariant MacroEventModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(rows_.size()))
        return {};
    const EventRow& row = rows_[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return EventRowText(row);
    case Qt::DecorationRole:
        return icons_[size_t(row.kind & 3)];
    case item_roles::kKind:
        return 1;
    case item_roles::kValue:
        return uint(row.value);
    case item_roles::kSubKind:
        return row.kind;
    default:
        return {};
    }
}

}  // namespace zorvan
