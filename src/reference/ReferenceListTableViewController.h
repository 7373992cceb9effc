#pragma once

#include "catalogue/ReferenceListQuery.h"
#include "reference/ReferenceListModel.h"
#include "toolkit/ViewController.h"

class QToolButton;

namespace quillon {

class SearchBar;
class TableView;
class UndoNotice;
struct Services;

// One reference list: search, sort direction, delete, the add button and a tap on an entry to
// edit it. Returns from the add and edit screens refetch.
class ReferenceListTableViewController : public ViewController {
    Q_OBJECT
public:
    ReferenceListTableViewController(const ReferenceMember& member, Services& services,
                                     QWidget* parent = nullptr);

    void viewDidLoad() override;
    void viewDidDisappear() override;
    void prepareForSegue(const QString& identifier, ViewController* destination) override;

    void fetchList();
    void filterList();
    void SortButtonTapped();
    void AddButtonTapped();
    // Deletes the row's entry and saves at once; a failed save leaves it listed.
    void deleteRow(int row);
    // Brings back the last entry of this list deleted since the program started (Ctrl+Z, the
    // "Undo" bar). False when there was no delete to take back.
    bool undoDelete();
    void selectRow(int row);

    const ReferenceMember& member() const { return member_; }
    const ReferenceListQuery& query() const { return query_; }
    SearchBar* searchBar() const { return searchBar_; }
    TableView* tableView() const { return table_; }
    QToolButton* SortButton() const { return sortButton_; }
    QToolButton* AddButton() const { return addButton_; }
    UndoNotice* undoNotice() const { return undoNotice_; }
    bool DarkMode = false;

private:
    void reloadTable();
    void refetchKeepingSearch();

    const ReferenceMember& member_;
    Services& services_;
    ManagedObjectContext& context;
    ReferenceListQuery query_;
    ReferenceListModel model_;
    SearchBar* searchBar_;
    TableView* table_;
    QToolButton* sortButton_;
    QToolButton* addButton_;
    UndoNotice* undoNotice_;
    int selectedRow_ = -1;
};

class GenreReferenceListTableViewController : public ReferenceListTableViewController {
    Q_OBJECT
public:
    explicit GenreReferenceListTableViewController(Services& services, QWidget* parent = nullptr)
        : ReferenceListTableViewController(kGenreMember, services, parent) {}
};

class RatingReferenceListTableViewController : public ReferenceListTableViewController {
    Q_OBJECT
public:
    explicit RatingReferenceListTableViewController(Services& services, QWidget* parent = nullptr)
        : ReferenceListTableViewController(kRatingMember, services, parent) {}
};

}  // namespace quillon
