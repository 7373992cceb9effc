#include "toolkit/RowsModel.h"

#include "toolkit/TableView.h"

namespace quillon {

int RowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_.rowCount();
}

QVariant RowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    switch (role) {
        case LabelTextsRole:
            return rows_.rowLabels(index.row());
        case Qt::DecorationRole:
            return rows_.rowPicture(index.row());
        case Qt::ToolTipRole:
            return readOutIsToolTip_ ? rows_.rowReadOut(index.row()) : QVariant();
        case Qt::AccessibleTextRole:
            return rows_.rowReadOut(index.row());
        case Qt::AccessibleDescriptionRole:
            return rows_.rowReadOutDetail(index.row());
        default:
            return {};
    }
}

void RowsModel::reload() {
    beginResetModel();
    endResetModel();
}

void RowsModel::takeRow(int row, const std::function<void()>& remove) {
    if (row < 0 || row >= rowCount()) return;
    beginRemoveRows({}, row, row);
    remove();
    endRemoveRows();
}

void RowsModel::picturesChanged() {
    if (rowCount() > 0) emit dataChanged(index(0), index(rowCount() - 1), {Qt::DecorationRole});
}

}  // namespace quillon
