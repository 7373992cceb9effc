#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/AboutDialog.h"
#include "app/AppDelegate.h"
#include "app/BackupsDialog.h"
#include "app/CatalogueAccess.h"
#include "app/MainMenuViewController.h"
#include "app/WindowMenus.h"
#include "app/WindowPlacement.h"
#include "groups/BreakdownTableViewController.h"
#include "movies/ListMoviesTableViewController.h"
#include "movies/MovieFormViewController.h"
#include "platform/UserDefaults.h"
#include "toolkit/AlertController.h"
#include "toolkit/FocusMark.h"
#include "toolkit/Storyboard.h"
#include "toolkit/TabBarController.h"
#include "toolkit/TableView.h"

namespace quillon {

namespace {

const QString kSplitterKey = QStringLiteral("window/splitter");

bool isListScreen(const ViewController* screen) {
    return qobject_cast<const ListMoviesTableViewController*>(screen) ||
           qobject_cast<const BreakdownTableViewController*>(screen);
}

// The right side when it shows no movie: what to do next.
class SelectMovieScreen : public ViewController {
public:
    SelectMovieScreen() {
        setObjectName(QStringLiteral("SelectMovieScreen"));
        auto* column = new QVBoxLayout(this);
        auto* hint = new QLabel("Select a movie, or press Ctrl+N to add one");
        hint->setObjectName(QStringLiteral("selectMovieHint"));
        hint->setAlignment(Qt::AlignCenter);
        hint->setWordWrap(true);
        hint->setEnabled(false);  // drawn as the quiet text it is
        column->addWidget(hint);
    }
};

}  // namespace

MainWindow::MainWindow(AppDelegate& app, QWidget* parent) : QMainWindow(parent), app_(app) {
    setWindowTitle("Quillon");
    installFocusMark();
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("sideBySide"));
    splitter_->setChildrenCollapsible(false);
    setCentralWidget(splitter_);
    installWindowMenus(*this);
    showCatalogue();
    auto defaults = standardUserDefaults();
    restoreWindowPlacement(*this, *defaults);
    if (!splitter_->restoreState(defaults->value(kSplitterKey).toByteArray()))
        splitter_->setSizes({420, 680});
}

MainWindow::~MainWindow() {
    // The screens go before the window's other children: they may still reach the menus.
    dropScreens();
}

