#include "app/MainWindow.h"

#include <QCloseEvent>

#include "app/AboutDialog.h"
#include "app/AppDelegate.h"
#include "app/BackupsDialog.h"
#include "app/CatalogueAccess.h"
#include "app/MainMenuViewController.h"
#include "app/WindowMenus.h"
#include "app/WindowPlacement.h"
#include "platform/UserDefaults.h"
#include "toolkit/NavigationController.h"
#include "toolkit/Storyboard.h"

namespace quillon {

MainWindow::MainWindow(AppDelegate& app, QWidget* parent) : QMainWindow(parent), app_(app) {
    setWindowTitle("Quillon");
    installWindowMenus(*this);
    showCatalogue();
    restoreWindowPlacement(*this, *standardUserDefaults());
}

MainWindow::~MainWindow() {
    // The screens go before the window's other children: they may still reach the menus.
    dropScreens();
}

void MainWindow::showCatalogue() {
    const Storyboard& storyboard = app_.storyboard();
    auto* navigation =
        new NavigationController(new MainMenuViewController(storyboard.services()), this);
    navigation->setStoryboard(&storyboard);
    navigation_ = navigation;
    setCentralWidget(navigation);
    connect(navigation, &NavigationController::topViewControllerChanged, this,
            &MainWindow::screensChanged);
    emit screensChanged();
}

void MainWindow::dropScreens() {
    delete navigation_.data();
}

ViewController* MainWindow::topViewController() const {
    return navigation_ ? navigation_->topViewController() : nullptr;
}

bool MainWindow::canLeaveShownScreens() const {
    if (!navigation_) return false;
    const QList<ViewController*> screens = navigation_->viewControllers();
    return std::all_of(
        screens.begin() + qMin<qsizetype>(1, screens.size()), screens.end(),
        [](ViewController* screen) { return screen->leavesByKey() && screen->backEnabled(); });
}

ViewController* MainWindow::goFromMenu(const QStringList& segues) {
    if (!canLeaveShownScreens()) return nullptr;
    const QList<ViewController*> screens = navigation_->viewControllers();
    if (screens.isEmpty()) return nullptr;
    navigation_->popToViewController(screens.first());
    ViewController* shown = screens.first();
    for (const QString& segue : segues) {
        shown = shown->performSegue(segue);
        if (!shown) return nullptr;
    }
    return shown;
}

Status MainWindow::restoreBackup(const QString& name, backups::SafetyCopy* safety) {
    if (app_.isStoreOpen() && !app_.saveContext())
        return Status::failure(Status::Refused,
                               "The changes could not be saved, so nothing was put back");
    dropScreens();
    const Status restored = quillon::restoreBackup(app_, name, safety);
    if (const Status opened = app_.openStore(); !opened) {
        // Nothing can be shown without a catalogue; the caller tells the user why.
        emit screensChanged();
        return restored ? opened : restored;
    }
    showCatalogue();
    return restored;
}

void MainWindow::showAbout() {
    openAboutDialog(this, app_.dataDir());
}

void MainWindow::showBackups() {
    openBackupsDialog(*this);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    saveWindowPlacement(*this, *standardUserDefaults());
    QMainWindow::closeEvent(event);
}

std::unique_ptr<MainWindow> createMainWindow(AppDelegate& app) {
    return std::make_unique<MainWindow>(app);
}

}  // namespace quillon
