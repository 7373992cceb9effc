#include "reference/ReferenceListTableViewController.h"

#include <QToolButton>
#include <QVBoxLayout>

#include "handover/Services.h"
#include "reference/ReferenceEntryViewControllers.h"
#include "store/DeleteHistory.h"
#include "toolkit/Appearance.h"
#include "toolkit/MainQueue.h"
#include "toolkit/SearchBar.h"
#include "toolkit/SortButton.h"
#include "toolkit/TableView.h"
#include "toolkit/UndoNotice.h"

namespace quillon {

namespace {
constexpr int kRowHeight = 50;

}  // namespace

ReferenceListTableViewController::ReferenceListTableViewController(const ReferenceMember& member,
                                                                   Services& services,
                                                                   QWidget* parent)
    : ViewController(parent),
      member_(member),
      services_(services),
      context(services.context),
      query_(member, context),
      model_(query_),
      searchBar_(new SearchBar),
      table_(new TableView),
      sortButton_(new QToolButton),
      addButton_(new QToolButton),
      undoNotice_(new UndoNotice(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(searchBar_);
    layout->addWidget(table_, 1);
    layout->addWidget(undoNotice_);
    table_->setItemDelegate(new ReferenceListTableViewCell(member_, table_));
    table_->setRowHeight(kRowHeight);
    table_->setModel(&model_);
    sortButton_->setObjectName("SortButton");
    sortButton_->setText("Sort");
    sortButton_->setToolTip("Sort ascending or descending");
    sortButton_->setIcon(QIcon::fromTheme("view-sort"));
    addRightBarButton(sortButton_);
    addButton_->setObjectName("AddButton");
    addButton_->setText("+");
    addButton_->setToolTip(member_.addTitle);
    addRightBarButton(addButton_);
    offerReturnPoint(member_.returnPoint, [this] { fetchList(); });
}

void ReferenceListTableViewController::viewDidLoad() {
    setTitle(member_.listTitle);
    searchBar_->setPlaceholderText(member_.searchPlaceholder);
    connect(searchBar_, &QLineEdit::textChanged, this, [this] { filterList(); });
    connect(sortButton_, &QToolButton::clicked, this, [this] { SortButtonTapped(); });
    connect(addButton_, &QToolButton::clicked, this, [this] { AddButtonTapped(); });
    connect(table_, &TableView::deleteRequested, this,
            &ReferenceListTableViewController::deleteRow);
    connect(table_, &TableView::rowSelected, this, &ReferenceListTableViewController::selectRow);
    undoNotice_->setUndoAction([this] { return undoDelete(); });
    undoNotice_->takeUndoKeyFrom(searchBar_);
    query_.SortAsc = true;
    showSortDirection(sortButton_, true);
    mainQueue::async([this] { fetchList(); }, this);
    DarkMode = appearance::isDarkAppearance();
    table_->setDarkMode(DarkMode);
}

void ReferenceListTableViewController::viewDidDisappear() {
    searchBar_->deactivate();
}

void ReferenceListTableViewController::fetchList() {
    query_.fetchList();
    reloadTable();
}

void ReferenceListTableViewController::filterList() {
    query_.filterList(searchBar_->text());
    reloadTable();
}

void ReferenceListTableViewController::SortButtonTapped() {
    query_.SortAsc = !query_.SortAsc.value_or(true);
    showSortDirection(sortButton_, *query_.SortAsc);
    fetchList();
}

void ReferenceListTableViewController::AddButtonTapped() {
    performSegue(member_.addSegue);
}

void ReferenceListTableViewController::reloadTable() {
    model_.reload();
}

void ReferenceListTableViewController::refetchKeepingSearch() {
    query_.refetchKeepingSearch();
    reloadTable();
}

void ReferenceListTableViewController::deleteRow(int row) {
    const EntryPtr entry = query_.entryAt(row);
    if (!entry) return;
    if (!services_.deletes.deleteAndSave(entry, services_.saveContext)) {
        // The alert is up and the delete taken back: the entry is listed again.
        refetchKeepingSearch();
        return;
    }
    table_->fadeRow(row);
    model_.removeRow(row);
    undoNotice_->present(ReferenceListQuery::deletedNotice(*entry, member_.attribute));
}

bool ReferenceListTableViewController::undoDelete() {
    undoNotice_->dismiss();
    const DeleteHistory::Undo undo =
        services_.deletes.undoLast(member_.entity, services_.saveContext);
    using Outcome = DeleteHistory::Undo::Outcome;
    if (undo.outcome == Outcome::Restored) {
        refetchKeepingSearch();
        table_->revealRow(query_.rowOf(undo.object.get()));
    }
    // A refused save was tried: the alert says why.
    return undo.outcome != Outcome::NothingToUndo;
}

void ReferenceListTableViewController::selectRow(int row) {
    if (!query_.entryAt(row)) return;
    selectedRow_ = row;
    services_.selection.*member_.selectedEntry = query_.rowText(row);
    performSegue(member_.editSegue);
}

void ReferenceListTableViewController::prepareForSegue(const QString& identifier,
                                                       ViewController* destination) {
    if (identifier != member_.editSegue) return;
    services_.selection.CallingScreen = "Master";
    if (auto* edit = qobject_cast<EditReferenceEntryViewController*>(destination))
        edit->setDetailItem(query_.entryAt(selectedRow_));
}

}  // namespace quillon
