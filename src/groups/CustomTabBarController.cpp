#include "groups/CustomTabBarController.h"

#include <QPixmap>

#include "groups/GroupTabTableViewController.h"
#include "toolkit/NavigationController.h"

namespace quillon {

customTabBar::customTabBar(Services& services, QWidget* parent) : TabBarController(parent) {
    setObjectName("customTabBar");
    for (const GroupKindFacts& kind : kGroupKindTable)
        addTab(GroupTabTableViewController::create(kind.kind, services), kind.tab.title);
}

void customTabBar::viewDidLoad() {
    // Drawn in their own colours; a missing picture leaves its tab without one.
    for (const GroupKindFacts& kind : kGroupKindTable) {
        const QPixmap picture(QStringLiteral(":/%1.png").arg(QLatin1String(kind.tab.image)));
        if (!picture.isNull()) setTabIcon(int(kind.kind), QIcon(picture));
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
