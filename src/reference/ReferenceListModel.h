#pragma once

#include <QAbstractListModel>

#include "catalogue/ReferenceListQuery.h"
#include "toolkit/TableView.h"

namespace quillon {

// Rows of a reference list over its query: the entry's text as the one label of the row.
class ReferenceListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ReferenceListModel(ReferenceListQuery& query, QObject* parent = nullptr)
        : QAbstractListModel(parent), query_(query) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The query's rows changed wholesale (fetch, filter).
    void reload();
    // Removes one row of the feeding array.
    void removeRow(int row);

private:
    ReferenceListQuery& query_;
};

// The row view of a reference list: the list-row look with one label, named after the member
// ("GenreLabel", "RatingLabel").
class ReferenceListTableViewCell : public ListRowDelegate {
    Q_OBJECT
public:
    ReferenceListTableViewCell(const ReferenceMember& member, TableView* table);
};

}  // namespace quillon
