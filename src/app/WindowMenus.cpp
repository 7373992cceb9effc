#include "app/WindowMenus.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QShortcut>

#include "app/MainWindow.h"
#include "groups/GroupSegues.h"
#include "statistics/StatisticsSegues.h"
#include "toolkit/KeyboardShortcuts.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"
#include "toolkit/ViewController.h"

namespace quillon {

namespace {

// The shown screen's own enabled shortcut or action for `key`, if it has one.
QObject* screenKeyOwner(const ViewController* screen, const QKeySequence& key) {
    if (!screen || key.isEmpty()) return nullptr;
    for (QShortcut* shortcut : screen->findChildren<QShortcut*>()) {
        auto* holder = qobject_cast<QWidget*>(shortcut->parent());
        if (shortcut->key() == key && shortcut->isEnabled() && holder && holder->isVisible())
            return shortcut;
    }
    QList<QAction*> actions = screen->actions();
    for (QWidget* child : screen->findChildren<QWidget*>()) actions += child->actions();
    for (QAction* action : actions)
        if (action->shortcut() == key && action->isEnabled()) return action;
    return nullptr;
}

QObject* screenKeyOwner(const MainWindow& window, const QKeySequence& key) {
    for (const ViewController* screen : window.shownScreens())
        if (QObject* owner = screenKeyOwner(screen, key)) return owner;
    return nullptr;
}

// Whether the owner answers the key where the focus is now (a screen's own key may be bound to
// the focus being inside it).
bool answersKeyNow(QObject* owner) {
    auto* shortcut = qobject_cast<QShortcut*>(owner);
    if (!shortcut || shortcut->context() != Qt::WidgetWithChildrenShortcut) return true;
    auto* holder = qobject_cast<QWidget*>(shortcut->parent());
    QWidget* focus = QApplication::focusWidget();
    return holder && focus && (holder == focus || holder->isAncestorOf(focus));
}

void activate(QObject* owner) {
    if (auto* action = qobject_cast<QAction*>(owner))
        action->trigger();
    else if (auto* shortcut = qobject_cast<QShortcut*>(owner))
        emit shortcut->activated();
}

template <class Widget>
Widget* shownChild(const MainWindow& window) {
    for (const ViewController* screen : window.shownScreens())
        for (Widget* child : screen->findChildren<Widget*>())
            if (child->isVisibleTo(screen)) return child;
    return nullptr;
}

TableView* tableWithDeletableRow(const MainWindow& window) {
    auto* table = shownChild<TableView>(window);
    return table && table->rowsDeletable() && table->currentIndex().isValid() ? table : nullptr;
}

// An item reached from the main menu along these segues, as its entries go.
WindowMenuItem throughMenu(const QString& menu, const QString& text, const QStringList& segues,
                           const QKeySequence& key = {}) {
    return {menu, text, key, [segues](MainWindow& window) { window.goFromMenu(segues); },
            [segues](const MainWindow& window) {
                if (!window.canLeaveShownScreens()) return false;
                const QList<ViewController*> screens = window.navigation().viewControllers();
                return !screens.isEmpty() && screens.first()->canPerformSegue(segues.first());
            }};
}

// An item that runs the shown screen's own command for `key`.
WindowMenuItem screenKey(const QString& menu, const QString& text, const QKeySequence& key) {
    return {menu, text, key, [key](MainWindow& window) { activate(screenKeyOwner(window, key)); },
            [key](const MainWindow& window) { return screenKeyOwner(window, key) != nullptr; }};
}

bool always(const MainWindow&) {
    return true;
}

// The item's key: the one the program's table of keys gives the command.
QKeySequence keyOf(KeyCommand command) {
    return shortcutKeys(command).value(0);
}

std::vector<WindowMenuItem> makeItems() {
    const QKeySequence addKey = keyOf(KeyCommand::AddMovie);
    WindowMenuItem add = throughMenu("&Edit", "Add Movie", {"AddMovie"}, addKey);
    // The movie list adds through its own command, which comes back to it.
    add.reach = [addKey, viaMenu = add.reach](MainWindow& window) {
        if (QObject* own = screenKeyOwner(window, addKey))
            activate(own);
        else
            viaMenu(window);
    };
    add.applies = [addKey, viaMenu = add.applies](const MainWindow& window) {
        return screenKeyOwner(window, addKey) || viaMenu(window);
    };
    return {
        throughMenu("&File", "Import...", {"ImportExport", "ImportMovies"}),
        throughMenu("&File", "Export...", {"ImportExport", "ExportMovies"}),
        screenKey("&File", "Print Report...", keyOf(KeyCommand::PrintReport)),
        {"&File", "Backups...", {}, [](MainWindow& window) { window.showBackups(); }, always},
        {"&File", "Quit", keyOf(KeyCommand::Quit), [](MainWindow& window) { window.close(); },
         always},
        screenKey("&Edit", "Undo", keyOf(KeyCommand::UndoDelete)),
        add,
        {"&Edit",
         "Delete",
         {},
         [](MainWindow& window) {
             if (TableView* table = tableWithDeletableRow(window))
                 table->requestDelete(table->currentIndex().row());
         },
         [](const MainWindow& window) { return tableWithDeletableRow(window) != nullptr; }},
        {"&Edit", "Find", keyOf(KeyCommand::Find),
         [](MainWindow& window) {
             if (auto* search = shownChild<SearchBar>(window)) {
                 search->setFocus(Qt::ShortcutFocusReason);
                 search->selectAll();
             }
         },
         [](const MainWindow& window) { return shownChild<SearchBar>(window) != nullptr; }},
        throughMenu("&View", "List Movies", {"ListMovies"}),
        throughMenu("&View", "Movies by Group", {kTabBarSegue}),
        throughMenu("&View", "Reference Lists", {"ReferenceList"}),
        throughMenu("&View", "Statistics", {kStatisticsSegue}),
        {"&View",
         "Show/Hide List",
         {},
         [](MainWindow& window) { window.setListHidden(!window.isListHidden()); },
         [](const MainWindow& window) {
             return window.isSideBySide() && window.detail() && window.detail()->isVisible();
         }},
        throughMenu("&Help", "Overview", {"Overview"}, keyOf(KeyCommand::ShowOverview)),
        throughMenu("&Help", "Rate and Share", {"RateShare"}),
        {"&Help", "About Quillon", {}, [](MainWindow& window) { window.showAbout(); }, always},
    };
}

// Keeps the items' states current: when the screens change, when a menu opens and before a
// key is matched against the shortcuts.
class MenuStateKeeper : public QObject {
public:
    explicit MenuStateKeeper(MainWindow& window) : QObject(&window), window_(window) {
        qApp->installEventFilter(this);
    }

