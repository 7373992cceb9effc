#include "groups/BreakdownTableViewController.h"

#include <QAction>
#include <QToolButton>

#include "catalogue/RowCover.h"
#include "groups/BreakdownReport.h"
#include "groups/KindMember.h"
#include "handover/DetailItem.h"
#include "handover/Services.h"
#include "toolkit/Appearance.h"
#include "toolkit/KeyboardShortcuts.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"

namespace quillon {

namespace {

const QSize kThumbnailBox(40, 58);

ListScreenLayout layoutOf(const Breakdown& breakdown) {
    return {.rowHeight = 70,
            .thumbnailWidth = kThumbnailBox.width(),
            .header = ListHeader::SectionTitle,
            .deletes = false,
            .readOutIsToolTip = false,
            .sortButtonInNavigationBar = true,
            .rowViewName = breakdown.cellName,
            .listName = "Movies"};
}

}  // namespace

BreakdownTableViewController::BreakdownTableViewController(GroupKind kind, Services& services,
                                                           QWidget* parent)
    : ListScreenOf(layoutOf(groupKindFacts(kind).breakdown), parent, kind, services.context),
      services_(services),
      thumbnails_(kThumbnailBox),
      printButton_(new QToolButton),
      printReport_(new QAction("Print Report", this)),
      printReportButton_(new QToolButton) {
    list_.shareSortDirection(services.selection.SharedSortAsc);
    setObjectName(member().controllerName);
    connect(&thumbnails_, &ThumbnailCache::thumbnailReady, this,
            [this] { model().picturesChanged(); });
    printButton_->setObjectName("PrintButton");
    printButton_->setText("Print");
    printButton_->setToolTip("Share the list as a PDF file");
    printButton_->setIcon(QIcon::fromTheme("document-print"));
    addRightBarButton(printButton_);
    printReport_->setShortcuts(shortcutKeys(KeyCommand::PrintReport));
    printReport_->setShortcutContext(Qt::WindowShortcut);
    addAction(printReport_);
    printReportButton_->setObjectName("PrintReportButton");
    printReportButton_->setDefaultAction(printReport_);
    printReportButton_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addRightBarButton(printReportButton_);
    offerReturnPoint(member().returnPoint, [this] { loadBreakdown(); });
}

BreakdownTableViewController* BreakdownTableViewController::create(GroupKind kind,
                                                                   Services& services) {
    return makeMember<BreakdownTableViewController, GenreBreakdownTableViewController,
                      ActorBreakdownTableViewController, ActressBreakdownTableViewController,
                      DirectorBreakdownTableViewController, ProducerBreakdownTableViewController>(
        kind, services);
}

QImage BreakdownTableViewController::placeholder() {
    static const QImage picture =
        QImage(":/movies.png").scaled(kThumbnailBox, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return picture;
}

void BreakdownTableViewController::viewDidLoad() {
    services_.selection.SharedSortAsc = true;
    // The value picked in the tab; picking a movie later overwrites the selection, not this.
    list_.keepValue(services_.selection);
    const auto& selected = list_.facts().selected;
    setTitle(services_.selection.*(selected[2] ? selected[2] : selected[0]));
    searchBar()->setPlaceholderText("Search By Movie Name");
    connect(printButton_, &QToolButton::clicked, this, [this] { ShareBrandButtonClicked(); });
    connect(printReport_, &QAction::triggered, this, [this] { PrintReportTapped(); });
    ListScreen::viewDidLoad();
    setFocusOnAppear(searchBar());
}

void BreakdownTableViewController::viewWillAppear() {
    // The tab container below hides the bar; the breakdown's buttons live in it.
    if (auto* nav = navigationController()) nav->setNavigationBarHidden(false);
}

void BreakdownTableViewController::loadBreakdown() {
    list_.loadBreakdown();
    reloadTable();
}

QVariant BreakdownTableViewController::rowPicture(int row) const {
    return rowCover(thumbnails_, *list_.rows()[size_t(row)], placeholder());
}

QString BreakdownTableViewController::rowReadOutDetail(int row) const {
    return rowCoverReadOut(thumbnails_, *list_.rows()[size_t(row)]);
}

void BreakdownTableViewController::rowPicked(int row) {
    selectedRow_ = row;
    selectMovie(*list_.rows()[size_t(row)], services_.selection, NotesCopy::Keep);
    performSegue(member().editSegue);
}

void BreakdownTableViewController::prepareForSegue(const QString& identifier,
                                                   ViewController* destination) {
    services_.selection.CallingScreen = member().CallingScreen;
    if (identifier != QLatin1String(member().editSegue)) return;
    auto* receiver = dynamic_cast<MovieDetailReceiver*>(destination);
    if (receiver && selectedRow_ >= 0 && selectedRow_ < list_.rowCount())
        receiver->setDetailItem(list_.rows()[size_t(selectedRow_)]);
}

void BreakdownTableViewController::ShareBrandButtonClicked() {
    shareBreakdownReport(list_.facts().kind, list_.rows(), services_, printButton_);
}

void BreakdownTableViewController::PrintReportTapped() {
    list_.writeKeptValue(services_.selection);
    performSegue(kPrintReportSegue);
}

}  // namespace quillon
