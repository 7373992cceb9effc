#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "store/Backups.h"
#include "store/Records.h"
#include "store/Status.h"
#include "toolkit/NavigationController.h"

class QAction;
class QSplitter;
class QToolButton;

namespace quillon {

class AppDelegate;
class ViewController;

// The program's window: the screens of the open catalogue under a menu bar. It opens at the
// size and place it was left at (a desktop size on the first start) and keeps them when it
// closes. At least kSideBySideWidth wide, a movie list keeps its place on the left and the
// movie picked from it opens on the right; narrower, one screen at a time. The delegate must
// outlive it.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kSideBySideWidth = 900;

    explicit MainWindow(AppDelegate& app, QWidget* parent = nullptr);
    ~MainWindow() override;

    AppDelegate& app() const { return app_; }
    // The screens from the main menu on; side by side, the list on the left.
    NavigationController& navigation() const { return *navigation_; }
    // The right side: the screens opened from the list, over the "select a movie" screen.
    NavigationController* detail() const { return detail_; }
    ViewController* topViewController() const;
    // The screens the user sees and works in: the right side's top (when it holds a movie)
    // and the left's.
    QList<ViewController*> shownScreens() const;

    bool isSideBySide() const { return sideBySide_; }
    bool isListHidden() const;
    void setListHidden(bool hidden);

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
    void resizeEvent(QResizeEvent* event) override;

private:
    void showCatalogue();
    void dropScreens();
    ViewController* detailRoot() const;
    bool detailHoldsScreens() const;
    void setSideBySide(bool sideBySide);
    void masterTopChanged(ViewController* top);
    // Moves the screen just opened from the list to the right side, asking first when the
    // movie shown there has unsaved input.
    void openBeside(ViewController* incoming);
    void replaceDetail(ViewController* incoming);
    void askToSaveThenOpen(class MovieFormViewController* shown, ViewController* incoming);
    // Screens above the list go to the right side, or back above it.
    void moveScreensBeside();
    void moveScreensBack();
    bool unwindBeside(const QString& name);
    void dropDeletedMovie();
    // Selects and reveals the movie's row in the list on the left, if it is listed.
    void selectInList(const MoviePtr& movie);
    void updateDetailShown();

    AppDelegate& app_;
    QSplitter* splitter_ = nullptr;
    QPointer<NavigationController> navigation_;
    QPointer<NavigationController> detail_;
    QToolButton* displayMode_ = nullptr;
    QList<QAction*> menuActions_;
    bool sideBySide_ = false;
    bool listHidden_ = false;
    bool moving_ = false;
};

// The window on the main menu of the delegate's open catalogue.
std::unique_ptr<MainWindow> createMainWindow(AppDelegate& app);

}  // namespace quillon