    // The item applies to the screens shown now, whatever its action's state says.
    bool appliesNow(const WindowMenuItem& item) const { return item.applies(window_); }

    void refresh() {
        const std::vector<WindowMenuItem>& items = windowMenuItems();
        const QList<QAction*> actions = window_.menuActions();
        for (size_t i = 0; i < items.size() && i < size_t(actions.size()); ++i)
            refreshItem(items[i], actions[int(i)]);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == &window_)
            refresh();
        return false;
    }

private:
    void refreshItem(const WindowMenuItem& item, QAction* action) {
        QObject* owner = screenKeyOwner(window_, item.key);
        const bool screenOwnsKey = owner && answersKeyNow(owner);
        // The screen answers the key itself; the item only shows it.
        action->setShortcut(screenOwnsKey ? QKeySequence() : item.key);
        action->setText(screenOwnsKey
                            ? item.text + '\t' + item.key.toString(QKeySequence::NativeText)
                            : item.text);
        action->setEnabled(item.applies(window_));
    }

    MainWindow& window_;
};

struct KeptItem {
    MenuStateKeeper* keeper;
    const WindowMenuItem* item;
};

// The items of every window's menu bar, by their actions.
QHash<const QAction*, KeptItem>& keptItems() {
    static QHash<const QAction*, KeptItem> items;
    return items;
}

// An item as a screen reader sees it: its state is the one a user finds on opening its menu,
// and its action acts as a click does, even while the menu is closed.
class MenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    MenuItemAccessible(QAction* action, KeptItem kept) : action_(action), kept_(kept) {}

    bool isValid() const override { return action_ && menu(); }
    QObject* object() const override { return action_; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(menu());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return QString(kept_.item->text).remove('&');
        if (t == QAccessible::Accelerator)
            return kept_.item->key.toString(QKeySequence::NativeText);
        return {};
    }
    QRect rect() const override {
        if (!isValid() || !menu()->isVisible()) return {};
        const QRect shown = menu()->actionGeometry(action_);
        return QRect(menu()->mapToGlobal(shown.topLeft()), shown.size());
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) return state;
        state.focusable = true;
        state.disabled = !kept_.keeper->appliesNow(*kept_.item);
        state.invisible = !menu()->isVisible();
        state.focused = menu()->activeAction() == action_;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override {
        return isValid() && !state().disabled ? QStringList{pressAction()} : QStringList();
    }
    void doAction(const QString& action) override {
        if (action != pressAction() || !actionNames().contains(action)) return;
        kept_.keeper->refresh();
        menu()->hide();
        action_->trigger();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QMenu* menu() const { return action_ ? qobject_cast<QMenu*>(action_->parent()) : nullptr; }

    QPointer<QAction> action_;
    KeptItem kept_;
};

QAccessibleInterface* menuItemAccessible(const QString&, QObject* object) {
    auto* action = qobject_cast<QAction*>(object);
    const auto kept = action ? keptItems().constFind(action) : keptItems().cend();
    return kept != keptItems().cend() ? new MenuItemAccessible(action, *kept) : nullptr;
}

}  // namespace

const std::vector<WindowMenuItem>& windowMenuItems() {
    static const std::vector<WindowMenuItem> items = makeItems();
    return items;
}

void installWindowMenus(MainWindow& window) {
    static const bool factoryInstalled = (QAccessible::installFactory(menuItemAccessible), true);
    Q_UNUSED(factoryInstalled);
    auto* keeper = new MenuStateKeeper(window);
    QList<QAction*> actions;
    QMenu* menu = nullptr;
    for (const WindowMenuItem& item : windowMenuItems()) {
        if (!menu || menu->title() != item.menu) {
            menu = window.menuBar()->addMenu(item.menu);
            QObject::connect(menu, &QMenu::aboutToShow, keeper, [keeper] { keeper->refresh(); });
        }
        QAction* action = menu->addAction(item.text);
        action->setShortcut(item.key);
        action->setShortcutContext(Qt::WindowShortcut);
        keptItems().insert(action, {keeper, &item});
        QObject::connect(action, &QObject::destroyed, [action] { keptItems().remove(action); });
        QObject::connect(action, &QAction::triggered, &window, [&window, &item] {
            // A key may come before the state caught up with the screen.
            if (item.applies(window)) item.reach(window);
        });
        actions << action;
    }
    window.setMenuActions(actions);
    QObject::connect(&window, &MainWindow::screensChanged, keeper, [keeper] { keeper->refresh(); });
}

}  // namespace quillon
