#pragma once

#include <QPointer>
#include <QTimer>

#include "catalogue/MovieListQuery.h"
#include "movies/MovieListModel.h"
#include "toolkit/ViewController.h"

class QToolButton;

namespace quillon {

class KeySelector;
class SearchBar;
class TableView;
class ListHeaderLabel;
class UndoNotice;
struct Services;

// The catalogue, one row per movie, with the five-way key selector, search, sort direction and
// delete. Picking a row fills the hand-over state and opens the edit form when there is one.
class ListMoviesTableViewController : public ViewController {
    Q_OBJECT
public:
    explicit ListMoviesTableViewController(Services& services, QWidget* parent = nullptr);

    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewWillDisappear() override;
    void prepareForSegue(const QString& identifier, ViewController* destination) override;

    void fetchMovies();
    void filterMovies();
    void SortMoviesTapped();
    void segmentedControlAction();
    void unwindToList() { fetchMovies(); }
    // Deletes the row's movie and saves at once; a failed save leaves it listed.
    void deleteRow(int row);
    // Brings back the last movie deleted since the program started (Ctrl+Z, the "Undo" bar).
    // False when there was no delete to take back.
    bool undoDelete();
    void selectRow(int row);
    // Opens the add form; its Save comes back to this list.
    void addMovie();

    KeySelector* segment() const { return segment_; }
    SearchBar* searchBar() const { return searchBar_; }
    TableView* tableView() const { return table_; }
    ListHeaderLabel* headerLabel() const { return header_; }
    QToolButton* sortButton() const { return sortButton_; }
    QToolButton* addButton() const { return addButton_; }
    UndoNotice* undoNotice() const { return undoNotice_; }
    const MovieListQuery& query() const { return query_; }
    bool DarkMode = false;

private:
    void reloadTable();
    void refetchKeepingSearch();
    void prepareSearchWhileIdle();

    Services& services_;
    ManagedObjectContext& context;
    MovieListQuery query_;
    MovieListModel model_;
    KeySelector* segment_;
    SearchBar* searchBar_;
    TableView* table_;
    ListHeaderLabel* header_;
    QToolButton* sortButton_;
    QToolButton* addButton_;
    UndoNotice* undoNotice_;
    int selectedRow_ = -1;
    QTimer* searchPreparation_;
};

}  // namespace quillon
