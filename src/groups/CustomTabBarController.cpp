#include "groups/CustomTabBarController.h"

#include "groups/GroupTabTableViewController.h"
#include "toolkit/NamedImage.h"
#include "toolkit/NavigationController.h"

namespace quillon {

customTabBar::customTabBar(Services& services, QWidget* parent) : TabBarController(parent) {
    setObjectName("customTabBar");
    tabWidget()->setAccessibleName("Groups");
    for (const GroupKindFacts& kind : kGroupKindTable)
        addTab(GroupTabTableViewController::create(kind.kind, services), kind.tab.title);
    // The bar is hidden here; the keys take the shown tab's way back to the menu.
    setBackAction([this] {
        if (GroupTabTableViewController* shown = tab(GroupKind(currentIndex())))
            shown->UnwindSegue();
    });
}

void customTabBar::viewDidLoad() {
    // The same image shown and selected, drawn in its own colours; a missing picture leaves its
    // tab without one.
    for (const GroupKindFacts& kind : kGroupKindTable) {
        const QIcon image = namedImage(QLatin1String(kind.tab.image));
        if (!image.isNull()) setTabIcon(int(kind.kind), image);
    }
}

void customTabBar::viewWillAppear() {
    if (auto* nav = navigationController()) nav->setNavigationBarHidden(true);
    TabBarController::viewWillAppear();
}

GroupTabTableViewController* customTabBar::tab(GroupKind kind) const {
    return qobject_cast<GroupTabTableViewController*>(screenAt(int(kind)));
}

}  // namespace quillon
