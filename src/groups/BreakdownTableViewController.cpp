#include "groups/BreakdownTableViewController.h"

#include <QAction>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "groups/BreakdownReport.h"
#include "handover/DetailItem.h"
#include "handover/Services.h"
#include "toolkit/Appearance.h"
#include "toolkit/KeyboardShortcuts.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"
#include "toolkit/SortButton.h"
#include "toolkit/TableView.h"

namespace quillon {

namespace {
constexpr int kRowHeight = 70;
const QSize kThumbnailBox(40, 58);
}  // namespace

BreakdownModel::BreakdownModel(BreakdownQuery& query, QObject* parent)
    : QAbstractListModel(parent), query_(query), thumbnails_(kThumbnailBox) {
    connect(&thumbnails_, &ThumbnailCache::thumbnailReady, this, [this] {
        if (rowCount() > 0) emit dataChanged(index(0), index(rowCount() - 1), {Qt::DecorationRole});
    });
}

QImage BreakdownModel::placeholder() {
    static const QImage picture =
        QImage(":/movies.png").scaled(kThumbnailBox, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return picture;
}

int BreakdownModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(query_.rows().size());
}

QVariant BreakdownModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Movies& movie = *query_.rows()[index.row()];
    if (role == LabelTextsRole) return query_.rowTexts(movie);
    if (role == Qt::DecorationRole) {
        if (!movie.hasImage(Attribute::frontImage) || thumbnails_.hasFailed(movie))
            return placeholder();
        const QImage thumbnail = thumbnails_.thumbnail(movie);
        // Nothing while the cover is decoded; thumbnailReady repaints the row.
        return thumbnail.isNull() ? QVariant() : QVariant(thumbnail);
    }
    if (role == Qt::AccessibleTextRole) return query_.rowTexts(movie).join(QStringLiteral(", "));
    return {};
}

void BreakdownModel::reload() {
    beginResetModel();
    endResetModel();
}

BreakdownTableViewController::BreakdownTableViewController(const Breakdown& member,
                                                           Services& services, QWidget* parent)
    : ViewController(parent),
      member_(member),
      services_(services),
      query_(member, services.context),
      model_(query_),
      sortButton_(new QToolButton),
      printButton_(new QToolButton),
      printReport_(new QAction("Print Report", this)),
      printReportButton_(new QToolButton),
      searchBar_(new SearchBar),
      sectionHeader_(new QLabel),
      table_(new TableView) {
    setObjectName(member.controllerName);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(searchBar_);
    layout->addWidget(sectionHeader_);
    layout->addWidget(table_, 1);
    sectionHeader_->setAlignment(Qt::AlignCenter);
    sectionHeader_->setTextFormat(Qt::PlainText);
    table_->itemDelegate()->setObjectName(member.cellName);
    table_->setRowHeight(kRowHeight);
    table_->setRowsDeletable(false);
    table_->setThumbnailWidth(kThumbnailBox.width());
    table_->setModel(&model_);
    sortButton_->setObjectName("SortButton");
    sortButton_->setText("Sort");
    sortButton_->setIcon(QIcon::fromTheme("view-sort"));
    addRightBarButton(sortButton_);
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
    offerReturnPoint(member.returnPoint, [this] { loadBreakdown(); });
}

BreakdownTableViewController* BreakdownTableViewController::create(GroupKind kind,
                                                                   Services& services) {
    switch (kind) {
        case GroupKind::Genre:
            return new GenreBreakdownTableViewController(services);
        case GroupKind::Actor:
            return new ActorBreakdownTableViewController(services);
        case GroupKind::Actress:
            return new ActressBreakdownTableViewController(services);
        case GroupKind::Director:
            return new DirectorBreakdownTableViewController(services);
        case GroupKind::Producer:
            return new ProducerBreakdownTableViewController(services);
    }
    return nullptr;
}

void BreakdownTableViewController::viewDidLoad() {
    query_.SortAsc = true;
    services_.selection.SharedSortAsc = true;
    // The value picked in the tab; picking a movie later overwrites the selection, not this.
    query_.keepValue(services_.selection);
    const QString SelectionState::*shown = member_.pickedName ? member_.pickedName : member_.value;
    setTitle(services_.selection.*shown);
    loadBreakdown();
    showSortDirection(sortButton_, true);
    DarkMode = appearance::isDarkAppearance();
    table_->setDarkMode(DarkMode);
    searchBar_->setPlaceholderText("Search By Movie Name");
    connect(searchBar_, &QLineEdit::textChanged, this, [this] { updateSearchResults(); });
    connect(sortButton_, &QToolButton::clicked, this, [this] { SortButtonTapped(); });
    connect(printButton_, &QToolButton::clicked, this, [this] { ShareBrandButtonClicked(); });
    connect(printReport_, &QAction::triggered, this, [this] { PrintReportTapped(); });
    connect(table_, &TableView::rowSelected, this, &BreakdownTableViewController::selectRow);
    setFocusOnAppear(searchBar_);
}

void BreakdownTableViewController::viewWillAppear() {
    // The tab container below hides the bar; the breakdown's buttons live in it.
    if (auto* nav = navigationController()) nav->setNavigationBarHidden(false);
}

void BreakdownTableViewController::loadBreakdown() {
    query_.loadBreakdown();
    reloadTable();
}

void BreakdownTableViewController::updateSearchResults() {
    query_.filterBreakdown(searchBar_->text());
    reloadTable();
}

void BreakdownTableViewController::SortButtonTapped() {
    query_.toggleSort(services_.selection.SharedSortAsc);
    showSortDirection(sortButton_, query_.SortAsc.value_or(true));
    reloadTable();
}

void BreakdownTableViewController::selectRow(int row) {
    if (row < 0 || row >= int(query_.rows().size())) return;
    selectedRow_ = row;
    selectMovie(*query_.rows()[row], services_.selection);
    performSegue("showDetail");
}

void BreakdownTableViewController::prepareForSegue(const QString& identifier,
                                                   ViewController* destination) {
    services_.selection.CallingScreen = member_.CallingScreen;
    if (identifier != "showDetail") return;
    auto* receiver = dynamic_cast<MovieDetailReceiver*>(destination);
    if (receiver && selectedRow_ >= 0 && selectedRow_ < int(query_.rows().size()))
        receiver->setDetailItem(query_.rows()[selectedRow_]);
}

void BreakdownTableViewController::ShareBrandButtonClicked() {
    shareBreakdownReport(member_.kind, query_.rows(), services_, printButton_);
}

void BreakdownTableViewController::PrintReportTapped() {
    query_.writeKeptValue(services_.selection);
    performSegue("PrintReport");
}

void BreakdownTableViewController::reloadTable() {
    model_.reload();
    sectionHeader_->setText(query_.sectionTitle());
}

}  // namespace quillon
