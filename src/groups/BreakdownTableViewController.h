#pragma once

#include <QAbstractListModel>

#include "catalogue/BreakdownQuery.h"
#include "catalogue/ThumbnailCache.h"
#include "toolkit/ViewController.h"

class QAction;
class QLabel;
class QToolButton;

namespace quillon {

class SearchBar;
class TableView;
struct Services;

// Rows of a breakdown: the member's three labels and the front cover thumbnail, or the program's
// placeholder picture "movies" for a movie without a cover or with one that does not decode.
class BreakdownModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit BreakdownModel(BreakdownQuery& query, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void reload();
    ThumbnailCache& thumbnails() { return thumbnails_; }
    static QImage placeholder();

private:
    BreakdownQuery& query_;
    mutable ThumbnailCache thumbnails_;
};

// One breakdown: the movies of the value picked in its tab. Search, sort, a pick that opens the
// edit form (which comes back to the member's return point), the print button that shares the
// PDF report of the rows shown, and "Print Report" (Ctrl+P) that opens the print screen.
class BreakdownTableViewController : public ViewController {
    Q_OBJECT
public:
    BreakdownTableViewController(const Breakdown& member, Services& services,
                                 QWidget* parent = nullptr);
    // The named member of the kind.
    static BreakdownTableViewController* create(GroupKind kind, Services& services);

    void viewDidLoad() override;
    void viewWillAppear() override;
    void prepareForSegue(const QString& identifier, ViewController* destination) override;

    void loadBreakdown();
    void updateSearchResults();
    void SortButtonTapped();
    // Copies the row's movie into the selection, then opens it in the edit form.
    void selectRow(int row);
    void ShareBrandButtonClicked();
    // Puts the kept value back into the selection for the print screen, then opens it.
    void PrintReportTapped();

    const Breakdown& member() const { return member_; }
    const BreakdownQuery& query() const { return query_; }
    SearchBar* searchBar() const { return searchBar_; }
    TableView* tableView() const { return table_; }
    QLabel* sectionHeader() const { return sectionHeader_; }
    QToolButton* SortButton() const { return sortButton_; }
    QToolButton* PrintButton() const { return printButton_; }
    QAction* printReportAction() const { return printReport_; }
    bool DarkMode = false;

private:
    void reloadTable();

    const Breakdown& member_;
    Services& services_;
    BreakdownQuery query_;
    BreakdownModel model_;
    QToolButton* sortButton_;
    QToolButton* printButton_;
    QAction* printReport_;
    QToolButton* printReportButton_;
    SearchBar* searchBar_;
    QLabel* sectionHeader_;
    TableView* table_;
    int selectedRow_ = -1;
};

class GenreBreakdownTableViewController : public BreakdownTableViewController {
    Q_OBJECT
public:
    explicit GenreBreakdownTableViewController(Services& services, QWidget* parent = nullptr)
        : BreakdownTableViewController(breakdownOf(GroupKind::Genre), services, parent) {}
};

class ActorBreakdownTableViewController : public BreakdownTableViewController {
    Q_OBJECT
public:
    explicit ActorBreakdownTableViewController(Services& services, QWidget* parent = nullptr)
        : BreakdownTableViewController(breakdownOf(GroupKind::Actor), services, parent) {}
};

class ActressBreakdownTableViewController : public BreakdownTableViewController {
    Q_OBJECT
public:
    explicit ActressBreakdownTableViewController(Services& services, QWidget* parent = nullptr)
        : BreakdownTableViewController(breakdownOf(GroupKind::Actress), services, parent) {}
};

class DirectorBreakdownTableViewController : public BreakdownTableViewController {
    Q_OBJECT
public:
    explicit DirectorBreakdownTableViewController(Services& services, QWidget* parent = nullptr)
        : BreakdownTableViewController(breakdownOf(GroupKind::Director), services, parent) {}
};

class ProducerBreakdownTableViewController : public BreakdownTableViewController {
    Q_OBJECT
public:
    explicit ProducerBreakdownTableViewController(Services& services, QWidget* parent = nullptr)
        : BreakdownTableViewController(breakdownOf(GroupKind::Producer), services, parent) {}
};

}  // namespace quillon
