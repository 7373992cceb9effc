#pragma once

#include "catalogue/GroupKind.h"
#include "toolkit/TabBarController.h"

namespace quillon {

class GroupTabTableViewController;
struct Services;

// The tab container of the grouped views: the genre, actor, actress, director and producer tabs,
// in that order, each with its named image. The navigation bar stays hidden while it is shown.
class customTabBar : public TabBarController {
    Q_OBJECT
public:
    explicit customTabBar(Services& services, QWidget* parent = nullptr);
    void viewDidLoad() override;
    void viewWillAppear() override;
    GroupTabTableViewController* tab(GroupKind kind) const;
};

}  // namespace quillon
