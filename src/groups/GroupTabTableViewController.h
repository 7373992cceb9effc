#pragma once

#include <QAbstractListModel>

#include "catalogue/GroupTabQuery.h"
#include "toolkit/ViewController.h"

class QLabel;
class QToolButton;

namespace quillon {

class SearchBar;
class TableView;
struct Services;

// Rows of a group tab: the value and its live count, asked of the store each time a row is
// drawn.
class GroupTabModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit GroupTabModel(GroupTabQuery& query, QObject* parent = nullptr)
        : QAbstractListModel(parent), query_(query) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void reload();

private:
    GroupTabQuery& query_;
};

// One group tab: the distinct values of its attributes with their counts, search, sort and a
// pick that opens the value's breakdown. The tab container hides the navigation bar, so the tab
// carries its own bar: the way back to the menu, its title and the sort button.
class GroupTabTableViewController : public ViewController {
    Q_OBJECT
public:
    GroupTabTableViewController(const GroupTab& tab, Services& services, QWidget* parent = nullptr);
    // The named member of the kind.
    static GroupTabTableViewController* create(GroupKind kind, Services& services);

    void viewDidLoad() override;

    void loadValues();
    void updateSearchResults();
    void SortButtonTapped();
    void UnwindSegue();
    // Writes the row's value into the selection, then opens the member's breakdown.
    void selectRow(int row);

    const GroupTab& tab() const { return tab_; }
    const GroupTabQuery& query() const { return query_; }
    SearchBar* searchBar() const { return searchBar_; }
    TableView* tableView() const { return table_; }
    QLabel* header() const { return header_; }
    QToolButton* SortButton() const { return sortButton_; }
    QToolButton* backButton() const { return backButton_; }
    bool DarkMode = false;

private:
    void reloadTable();

    const GroupTab& tab_;
    Services& services_;
    GroupTabQuery query_;
    GroupTabModel model_;
    QToolButton* backButton_;
    QToolButton* sortButton_;
    SearchBar* searchBar_;
    QLabel* header_;
    TableView* table_;
};

class GenreTabTableViewController : public GroupTabTableViewController {
    Q_OBJECT
public:
    explicit GenreTabTableViewController(Services& services, QWidget* parent = nullptr)
        : GroupTabTableViewController(groupTab(GroupKind::Genre), services, parent) {}
};

class ActorTabTableViewController : public GroupTabTableViewController {
    Q_OBJECT
public:
    explicit ActorTabTableViewController(Services& services, QWidget* parent = nullptr)
        : GroupTabTableViewController(groupTab(GroupKind::Actor), services, parent) {}
};

class ActressTabTableViewController : public GroupTabTableViewController {
    Q_OBJECT
public:
    explicit ActressTabTableViewController(Services& services, QWidget* parent = nullptr)
        : GroupTabTableViewController(groupTab(GroupKind::Actress), services, parent) {}
};

class DirectorTabTableViewController : public GroupTabTableViewController {
    Q_OBJECT
public:
    explicit DirectorTabTableViewController(Services& services, QWidget* parent = nullptr)
        : GroupTabTableViewController(groupTab(GroupKind::Director), services, parent) {}
};

class ProducerTabTableViewController : public GroupTabTableViewController {
    Q_OBJECT
public:
    explicit ProducerTabTableViewController(Services& services, QWidget* parent = nullptr)
        : GroupTabTableViewController(groupTab(GroupKind::Producer), services, parent) {}
};

}  // namespace quillon
