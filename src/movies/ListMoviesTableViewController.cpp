#include "movies/ListMoviesTableViewController.h"

#include <QShortcut>
#include <QTimer>
#include <QToolButton>

#include "catalogue/RowCover.h"
#include "handover/DetailItem.h"
#include "handover/SelectionState.h"
#include "handover/Services.h"
#include "movies/MovieSegues.h"
#include "toolkit/KeySelector.h"
#include "toolkit/KeyboardShortcuts.h"
#include "toolkit/SearchBar.h"

namespace quillon {

namespace {

const QSize kThumbnailBox(56, 80);
constexpr int kSortedAheadPollMs = 10;

const ListScreenLayout kLayout{.rowHeight = 85,
                               .thumbnailWidth = kThumbnailBox.width(),
                               .header = ListHeader::Counts,
                               .deletes = true,
                               .readOutIsToolTip = true,
                               .sortButtonInNavigationBar = true,
                               .rowViewName = {},
                               .listName = "Movies"};

QStringList keyTitles() {
    QStringList titles;
    for (int k = 0; k < MovieListQuery::kKeyCount; ++k) titles << MovieListQuery::keyTitle(k);
    return titles;
}

}  // namespace

ListMoviesTableViewController::ListMoviesTableViewController(Services& services, QWidget* parent)
    : ListScreenOf(kLayout, parent, services.context),
      services_(services),
      thumbnails_(kThumbnailBox),
      segment_(new KeySelector(keyTitles())),
      addButton_(new QToolButton),
      searchPreparation_(new QTimer(this)) {
    list_.keepDeletesIn(services.deletes, services.saveContext);
    connect(&thumbnails_, &ThumbnailCache::thumbnailReady, this,
            [this] { model().picturesChanged(); });
    addButton_->setText("Add");
    addButton_->setToolTip("Add Movie");
    addButton_->setAccessibleName("Add Movie");
    addButton_->setIcon(QIcon::fromTheme("list-add"));
    addRightBarButton(addButton_);
    addShortcut(this, KeyCommand::AddMovie, Qt::WidgetWithChildrenShortcut, [this] { addMovie(); });
    offerReturnPoint(kUnwindToList, [this] { unwindToList(); });
    searchPreparation_->setInterval(0);
    connect(searchPreparation_, &QTimer::timeout, this, [this] { prepareSearchWhileIdle(); });
}

void ListMoviesTableViewController::prepareSearchWhileIdle() {
    // Small slices keep the window responsive; the first keystroke then finds them ready.
    // Then, a key at a time, the orders of the other keys, so that no switch waits for a sort.
    // A large catalogue sorts them on a worker: the turns then only look whether one is ready.
    if (!list_.prepareSearch(4000)) return;
    searchPreparation_->setInterval(kSortedAheadPollMs);
    if (list_.prepareNextKey()) searchPreparation_->stop();
}

void ListMoviesTableViewController::viewDidLoad() {
    services_.selection.CallingScreen = "MainList";
    segment_->setTintColor(QColor::fromRgbF(0, 0.15, 0.65));
    segment_->setSelectedIndex(0);
    connect(segment_, &KeySelector::valueChanged, this, [this] { segmentedControlAction(); });
    setTitleView(segment_);
    searchBar()->setPlaceholderText(MovieListQuery::searchPlaceholder(0));
    connect(addButton_, &QToolButton::clicked, this, [this] { addMovie(); });
    ListScreen::viewDidLoad();
}

void ListMoviesTableViewController::viewWillAppear() {
    fetchMovies();
}

void ListMoviesTableViewController::viewWillDisappear() {
    searchBar()->clearFocus();
}

void ListMoviesTableViewController::fetchMovies() {
    list_.fetchMovies();
    reloadTable();
}

void ListMoviesTableViewController::segmentedControlAction() {
    searchBar()->setPlaceholderText(MovieListQuery::searchPlaceholder(segment_->selectedIndex()));
    list_.segmentIndex = segment_->selectedIndex();
    fetchMovies();
}

void ListMoviesTableViewController::tableReloaded() {
    searchPreparation_->start(0);
}

QVariant ListMoviesTableViewController::rowPicture(int row) const {
    return rowCover(thumbnails_, *list_.rows()[size_t(row)]);
}

QString ListMoviesTableViewController::rowReadOutDetail(int row) const {
    return rowCoverReadOut(thumbnails_, *list_.rows()[size_t(row)]);
}

void ListMoviesTableViewController::rowPicked(int row) {
    selectedRow_ = row;
    list_.fillSelection(row, services_.selection);
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
    if (receiver && selectedRow_ >= 0 && selectedRow_ < list_.rowCount())
        receiver->setDetailItem(list_.rows()[size_t(selectedRow_)]);
}

}  // namespace quillon
