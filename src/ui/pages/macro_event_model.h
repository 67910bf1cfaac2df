#pragma once
// The event list of the macro page as an item model for CTreeCtrlEx: one row per event row,
// with its text, its kind's icon and its value.
#include "macro/macro_events.h"

#include <QAbstractListModel>
#include <QImage>

#include <array>

namespace zorvan {

class MacroEventModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit MacroEventModel(QObject* parent = nullptr);

    const EventRows& Rows() const { return rows_; }
    void SetRows(EventRows rows);
    void Append(const EventRow& row);
    // The texts follow the language.
    void RefreshTexts();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    EventRows rows_;
    std::array<QImage, 4> icons_;
};

}  // namespace zorvan
