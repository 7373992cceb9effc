#include "toolkit/RowsAccessible.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QListView>
#include <QPersistentModelIndex>
#include <QPointer>

namespace quillon {

namespace {

// One row, bound to its item: it follows the item when rows come and go, and turns invalid
// when the item is gone.
class RowAccessible : public QAccessibleInterface,
                      public QAccessibleActionInterface,
                      public QAccessibleTableCellInterface {
public:
    RowAccessible(QListView* view, RowOpener* opener, const QModelIndex& index)
        : view_(view), opener_(opener), index_(index) {}

    bool isValid() const override { return view_ && index_.isValid(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(view_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (t == QAccessible::Description)
            return index_.data(Qt::AccessibleDescriptionRole).toString();
        if (t != QAccessible::Name) return {};
        const QString readOut = index_.data(Qt::AccessibleTextRole).toString();
        return readOut.isEmpty() ? index_.data(Qt::DisplayRole).toString() : readOut;
    }

    QRect rect() const override {
        if (!isValid()) return {};
        // The part in sight: a row may be wider than a narrow list.
        const QRect row = view_->visualRect(index_);
        const QRect shown = row & view_->viewport()->rect();
        const QRect box = shown.isEmpty() ? row : shown;
        return QRect(view_->viewport()->mapToGlobal(box.topLeft()), box.size());
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) return state;
        state.selectable = true;
        state.focusable = true;
        state.selected = isSelected();
        state.focused = view_->hasFocus() && view_->currentIndex() == index_;
        state.disabled = !index_.flags().testFlag(Qt::ItemIsEnabled);
        if (!view_->viewport()->rect().intersects(view_->visualRect(index_))) {
            state.offscreen = true;
            state.invisible = true;
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override {
        if (!isValid() || !index_.flags().testFlag(Qt::ItemIsEnabled)) return {};
        return {pressAction(), setFocusAction()};
    }
    void doAction(const QString& action) override {
        if (!actionNames().contains(action)) return;
        if (action == pressAction()) opener_->openRow(index_.row());
        if (action == setFocusAction()) {
            view_->setFocus(Qt::OtherFocusReason);
            view_->setCurrentIndex(index_);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    bool isSelected() const override {
        return isValid() && view_->selectionModel() && view_->selectionModel()->isSelected(index_);
    }
    int rowIndex() const override { return index_.row(); }
    int columnIndex() const override { return 0; }
    int rowExtent() const override { return 1; }
    int columnExtent() const override { return 1; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    QAccessibleInterface* table() const override { return parent(); }

    const QPersistentModelIndex& index() const { return index_; }

private:
    QPointer<QListView> view_;
    RowOpener* opener_;
    QPersistentModelIndex index_;
};

// The list: its rows are its children. A row's interface is made when first asked for and kept
// while it stands for the same item at that place.
class ListAccessible : public QAccessibleWidget {
public:
    ListAccessible(QListView* view, RowOpener* opener)
        : QAccessibleWidget(view, QAccessible::List), opener_(opener) {}
    ~ListAccessible() override {
        for (QAccessible::Id id : std::as_const(rows_)) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override {
        return view()->model() ? view()->model()->rowCount(view()->rootIndex()) : 0;
    }

    QAccessibleInterface* child(int row) const override {
        if (row < 0 || row >= childCount()) return nullptr;
        const QModelIndex index =
            view()->model()->index(row, view()->modelColumn(), view()->rootIndex());
        if (const auto known = rows_.constFind(row); known != rows_.cend()) {
            auto* kept = static_cast<RowAccessible*>(QAccessible::accessibleInterface(*known));
            if (kept && kept->index() == index) return kept;
            QAccessible::deleteAccessibleInterface(*known);
        }
        auto* made = new RowAccessible(view(), opener_, index);
        rows_.insert(row, QAccessible::registerAccessibleInterface(made));
        return made;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* row = dynamic_cast<const RowAccessible*>(child);
        return row && row->parent() == this ? row->index().row() : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        const QModelIndex index = view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
        return index.isValid() ? child(index.row()) : nullptr;
    }

    QAccessibleInterface* focusChild() const override {
        const QModelIndex current = view()->currentIndex();
        return view()->hasFocus() && current.isValid() ? child(current.row()) : nullptr;
    }

private:
    QListView* view() const { return static_cast<QListView*>(widget()); }

    RowOpener* opener_;
    mutable QHash<int, QAccessible::Id> rows_;
};

QAccessibleInterface* rowsAccessible(const QString&, QObject* object) {
    auto* view = qobject_cast<QListView*>(object);
    auto* opener = dynamic_cast<RowOpener*>(object);
    return view && opener ? new ListAccessible(view, opener) : nullptr;
}

}  // namespace

void installRowsAccessible() {
    static const bool installed = (QAccessible::installFactory(rowsAccessible), true);
    Q_UNUSED(installed);
}

}  // namespace quillon
