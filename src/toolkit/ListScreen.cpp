#include "toolkit/ListScreen.h"

#include <QToolButton>
#include <QVBoxLayout>

#include "toolkit/Appearance.h"
#include "toolkit/SearchBar.h"
#include "toolkit/SortButton.h"
#include "toolkit/TableView.h"
#include "toolkit/UndoNotice.h"

namespace quillon {

ListScreen::ListScreen(ListScreenLayout layout, QWidget* parent)
    : ViewController(parent),
      layout_(std::move(layout)),
      model_(*this, layout_.readOutIsToolTip),
      column_(new QVBoxLayout(this)),
      searchBar_(new SearchBar),
      table_(new TableView),
      sortButton_(new QToolButton) {
    column_->setContentsMargins(4, 4, 4, 4);
    column_->addWidget(searchBar_);
    if (layout_.header == ListHeader::Counts) header_ = new ListHeaderLabel;
    if (layout_.header == ListHeader::SectionTitle) header_ = new QLabel;
    if (header_) {
        header_->setObjectName("header");
        header_->setAlignment(Qt::AlignCenter);
        header_->setTextFormat(Qt::PlainText);
        column_->addWidget(header_);
    }
    column_->addWidget(table_, 1);
    if (layout_.deletes) {
        undoNotice_ = new UndoNotice(this);
        column_->addWidget(undoNotice_);
    }
    if (!layout_.rowViewName.isEmpty()) table_->itemDelegate()->setObjectName(layout_.rowViewName);
    table_->setAccessibleName(layout_.listName);
    table_->setRowHeight(layout_.rowHeight);
    table_->setRowsDeletable(layout_.deletes);
    table_->setThumbnailWidth(layout_.thumbnailWidth);
    sortButton_->setObjectName("SortButton");
    sortButton_->setText("Sort");
    sortButton_->setIcon(QIcon::fromTheme("view-sort"));
    if (layout_.sortButtonInNavigationBar) addRightBarButton(sortButton_);
}

void ListScreen::attachModel() {
    table_->setModel(&model_);
}

void ListScreen::viewDidLoad() {
    connect(searchBar_, &QLineEdit::textChanged, this, [this] { updateSearchResults(); });
    connect(sortButton_, &QToolButton::clicked, this, [this] { SortButtonTapped(); });
    connect(table_, &TableView::rowSelected, this, &ListScreen::selectRow);
    if (undoNotice_) {
        connect(table_, &TableView::deleteRequested, this, &ListScreen::deleteRow);
        undoNotice_->setUndoAction([this] { return undoDelete(); });
        undoNotice_->takeUndoKeyFrom(searchBar_);
    }
    startAscending();
    showSortDirection(sortButton_, true);
    loadRows();
    DarkMode = appearance::isDarkAppearance();
    table_->setDarkMode(DarkMode);
}

void ListScreen::updateSearchResults() {
    searchRows(searchBar_->text());
    reloadTable();
}

void ListScreen::SortButtonTapped() {
    showSortDirection(sortButton_, flipSort());
    reloadTable();
}

void ListScreen::selectRow(int row) {
    if (row >= 0 && row < rowCount()) rowPicked(row);
}

void ListScreen::reloadTable() {
    model_.reload();
    showHeader();
    tableReloaded();
}

void ListScreen::showHeader() {
    if (header_) header_->setText(headerText());
}

void ListScreen::deleteRow(int row) {
    if (!undoNotice_ || row < 0 || row >= rowCount()) return;
    const std::optional<QString> notice = deleteRecord(row);
    if (!notice) {
        // The alert is up and the delete taken back: the row is listed again.
        reloadTable();
        return;
    }
    table_->fadeRow(row);
    model_.takeRow(row, [&] { removeShownRow(row); });
    showHeader();
    undoNotice_->present(*notice);
}

bool ListScreen::undoDelete() {
    if (!undoNotice_) return false;
    undoNotice_->dismiss();
    const Undone undone = undoRecordDelete();
    if (undone.restored) {
        reloadTable();
        table_->revealRow(undone.row);
    }
    // A refused save was tried: the alert says why.
    return undone.tried;
}

}  // namespace quillon
