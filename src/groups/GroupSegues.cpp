#include "groups/GroupSegues.h"

#include "groups/BreakdownTableViewController.h"
#include "groups/CustomTabBarController.h"
#include "toolkit/Storyboard.h"

namespace quillon {

void registerGroupSegues(Storyboard& storyboard) {
    storyboard.registerSegue(kTabBarSegue,
                             [](Services& services) { return new customTabBar(services); });
    for (const GroupKindFacts& facts : kGroupKindTable) {
        const GroupKind kind = facts.kind;
        storyboard.registerSegue(facts.tab.breakdownSegue, [kind](Services& services) {
            return BreakdownTableViewController::create(kind, services);
        });
    }
}

}  // namespace quillon
