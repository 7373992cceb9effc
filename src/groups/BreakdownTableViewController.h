#pragma once

#include "catalogue/BreakdownQuery.h"
#include "catalogue/ThumbnailCache.h"
#include "toolkit/ListScreen.h"

class QAction;
class QToolButton;

namespace quillon {

struct Services;

// One breakdown: the movies of the value picked in its tab. Search, sort, a pick that opens the
// edit form (which comes back to the kind's return point), the print button that shares the
// PDF report of the rows shown, and "Print Report" (Ctrl+P) that opens the print screen. A row
// shows the front cover, or the program's placeholder picture "movies" for a movie without a
// cover or with one that does not decode.
class BreakdownTableViewController : public ListScreenOf<BreakdownQuery> {
    Q_OBJECT
public:
    BreakdownTableViewController(GroupKind kind, Services& services, QWidget* parent = nullptr);
    // The named member of the kind.
    static BreakdownTableViewController* create(GroupKind kind, Services& services);
    static QImage placeholder();

    void viewDidLoad() override;
    void viewWillAppear() override;
    void prepareForSegue(const QString& identifier, ViewController* destination) override;

    void loadBreakdown();
    void ShareBrandButtonClicked();
    // Puts the kept value back into the selection for the print screen, then opens it.
    void PrintReportTapped();

    const Breakdown& member() const { return list_.facts().breakdown; }
    QToolButton* PrintButton() const { return printButton_; }
    QAction* printReportAction() const { return printReport_; }

protected:
    void loadRows() override { loadBreakdown(); }
    // Copies the row's movie into the selection (its notes left as they were), then opens it in
    // the edit form.
    void rowPicked(int row) override;
    QVariant rowPicture(int row) const override;
    QString rowReadOutDetail(int row) const override;

private:
    Services& services_;
    mutable ThumbnailCache thumbnails_;
    QToolButton* printButton_;
    QAction* printReport_;
    QToolButton* printReportButton_;
    int selectedRow_ = -1;
};

class GenreBreakdownTableViewController : public BreakdownTableViewController {
    Q_OBJECT
public:
    static constexpr GroupKind kKind = GroupKind::Genre;
    explicit GenreBreakdownTableViewController(Services& services, QWidget* parent = nullptr)
        : BreakdownTableViewController(kKind, services, parent) {}
};

class ActorBreakdownTableViewController : public BreakdownTableViewController {
    Q_OBJECT
public:
    static constexpr GroupKind kKind = GroupKind::Actor;
    explicit ActorBreakdownTableViewController(Services& services, QWidget* parent = nullptr)
        : BreakdownTableViewController(kKind, services, parent) {}
};

class ActressBreakdownTableViewController : public BreakdownTableViewController {
    Q_OBJECT
public:
    static constexpr GroupKind kKind = GroupKind::Actress;
    explicit ActressBreakdownTableViewController(Services& services, QWidget* parent = nullptr)
        : BreakdownTableViewController(kKind, services, parent) {}
};

class DirectorBreakdownTableViewController : public BreakdownTableViewController {
    Q_OBJECT
public:
    static constexpr GroupKind kKind = GroupKind::Director;
    explicit DirectorBreakdownTableViewController(Services& services, QWidget* parent = nullptr)
        : BreakdownTableViewController(kKind, services, parent) {}
};

class ProducerBreakdownTableViewController : public BreakdownTableViewController {
    Q_OBJECT
public:
    static constexpr GroupKind kKind = GroupKind::Producer;
    explicit ProducerBreakdownTableViewController(Services& services, QWidget* parent = nullptr)
        : BreakdownTableViewController(kKind, services, parent) {}
};

}  // namespace quillon