void MainWindow::showCatalogue() {
    const Storyboard& storyboard = app_.storyboard();
    navigation_ =
        new NavigationController(new MainMenuViewController(storyboard.services()), splitter_);
    navigation_->setStoryboard(&storyboard);
    detail_ = new NavigationController(new SelectMovieScreen, splitter_);
    detail_->setObjectName(QStringLiteral("detail"));
    detail_->setStoryboard(&storyboard);
    detail_->setUnwindElsewhere([this](const QString& name) { return unwindBeside(name); });
    displayMode_ = new QToolButton;
    displayMode_->setObjectName(QStringLiteral("displayModeButton"));
    displayMode_->setAutoRaise(true);
    detail_->addLeadingBarWidget(displayMode_);
    connect(displayMode_, &QToolButton::clicked, this, [this] { setListHidden(!isListHidden()); });
    splitter_->insertWidget(0, navigation_);
    splitter_->insertWidget(1, detail_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    connect(navigation_, &NavigationController::topViewControllerChanged, this,
            &MainWindow::masterTopChanged);
    connect(detail_, &NavigationController::topViewControllerChanged, this,
            [this] { updateDetailShown(); });
    setListHidden(false);
    updateDetailShown();
}

void MainWindow::dropScreens() {
    delete detail_.data();
    delete navigation_.data();
}

ViewController* MainWindow::detailRoot() const {
    return detail_ && !detail_->viewControllers().isEmpty() ? detail_->viewControllers().first()
                                                            : nullptr;
}

bool MainWindow::detailHoldsScreens() const {
    return detail_ && detail_->viewControllers().size() > 1;
}

ViewController* MainWindow::topViewController() const {
    return navigation_ ? navigation_->topViewController() : nullptr;
}

QList<ViewController*> MainWindow::shownScreens() const {
    QList<ViewController*> shown;
    if (detailHoldsScreens()) shown << detail_->topViewController();
    if (ViewController* top = topViewController()) shown << top;
    return shown;
}

bool MainWindow::isListHidden() const {
    return listHidden_;
}

void MainWindow::setListHidden(bool hidden) {
    listHidden_ = hidden;
    if (navigation_) navigation_->setVisible(!(hidden && sideBySide_ && detail_->isVisible()));
    if (displayMode_) {
        displayMode_->setText(hidden ? "Show List" : "Hide List");
        displayMode_->setAccessibleName(displayMode_->text());
    }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    setSideBySide(width() >= kSideBySideWidth);
}

void MainWindow::setSideBySide(bool sideBySide) {
    if (sideBySide == sideBySide_ || !navigation_) return;
    sideBySide_ = sideBySide;
    if (sideBySide)
        moveScreensBeside();
    else
        moveScreensBack();
    updateDetailShown();
    emit screensChanged();
}

void MainWindow::updateDetailShown() {
    if (!detail_) return;
    const bool shown = sideBySide_ && (isListScreen(topViewController()) || detailHoldsScreens());
    detail_->setVisible(shown);
    displayMode_->setVisible(shown);
    setListHidden(listHidden_);
}

void MainWindow::masterTopChanged(ViewController* top) {
    if (!moving_ && sideBySide_) {
        const QList<ViewController*> stack = navigation_->viewControllers();
        if (stack.size() >= 2 && isListScreen(stack.at(stack.size() - 2)) && !isListScreen(top)) {
            moving_ = true;
            ViewController* incoming = navigation_->takeTopViewController();
            moving_ = false;
            openBeside(incoming);
        }
    }
    if (auto* list = top; isListScreen(list))
        for (TableView* table : list->findChildren<TableView*>())
            connect(table, &TableView::deleteRequested, this, &MainWindow::dropDeletedMovie,
                    Qt::UniqueConnection);
    updateDetailShown();
    emit screensChanged();
}

void MainWindow::openBeside(ViewController* incoming) {
    if (!incoming) return;
    const QList<ViewController*> screens = detail_->viewControllers();
    const bool leaves = std::all_of(screens.begin() + 1, screens.end(), [](ViewController* s) {
        return s->leavesByKey() && s->backEnabled();
    });
    if (leaves) return replaceDetail(incoming);
    auto* form = qobject_cast<MovieFormViewController*>(detail_->topViewController());
    if (form && !form->isBusy()) return askToSaveThenOpen(form, incoming);
    // Notes or work still open over the movie: that is finished first.
    incoming->deleteLater();
}

void MainWindow::replaceDetail(ViewController* incoming) {
    moving_ = true;
    detail_->popToViewController(detailRoot());
    detail_->pushViewController(incoming);
    moving_ = false;
    if (auto* form = qobject_cast<MovieFormViewController*>(incoming); form && form->openedMovie())
        selectInList(form->openedMovie());
    updateDetailShown();
    emit screensChanged();
}

void MainWindow::askToSaveThenOpen(MovieFormViewController* shown, ViewController* incoming) {
    QString name = shown->entry(FormField::MovieName)->text().trimmed();
    if (name.isEmpty()) name = shown->title();
    auto* ask = new AlertController(QStringLiteral("Save changes to %1?").arg(name),
                                    "Otherwise the changes are lost.");
    QPointer<ViewController> waiting(incoming);
    QPointer<MovieFormViewController> form(shown);
    ask->addAction({"Save", AlertController::Style::Default, [this, form, waiting] {
                        if (!form || !waiting) return;
                        auto answered = std::make_shared<bool>(false);
                        connect(form, &MovieFormViewController::saveFinished, this,
                                [this, waiting, answered](bool saved) {
                                    if (*answered) return;
                                    *answered = true;
                                    if (!waiting) return;
                                    if (!saved) return waiting->deleteLater();
                                    // Once the saved form has gone back to the list.
                                    QMetaObject::invokeMethod(
                                        this,
                                        [this, waiting] {
                                            if (waiting) replaceDetail(waiting);
                                        },
                                        Qt::QueuedConnection);
                                });
                        form->SaveButtonClicked();
                        // Refused before saving (a missing entry): told, and the form stays.
                        if (!*answered && form && !form->isBusy()) {
                            *answered = true;
                            waiting->deleteLater();
                        }
                    }});
    ask->addAction({"Discard", AlertController::Style::Default, [this, waiting] {
                        if (waiting) replaceDetail(waiting);
                    }});
    ask->addAction({"Cancel", AlertController::Style::Cancel, [this, form, waiting] {
                        if (waiting) waiting->deleteLater();
                        // The list points at the movie still shown.
                        if (form && form->openedMovie()) selectInList(form->openedMovie());
                    }});
    shown->present(ask);
}

void MainWindow::moveScreensBeside() {
    const QList<ViewController*> stack = navigation_->viewControllers();
    int list = -1;
    for (int i = stack.size() - 2; i >= 0 && list < 0; --i)
        if (isListScreen(stack.at(i))) list = i;
    if (list < 0 || isListScreen(stack.last())) return;
    QList<ViewController*> moved;
    moving_ = true;
    while (navigation_->viewControllers().size() > list + 1)
        moved.prepend(navigation_->takeTopViewController());
    detail_->popToViewController(detailRoot());
    for (ViewController* screen : moved) detail_->pushViewController(screen);
    moving_ = false;
}

void MainWindow::moveScreensBack() {
    QList<ViewController*> moved;
    moving_ = true;
    while (detailHoldsScreens()) moved.prepend(detail_->takeTopViewController());
    for (ViewController* screen : moved) navigation_->pushViewController(screen);
    moving_ = false;
}

bool MainWindow::unwindBeside(const QString& name) {
    if (!navigation_) return false;
    const QList<ViewController*> stack = navigation_->viewControllers();
    for (int i = stack.size() - 1; i >= 0; --i) {
        ViewController* receiver = stack.at(i)->offersReturnPoint(name) ? stack.at(i) : nullptr;
        if (auto* tabs = qobject_cast<TabBarController*>(stack.at(i)); tabs && !receiver) {
            ViewController* current = tabs->screenAt(tabs->currentIndex());
            if (current && current->offersReturnPoint(name)) receiver = current;
        }
        if (!receiver) continue;
        auto* form = qobject_cast<MovieFormViewController*>(detail_->topViewController());
        const MoviePtr saved = form ? form->savedMovie() : nullptr;
        moving_ = true;
        detail_->popToViewController(detailRoot());
        navigation_->popToViewController(stack.at(i));
        moving_ = false;
        receiver->arriveAtReturnPoint(name);
        if (saved) selectInList(saved);
        updateDetailShown();
        emit screensChanged();
        return true;
    }
    return false;
}

void MainWindow::selectInList(const MoviePtr& movie) {
    ViewController* top = topViewController();
    int row = -1;
    TableView* table = nullptr;
    if (auto* list = qobject_cast<ListMoviesTableViewController*>(top)) {
        row = list->query().rowOf(movie);
        table = list->tableView();
    } else if (auto* breakdown = qobject_cast<BreakdownTableViewController*>(top)) {
        const std::vector<MoviePtr>& rows = breakdown->query().rows();
        row = int(std::find(rows.begin(), rows.end(), movie) - rows.begin());
        table = breakdown->tableView();
    }
    if (!table || row < 0 || row >= table->model()->rowCount()) return;
    table->setCurrentIndex(table->model()->index(row, 0));
    table->revealRow(row);
}

void MainWindow::dropDeletedMovie() {
    // After the list's delete went through (or was taken back).
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!detail_) return;
            for (ViewController* screen : detail_->viewControllers()) {
                auto* form = qobject_cast<MovieFormViewController*>(screen);
                if (form && form->openedMovie() && form->openedMovie()->isDeleted()) {
                    detail_->popToViewController(detailRoot());
                    updateDetailShown();
                    emit screensChanged();
                    return;
                }
            }
        },
        Qt::QueuedConnection);
}

bool MainWindow::canLeaveShownScreens() const {
    if (!navigation_) return false;
    QList<ViewController*> screens = navigation_->viewControllers().mid(1);
    if (detail_) screens += detail_->viewControllers().mid(1);
    return std::all_of(screens.begin(), screens.end(), [](ViewController* screen) {
        return screen->leavesByKey() && screen->backEnabled();
    });
}

ViewController* MainWindow::goFromMenu(const QStringList& segues) {
    if (!canLeaveShownScreens()) return nullptr;
    const QList<ViewController*> screens = navigation_->viewControllers();
    if (screens.isEmpty()) return nullptr;
    if (detail_) detail_->popToViewController(detailRoot());
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
    auto defaults = standardUserDefaults();
    saveWindowPlacement(*this, *defaults);
    defaults->setValue(kSplitterKey, splitter_->saveState());
    QMainWindow::closeEvent(event);
}

std::unique_ptr<MainWindow> createMainWindow(AppDelegate& app) {
    return std::make_unique<MainWindow>(app);
}

}  // namespace quillon
