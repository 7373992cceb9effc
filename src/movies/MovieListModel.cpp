#include "movies/MovieListModel.h"

#include "toolkit/TableView.h"

namespace quillon {

MovieListModel::MovieListModel(MovieListQuery& query, QObject* parent)
    : QAbstractListModel(parent), query_(query), thumbnails_(QSize(56, 80)) {
    connect(&thumbnails_, &ThumbnailCache::thumbnailReady, this, [this] {
        if (rowCount() > 0) emit dataChanged(index(0), index(rowCount() - 1), {Qt::DecorationRole});
    });
}

int MovieListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(query_.rows().size());
}

QVariant MovieListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Movies& movie = *query_.rows()[index.row()];
    if (role == LabelTextsRole) {
        const MovieRowTexts t = MovieListQuery::rowTexts(movie, query_.segmentIndex);
        return QStringList{t.MovieNameLabel, t.SecondLabel, t.ThirdLabel, t.FourthLabel};
    }
    if (role == Qt::DecorationRole) {
        const QImage thumbnail = thumbnails_.thumbnail(movie);
        return thumbnail.isNull() ? QVariant() : QVariant(thumbnail);
    }
    if (role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
        return MovieListQuery::rowTexts(movie, query_.segmentIndex).MovieNameLabel;
    return {};
}

void MovieListModel::reload() {
    beginResetModel();
    endResetModel();
}

void MovieListModel::removeRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    beginRemoveRows({}, row, row);
    query_.removeRow(row);
    endRemoveRows();
}

}  // namespace quillon
