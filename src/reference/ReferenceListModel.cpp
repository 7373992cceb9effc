#include "reference/ReferenceListModel.h"

namespace quillon {

int ReferenceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(query_.rows().size());
}

QVariant ReferenceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const QString text = query_.rowText(index.row());
    if (role == LabelTextsRole) return QStringList{text};
    if (role == Qt::AccessibleTextRole || role == Qt::ToolTipRole) return text;
    return {};
}

void ReferenceListModel::reload() {
    beginResetModel();
    endResetModel();
}

void ReferenceListModel::removeRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    beginRemoveRows({}, row, row);
    query_.removeRow(row);
    endRemoveRows();
}

ReferenceListTableViewCell::ReferenceListTableViewCell(const ReferenceMember& member,
                                                       TableView* table)
    : ListRowDelegate(table) {
    setObjectName(QString::fromLatin1(member.labelName));
}

}  // namespace quillon
