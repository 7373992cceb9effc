#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "store/Backups.h"
#include "store/Status.h"
#include "toolkit/NavigationController.h"

class QAction;

namespace quillon {

class AppDelegate;
class ViewController;

// The program's window: the screens of the open catalogue under a menu bar. It opens at the
// size and place it was left at (a desktop size on the first start) and keeps them when it
// closes. The delegate must outlive it.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppDelegate& app, QWidget* parent = nullptr);
    ~MainWindow() override;

    AppDelegate& app() const { return app_; }
    NavigationController& navigation() const { return *navigation_; }
    ViewController* topViewController() const;

    // Whether every screen above the main menu may be left now: none holds unsaved input and
    // no work is running.
    bool canLeaveShownScreens() const;
    // Back to the main menu, then along its segues, as its entries go; the screen reached, or
    // nullptr when the shown screens cannot be left.
    ViewController* goFromMenu(const QStringList& segues);

    // Saves pending changes, puts the backup back as `quillon restore` does (the catalogue
    // backed up first) and shows the restored catalogue on the main menu.
    Status restoreBackup(const QString& name, backups::SafetyCopy* safety);

    void showAbout();
    void showBackups();

    // The menu bar's items, in the order of windowMenuItems().
    QList<QAction*> menuActions() const { return menuActions_; }
    void setMenuActions(QList<QAction*> actions) { menuActions_ = std::move(actions); }

signals:
    // The shown screens changed (another on top, or a new catalogue).
    void screensChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showCatalogue();
    void dropScreens();

    AppDelegate& app_;
    QPointer<NavigationController> navigation_;
    QList<QAction*> menuActions_;
};

// The window on the main menu of the delegate's open catalogue.
std::unique_ptr<MainWindow> createMainWindow(AppDelegate& app);

}  // namespace quillon
