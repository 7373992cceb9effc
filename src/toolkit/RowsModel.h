#pragma once

#include <QAbstractListModel>
#include <QStringList>
#include <functional>

namespace quillon {

// The rows of a list screen as its table sees them: texts and a picture by row number. The
// toolkit never knows what a row is.
class ListRows {
public:
    virtual int rowCount() const = 0;
    virtual QStringList rowLabels(int row) const = 0;
    // What is read out for the row.
    virtual QString rowReadOut(int row) const = 0;
    // A QImage, or nothing.
    virtual QVariant rowPicture(int row) const {
        Q_UNUSED(row);
        return {};
    }
    // Read out after the row, such as what its picture shows; empty for nothing.
    virtual QString rowReadOutDetail(int row) const {
        Q_UNUSED(row);
        return {};
    }

protected:
    ~ListRows() = default;
};

// Rows of a list screen's table: each row's labels under LabelTextsRole, its picture under
// Qt::DecorationRole, the text read out under Qt::AccessibleTextRole (and Qt::ToolTipRole
// when the list shows it as the row's tool tip), its detail under Qt::AccessibleDescriptionRole.
class RowsModel : public QAbstractListModel {
    Q_OBJECT
public:
    RowsModel(const ListRows& rows, bool readOutIsToolTip, QObject* parent = nullptr)
        : QAbstractListModel(parent), rows_(rows), readOutIsToolTip_(readOutIsToolTip) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The rows changed wholesale (a load, a search).
    void reload();
    // Takes one row away: `remove` takes it out of the rows.
    void takeRow(int row, const std::function<void()>& remove);
    // Any row's picture may have changed (a cover was decoded).
    void picturesChanged();

private:
    const ListRows& rows_;
    bool readOutIsToolTip_;
};

}  // namespace quillon
