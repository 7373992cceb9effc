#pragma once

#include "catalogue/MovieListQuery.h"
#include "catalogue/ThumbnailCache.h"
#include "toolkit/ListScreen.h"

class QTimer;
class QToolButton;

namespace quillon {

class KeySelector;
struct Services;

// The catalogue, one row per movie, with the five-way key selector, search, sort direction and
// delete. Picking a row fills the hand-over state and opens the edit form when there is one.
class ListMoviesTableViewController : public ListScreenOf<MovieListQuery> {
    Q_OBJECT
public:
    explicit ListMoviesTableViewController(Services& services, QWidget* parent = nullptr);

    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewWillDisappear() override;
    void prepareForSegue(const QString& identifier, ViewController* destination) override;

    void fetchMovies();
    void segmentedControlAction();
    void unwindToList() { fetchMovies(); }
    // Opens the add form; its Save comes back to this list.
    void addMovie();

    KeySelector* segment() const { return segment_; }
    QToolButton* addButton() const { return addButton_; }

protected:
    void loadRows() override { fetchMovies(); }
    void rowPicked(int row) override;
    void tableReloaded() override;
    QVariant rowPicture(int row) const override;
    QString rowReadOutDetail(int row) const override;

private:
    void prepareSearchWhileIdle();

    Services& services_;
    mutable ThumbnailCache thumbnails_;
    KeySelector* segment_;
    QToolButton* addButton_;
    int selectedRow_ = -1;
    QTimer* searchPreparation_;
};

}  // namespace quillon
