#include "groups/GroupTabTableViewController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "groups/KindMember.h"
#include "handover/ReturnPoints.h"
#include "handover/Services.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"

namespace quillon {

namespace {

ListScreenLayout layoutOf(const GroupTab& tab) {
    return {.rowHeight = 60,
            .thumbnailWidth = 0,
            .header = ListHeader::Counts,
            .deletes = false,
            .readOutIsToolTip = false,
            .sortButtonInNavigationBar = false,
            .rowViewName = QString(tab.controllerName).replace("ViewController", "ViewCell"),
            .listName = tab.listName};
}

}  // namespace

GroupTabTableViewController::GroupTabTableViewController(GroupKind kind, Services& services,
                                                         QWidget* parent)
    : ListScreenOf(layoutOf(groupKindFacts(kind).tab), parent, kind, services.context),
      services_(services),
      backButton_(new QToolButton) {
    list_.shareSortDirection(services.selection.SharedSortAsc);
    setObjectName(tab().controllerName);
    setTitle(tab().title);
    backButton_->setObjectName("backButton");
    backButton_->setText("< Menu");
    backButton_->setAccessibleName("Menu");
    backButton_->setToolTip("Back to the menu");
    backButton_->setAutoRaise(true);
    auto* titleLabel = new QLabel(tab().title);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    auto* bar = new QHBoxLayout;
    bar->addWidget(backButton_);
    bar->addStretch(1);
    bar->addWidget(titleLabel);
    bar->addStretch(1);
    bar->addWidget(sortButton());
    column()->insertLayout(0, bar);
}

void GroupTabTableViewController::showEvent(QShowEvent* event) {
    // The row above the list was placed last, and moving into the tabs reorders the chain: Tab
    // reads the row first, whenever the tab comes into view.
    QWidget::setTabOrder(backButton_, sortButton());
    QWidget::setTabOrder(sortButton(), searchBar());
    QWidget::setTabOrder(searchBar(), tableView());
    ListScreenOf::showEvent(event);
}

GroupTabTableViewController* GroupTabTableViewController::create(GroupKind kind,
                                                                 Services& services) {
    return makeMember<GroupTabTableViewController, GenreTabTableViewController,
                      ActorTabTableViewController, ActressTabTableViewController,
                      DirectorTabTableViewController, ProducerTabTableViewController>(kind,
                                                                                      services);
}

void GroupTabTableViewController::viewDidLoad() {
    searchBar()->setPlaceholderText(tab().searchPlaceholder);
    connect(backButton_, &QToolButton::clicked, this, [this] { UnwindSegue(); });
    ListScreen::viewDidLoad();
}

void GroupTabTableViewController::loadValues() {
    list_.loadValues();
    reloadTable();
}

void GroupTabTableViewController::UnwindSegue() {
    unwind(kUnwindToMenu);
}

void GroupTabTableViewController::rowPicked(int row) {
    if (list_.fillSelection(row, services_.selection)) performSegue(tab().breakdownSegue);
}

}  // namespace quillon
