#pragma once

#include <QAbstractListModel>

#include "catalogue/MovieListQuery.h"
#include "catalogue/ThumbnailCache.h"

namespace quillon {

// Rows of the movie list over a MovieListQuery: label texts under LabelTextsRole and the front
// cover thumbnail under Qt::DecorationRole.
class MovieListModel : public QAbstractListModel {
    Q_OBJECT
public:
    MovieListModel(MovieListQuery& query, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The query's rows changed wholesale (fetch, filter, key switch).
    void reload();
    // Removes one row of the feeding array.
    void removeRow(int row);
    ThumbnailCache& thumbnails() { return thumbnails_; }

private:
    MovieListQuery& query_;
    mutable ThumbnailCache thumbnails_;
};

}  // namespace quillon
