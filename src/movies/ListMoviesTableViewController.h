#pragma once

#include <QPointer>
#include <QTimer>

#include "movies/MovieListModel.h"
#include "movies/MovieListQuery.h"
#include "toolkit/ViewController.h"

class QToolButton;

namespace quillon {

class KeySelector;
class SearchBar;
class TableView;
class ListHeaderLabel;

// The catalogue, one row per movie, with the five-way key selector, search, sort direction and
// delete. Picking a row fills the hand-over state and opens the edit form when there is one.
class ListMoviesTableViewController : public ViewController {
    Q_OBJECT
public:
    explicit ListMoviesTableViewController(QWidget* parent = nullptr);

    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewWillDisappear() override;
    void prepareForSegue(const QString& identifier, ViewController* destination) override;

    void fetchMovies();
    void filterMovies();
    void SortMoviesTapped();
    void segmentedControlAction();
    void unwindToList() { fetchMovies(); }
    void deleteRow(int row);
    void selectRow(int row);

    KeySelector* segment() const { return segment_; }
    SearchBar* searchBar() const { return searchBar_; }
    TableView* tableView() const { return table_; }
    ListHeaderLabel* headerLabel() const { return header_; }
    QToolButton* sortButton() const { return sortButton_; }
    const MovieListQuery& query() const { return query_; }
    bool DarkMode = false;

private:
    void reloadTable();
    void prepareSearchWhileIdle();

    ManagedObjectContext& context;
    MovieListQuery query_;
    MovieListModel model_;
    KeySelector* segment_;
    SearchBar* searchBar_;
    TableView* table_;
    ListHeaderLabel* header_;
    QToolButton* sortButton_;
    int selectedRow_ = -1;
    QTimer* searchPreparation_;
};

}  // namespace quillon
