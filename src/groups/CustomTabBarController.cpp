#include "groups/CustomTabBarController.h"

#include <QPixmap>

#include "groups/GroupTabTableViewController.h"
#include "toolkit/NavigationController.h"

namespace quillon {

customTabBar::customTabBar(Services& services, QWidget* parent) : TabBarController(parent) {
    setObjectName("customTabBar");
    for (const GroupTab& tab : kGroupTabs)
        addTab(GroupTabTableViewController::create(tab.kind, services), tab.title);
}

void customTabBar::viewDidLoad() {
    // Drawn in their own colours; a missing picture leaves its tab without one.
    for (const GroupTab& tab : kGroupTabs) {
        const QPixmap picture(QStringLiteral(":/%1.png").arg(QLatin1String(tab.image)));
        if (!picture.isNull()) setTabIcon(int(tab.kind), QIcon(picture));
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
