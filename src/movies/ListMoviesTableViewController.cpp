#include "movies/ListMoviesTableViewController.h"

#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include "handover/DetailItem.h"
#include "handover/SelectionState.h"
#include "handover/Services.h"
#include "movies/MovieSegues.h"
#include "store/DeleteHistory.h"
#include "toolkit/Appearance.h"
#include "toolkit/KeySelector.h"
#include "toolkit/SearchBar.h"
#include "toolkit/SortButton.h"
#include "toolkit/TableView.h"
#include "toolkit/UndoNotice.h"

namespace quillon {

namespace {

QStringList keyTitles() {
    QStringList titles;
    for (int k = 0; k < MovieListQuery::kKeyCount; ++k) titles << MovieListQuery::keyTitle(k);
    return titles;
}
}  // namespace

ListMoviesTableViewController::ListMoviesTableViewController(Services& services, QWidget* parent)
    : ViewController(parent),
      services_(services),
      context(services.context),
      query_(context),
      model_(query_),
      segment_(new KeySelector(keyTitles())),
      searchBar_(new SearchBar),
      table_(new TableView),
      header_(new ListHeaderLabel),
      sortButton_(new QToolButton),
      addButton_(new QToolButton),
      undoNotice_(new UndoNotice(this)),
      searchPreparation_(new QTimer(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(searchBar_);
    layout->addWidget(header_);
    layout->addWidget(table_, 1);
    layout->addWidget(undoNotice_);
    table_->setModel(&model_);
    table_->setThumbnailWidth(model_.thumbnails().box().width());
    sortButton_->setText("Sort");
    sortButton_->setToolTip("Sort ascending or descending");
    sortButton_->setIcon(QIcon::fromTheme("view-sort"));
    addRightBarButton(sortButton_);
    addButton_->setText("Add");
    addButton_->setToolTip("Add Movie");
    addButton_->setAccessibleName("Add Movie");
    addButton_->setIcon(QIcon::fromTheme("list-add"));
    addRightBarButton(addButton_);
    auto* addKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), this);
    addKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(addKey, &QShortcut::activated, this, [this] { addMovie(); });
    offerReturnPoint("unwindToList", [this] { unwindToList(); });
    searchPreparation_->setInterval(0);
    connect(searchPreparation_, &QTimer::timeout, this, [this] { prepareSearchWhileIdle(); });
}

void ListMoviesTableViewController::prepareSearchWhileIdle() {
    // Small slices keep the window responsive; the first keystroke then finds them ready.
    // Then, a key at a time, the orders of the other keys, so that no switch waits for a sort.
    if (query_.prepareSearch(4000) && query_.prepareNextKey()) searchPreparation_->stop();
}

void ListMoviesTableViewController::viewDidLoad() {
    services_.selection.CallingScreen = "MainList";
    query_.SortAsc = true;
    showSortDirection(sortButton_, true);
    segment_->setTintColor(QColor::fromRgbF(0, 0.15, 0.65));
    segment_->setSelectedIndex(0);
    connect(segment_, &KeySelector::valueChanged, this, [this] { segmentedControlAction(); });
    setTitleView(segment_);
    searchBar_->setPlaceholderText(MovieListQuery::searchPlaceholder(0));
    connect(searchBar_, &QLineEdit::textChanged, this, [this] { filterMovies(); });
    connect(sortButton_, &QToolButton::clicked, this, [this] { SortMoviesTapped(); });
    connect(addButton_, &QToolButton::clicked, this, [this] { addMovie(); });
    connect(table_, &TableView::deleteRequested, this, &ListMoviesTableViewController::deleteRow);
    connect(table_, &TableView::rowSelected, this, &ListMoviesTableViewController::selectRow);
    undoNotice_->setUndoAction([this] { return undoDelete(); });
    undoNotice_->takeUndoKeyFrom(searchBar_);
    fetchMovies();
    DarkMode = appearance::isDarkAppearance();
    table_->setDarkMode(DarkMode);
}

void ListMoviesTableViewController::viewWillAppear() {
    fetchMovies();
}

void ListMoviesTableViewController::viewWillDisappear() {
    searchBar_->clearFocus();
}

void ListMoviesTableViewController::fetchMovies() {
    query_.segmentIndex = segment_->selectedIndex();
    query_.setSearchTextWithoutFiltering(searchBar_->text());
    query_.fetchMovies();
    reloadTable();
    searchPreparation_->start();
}

void ListMoviesTableViewController::filterMovies() {
    query_.filterMovies(searchBar_->text());
    reloadTable();
}

void ListMoviesTableViewController::SortMoviesTapped() {
    query_.SortAsc = !query_.SortAsc.value_or(true);
    showSortDirection(sortButton_, *query_.SortAsc);
    fetchMovies();
}

void ListMoviesTableViewController::segmentedControlAction() {
    searchBar_->setPlaceholderText(MovieListQuery::searchPlaceholder(segment_->selectedIndex()));
    fetchMovies();
}

void ListMoviesTableViewController::reloadTable() {
    model_.reload();
    header_->setText(query_.headerText());
}

void ListMoviesTableViewController::refetchKeepingSearch() {
    query_.refetchKeepingSearch();
    reloadTable();
    searchPreparation_->start();
}

void ListMoviesTableViewController::deleteRow(int row) {
    if (row < 0 || row >= int(query_.rows().size())) return;
    const MoviePtr movie = query_.rows()[row];
    if (!services_.deletes.deleteAndSave(movie, services_.saveContext)) {
        // The alert is up and the delete taken back: the movie is listed again.
        refetchKeepingSearch();
        return;
    }
    table_->fadeRow(row);
    model_.removeRow(row);
    header_->setText(query_.headerText());
    undoNotice_->present(MovieListQuery::deletedNotice(*movie));
}

bool ListMoviesTableViewController::undoDelete() {
    undoNotice_->dismiss();
    const DeleteHistory::Undo undo =
        services_.deletes.undoLast(Entity::Movies, services_.saveContext);
    using Outcome = DeleteHistory::Undo::Outcome;
    if (undo.outcome == Outcome::Restored) {
        refetchKeepingSearch();
        table_->revealRow(query_.rowOf(undo.object.get()));
    }
    // A refused save was tried: the alert says why.
    return undo.outcome != Outcome::NothingToUndo;
}

void ListMoviesTableViewController::selectRow(int row) {
    if (row < 0 || row >= int(query_.rows().size())) return;
    selectedRow_ = row;
    query_.fillSelection(row, services_.selection);
    if (canPerformSegue(kShowDetailSegue)) performSegue(kShowDetailSegue);
}

void ListMoviesTableViewController::addMovie() {
    performSegue(kAddMovieSegue);
}

void ListMoviesTableViewController::prepareForSegue(const QString& identifier,
                                                    ViewController* destination) {
    // The add form returns to "MainList"; every other screen opened from here to "Master".
    services_.selection.CallingScreen = identifier == kAddMovieSegue ? "MainList" : "Master";
    if (identifier != kShowDetailSegue || !destination) return;
    auto* receiver = dynamic_cast<MovieDetailReceiver*>(destination);
    if (receiver && selectedRow_ >= 0 && selectedRow_ < int(query_.rows().size()))
        receiver->setDetailItem(query_.rows()[selectedRow_]);
}

}  // namespace quillon
