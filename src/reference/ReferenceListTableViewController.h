#pragma once

#include "catalogue/ReferenceListQuery.h"
#include "toolkit/ListScreen.h"

class QToolButton;

namespace quillon {

struct Services;

// One reference list: search, sort direction, delete, the add button and a tap on an entry to
// edit it. Returns from the add and edit screens refetch.
class ReferenceListTableViewController : public ListScreenOf<ReferenceListQuery> {
    Q_OBJECT
public:
    ReferenceListTableViewController(const ReferenceMember& member, Services& services,
                                     QWidget* parent = nullptr);

    void viewDidLoad() override;
    void viewDidDisappear() override;
    void prepareForSegue(const QString& identifier, ViewController* destination) override;

    void fetchList();
    void AddButtonTapped();

    const ReferenceMember& member() const { return member_; }
    QToolButton* AddButton() const { return addButton_; }

protected:
    // The list fetches right after it loads.
    void loadRows() override;
    // Keeps the entry's text as the one last tapped, then opens it in the edit screen.
    void rowPicked(int row) override;

private:
    const ReferenceMember& member_;
    Services& services_;
    QToolButton* addButton_;
    int selectedRow_ = -1;
};

class GenreReferenceListTableViewController : public ReferenceListTableViewController {
    Q_OBJECT
public:
    explicit GenreReferenceListTableViewController(Services& services, QWidget* parent = nullptr)
        : ReferenceListTableViewController(kGenreMember, services, parent) {}
};

class RatingReferenceListTableViewController : public ReferenceListTableViewController {
    Q_OBJECT
public:
    explicit RatingReferenceListTableViewController(Services& services, QWidget* parent = nullptr)
        : ReferenceListTableViewController(kRatingMember, services, parent) {}
};

}  // namespace quillon
