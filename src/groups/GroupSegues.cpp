#include "groups/GroupSegues.h"

#include "catalogue/GroupTabQuery.h"
#include "groups/BreakdownTableViewController.h"
#include "groups/CustomTabBarController.h"
#include "toolkit/Storyboard.h"

namespace quillon {

void registerGroupSegues(Storyboard& storyboard) {
    storyboard.registerSegue("TabBarController",
                             [](Services& services) { return new customTabBar(services); });
    for (const GroupTab& tab : kGroupTabs) {
        const GroupKind kind = tab.kind;
        storyboard.registerSegue(tab.breakdownSegue, [kind](Services& services) {
            return BreakdownTableViewController::create(kind, services);
        });
    }
}

}  // namespace quillon
