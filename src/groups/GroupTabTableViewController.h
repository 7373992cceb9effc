#pragma once

#include "catalogue/GroupTabQuery.h"
#include "toolkit/ListScreen.h"

class QToolButton;

namespace quillon {

struct Services;

// One group tab: the distinct values of its kind's attributes with their counts, search, sort
// and a pick that opens the value's breakdown. The tab container hides the navigation bar, so
// the tab carries its own bar: the way back to the menu, its title and the sort button.
class GroupTabTableViewController : public ListScreenOf<GroupTabQuery> {
    Q_OBJECT
public:
    GroupTabTableViewController(GroupKind kind, Services& services, QWidget* parent = nullptr);
    // The named member of the kind.
    static GroupTabTableViewController* create(GroupKind kind, Services& services);

    void viewDidLoad() override;

    void loadValues();
    void UnwindSegue();

    const GroupTab& tab() const { return list_.facts().tab; }
    QToolButton* backButton() const { return backButton_; }

protected:
    void loadRows() override { loadValues(); }
    // Writes the row's value into the selection, then opens the kind's breakdown.
    void rowPicked(int row) override;
    void showEvent(QShowEvent* event) override;

private:
    Services& services_;
    QToolButton* backButton_;
};

class GenreTabTableViewController : public GroupTabTableViewController {
    Q_OBJECT
public:
    static constexpr GroupKind kKind = GroupKind::Genre;
    explicit GenreTabTableViewController(Services& services, QWidget* parent = nullptr)
        : GroupTabTableViewController(kKind, services, parent) {}
};

class ActorTabTableViewController : public GroupTabTableViewController {
    Q_OBJECT
public:
    static constexpr GroupKind kKind = GroupKind::Actor;
    explicit ActorTabTableViewController(Services& services, QWidget* parent = nullptr)
        : GroupTabTableViewController(kKind, services, parent) {}
};

class ActressTabTableViewController : public GroupTabTableViewController {
    Q_OBJECT
public:
    static constexpr GroupKind kKind = GroupKind::Actress;
    explicit ActressTabTableViewController(Services& services, QWidget* parent = nullptr)
        : GroupTabTableViewController(kKind, services, parent) {}
};

class DirectorTabTableViewController : public GroupTabTableViewController {
    Q_OBJECT
public:
    static constexpr GroupKind kKind = GroupKind::Director;
    explicit DirectorTabTableViewController(Services& services, QWidget* parent = nullptr)
        : GroupTabTableViewController(kKind, services, parent) {}
};

class ProducerTabTableViewController : public GroupTabTableViewController {
    Q_OBJECT
public:
    static constexpr GroupKind kKind = GroupKind::Producer;
    explicit ProducerTabTableViewController(Services& services, QWidget* parent = nullptr)
        : GroupTabTableViewController(kKind, services, parent) {}
};

}  // namespace quillon
