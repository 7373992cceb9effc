#include "reference/ReferenceListTableViewController.h"

#include <QToolButton>

#include "handover/Services.h"
#include "reference/ReferenceEntryViewControllers.h"
#include "toolkit/MainQueue.h"
#include "toolkit/SearchBar.h"

namespace quillon {

namespace {

ListScreenLayout layoutOf(const ReferenceMember& member) {
    return {.rowHeight = 50,
            .thumbnailWidth = 0,
            .header = ListHeader::None,
            .deletes = true,
            .readOutIsToolTip = true,
            .sortButtonInNavigationBar = true,
            .rowViewName = member.labelName,
            .listName = member.listName};
}

}  // namespace

ReferenceListTableViewController::ReferenceListTableViewController(const ReferenceMember& member,
                                                                   Services& services,
                                                                   QWidget* parent)
    : ListScreenOf(layoutOf(member), parent, member, services.context),
      member_(member),
      services_(services),
      addButton_(new QToolButton) {
    list_.keepDeletesIn(services.deletes, services.saveContext);
    addButton_->setObjectName("AddButton");
    addButton_->setText("+");
    addButton_->setToolTip(member_.addTitle);
    addButton_->setAccessibleName(member_.addTitle);
    addRightBarButton(addButton_);
    offerReturnPoint(member_.returnPoint, [this] { fetchList(); });
}

void ReferenceListTableViewController::viewDidLoad() {
    setTitle(member_.listTitle);
    searchBar()->setPlaceholderText(member_.searchPlaceholder);
    connect(addButton_, &QToolButton::clicked, this, [this] { AddButtonTapped(); });
    ListScreen::viewDidLoad();
}

void ReferenceListTableViewController::loadRows() {
    mainQueue::async([this] { fetchList(); }, this);
}

void ReferenceListTableViewController::viewDidDisappear() {
    searchBar()->deactivate();
}

void ReferenceListTableViewController::fetchList() {
    list_.fetchList();
    reloadTable();
}

void ReferenceListTableViewController::AddButtonTapped() {
    performSegue(member_.addSegue);
}

void ReferenceListTableViewController::rowPicked(int row) {
    selectedRow_ = row;
    services_.selection.*member_.selectedEntry = list_.rowText(row);
    performSegue(member_.editSegue);
}

void ReferenceListTableViewController::prepareForSegue(const QString& identifier,
                                                       ViewController* destination) {
    if (identifier != QLatin1String(member_.editSegue)) return;
    services_.selection.CallingScreen = "Master";
    if (auto* edit = qobject_cast<EditReferenceEntryViewController*>(destination))
        edit->setDetailItem(list_.entryAt(selectedRow_));
}

}  // namespace quillon
