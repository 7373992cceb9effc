#include "groups/GroupTabTableViewController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "handover/Services.h"
#include "toolkit/Appearance.h"
#include "toolkit/SearchBar.h"
#include "toolkit/SortButton.h"
#include "toolkit/TableView.h"

namespace quillon {

namespace {
constexpr int kRowHeight = 60;
}  // namespace

int GroupTabModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(query_.rows().size());
}

QVariant GroupTabModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const QString& value = query_.rows().at(index.row());
    if (role == LabelTextsRole)
        return QStringList{value, QString::number(query_.countMovies(value))};
    if (role == Qt::AccessibleTextRole)
        return QStringLiteral("%1: %2 movies")
            .arg(value, QString::number(query_.countMovies(value)));
    return {};
}

void GroupTabModel::reload() {
    beginResetModel();
    endResetModel();
}

GroupTabTableViewController::GroupTabTableViewController(const GroupTab& tab, Services& services,
                                                         QWidget* parent)
    : ViewController(parent),
      tab_(tab),
      services_(services),
      query_(tab, services.context),
      model_(query_),
      backButton_(new QToolButton),
      sortButton_(new QToolButton),
      searchBar_(new SearchBar),
      header_(new ListHeaderLabel),
      table_(new TableView) {
    setObjectName(tab.controllerName);
    setTitle(tab.title);
    auto* bar = new QHBoxLayout;
    backButton_->setObjectName("backButton");
    backButton_->setText("< Menu");
    backButton_->setToolTip("Back to the menu");
    backButton_->setAutoRaise(true);
    auto* titleLabel = new QLabel(tab.title);
    QFont bold = titleLabel->font();
    bold.setBold(true);
    titleLabel->setFont(bold);
    sortButton_->setObjectName("SortButton");
    sortButton_->setText("Sort");
    sortButton_->setIcon(QIcon::fromTheme("view-sort"));
    bar->addWidget(backButton_);
    bar->addStretch(1);
    bar->addWidget(titleLabel);
    bar->addStretch(1);
    bar->addWidget(sortButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(searchBar_);
    layout->addWidget(header_);
    layout->addWidget(table_, 1);
    header_->setObjectName("header");
    header_->setTextFormat(Qt::PlainText);
    table_->itemDelegate()->setObjectName(
        QString(tab.controllerName).replace("ViewController", "ViewCell"));
    table_->setRowHeight(kRowHeight);
    table_->setRowsDeletable(false);
    table_->setModel(&model_);
}

GroupTabTableViewController* GroupTabTableViewController::create(GroupKind kind,
                                                                 Services& services) {
    switch (kind) {
        case GroupKind::Genre:
            return new GenreTabTableViewController(services);
        case GroupKind::Actor:
            return new ActorTabTableViewController(services);
        case GroupKind::Actress:
            return new ActressTabTableViewController(services);
        case GroupKind::Director:
            return new DirectorTabTableViewController(services);
        case GroupKind::Producer:
            return new ProducerTabTableViewController(services);
    }
    return nullptr;
}

void GroupTabTableViewController::viewDidLoad() {
    searchBar_->setPlaceholderText(tab_.searchPlaceholder);
    connect(searchBar_, &QLineEdit::textChanged, this, [this] { updateSearchResults(); });
    connect(sortButton_, &QToolButton::clicked, this, [this] { SortButtonTapped(); });
    connect(backButton_, &QToolButton::clicked, this, [this] { UnwindSegue(); });
    connect(table_, &TableView::rowSelected, this, &GroupTabTableViewController::selectRow);
    query_.SortAsc = true;
    showSortDirection(sortButton_, true);
    loadValues();
    DarkMode = appearance::isDarkAppearance();
    table_->setDarkMode(DarkMode);
}

void GroupTabTableViewController::loadValues() {
    query_.loadValues();
    reloadTable();
}

void GroupTabTableViewController::updateSearchResults() {
    query_.filterValues(searchBar_->text());
    reloadTable();
}

void GroupTabTableViewController::SortButtonTapped() {
    query_.toggleSort(services_.selection.SharedSortAsc);
    showSortDirection(sortButton_, query_.SortAsc.value_or(true));
    reloadTable();
}

void GroupTabTableViewController::UnwindSegue() {
    unwind("unwindToMenu");
}

void GroupTabTableViewController::selectRow(int row) {
    if (!query_.fillSelection(row, services_.selection)) return;
    performSegue(tab_.breakdownSegue);
}

void GroupTabTableViewController::reloadTable() {
    model_.reload();
    header_->setText(query_.headerText());
}

}  // namespace quillon
