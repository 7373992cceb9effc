#include "app/MainMenuViewController.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPropertyAnimation>
#include <QVBoxLayout>

#include "app/FirstLaunch.h"
#include "exchange/ExchangeSegues.h"
#include "feedback/FeedbackSegues.h"
#include "groups/GroupSegues.h"
#include "handover/ReturnPoints.h"
#include "handover/SelectionState.h"
#include "handover/Services.h"
#include "movies/MovieSegues.h"
#include "platform/UserDefaults.h"
#include "reference/ReferenceSegues.h"
#include "reports/ReportSegues.h"
#include "statistics/StatisticsSegues.h"
#include "toolkit/AlertController.h"
#include "toolkit/Appearance.h"
#include "toolkit/MainQueue.h"
#include "toolkit/MenuColumn.h"
#include "toolkit/NavigationController.h"

namespace quillon {

MainMenuViewController::MainMenuViewController(Services& services, QWidget* parent)
    : ViewController(parent),
      services_(services),
      context(services.context),
      userDefaults(standardUserDefaults()),
      AboutHasBeenLaunchedBeforeFlag(kAboutHasBeenLaunchedBeforeFlag),
      ListOfGenre(defaultGenres()),
      ListOfRating(defaultRatings()),
      toggleButton_(new QPushButton("Menu")) {
    toggleButton_->setMinimumHeight(40);
    setTitle("Quillon");
    QVBoxLayout* layout = createMenuColumn(this);
    auto* banner = new QLabel("Quillon\nMy Movie Catalogue");
    banner->setAlignment(Qt::AlignCenter);
    QFont font = banner->font();
    font.setPointSize(font.pointSize() + 6);
    font.setBold(true);
    banner->setFont(font);
    layout->addWidget(banner);
    layout->addWidget(toggleButton_);
    ListMoviesButton = addMenuEntry(layout, this, "List Movies", kListMoviesSegue);
    ListMoviesByGroupButton = addMenuEntry(layout, this, "List Movies by Group", kTabBarSegue);
    AddMovieButton = addMenuEntry(layout, this, "Add Movie", kAddMovieSegue);
    ReferenceListButton = addMenuEntry(layout, this, "Reference Lists", kReferenceListSegue);
    StatisticsButton = addMenuEntry(layout, this, "Statistics", kStatisticsSegue);
    ImportExportButton = addMenuEntry(layout, this, "Import / Export", kImportExportSegue);
    OverviewButton = addMenuEntry(layout, this, "Overview", kOverviewSegue);
    RateShareButton = addMenuEntry(layout, this, "Rate and Share", kRateShareSegue);
    MainMenuButton = {ListMoviesButton,    ListMoviesByGroupButton, AddMovieButton,
                      ReferenceListButton, StatisticsButton,        ImportExportButton,
                      OverviewButton,      RateShareButton};
    layout->addStretch(1);
    connect(toggleButton_, &QPushButton::clicked, this, [this] { HandleSelection(); });
    setFocusOnAppear(toggleButton_);  // Enter or Space opens the menu at once
    offerReturnPoint(kUnwindToMenu, [this] { unwindToMenu(); });
}

void MainMenuViewController::viewDidLoad() {
    managedObjectContext = &context;
    const FirstLaunchOutcome outcome = runFirstLaunchCheck(*userDefaults, *managedObjectContext);
    if (outcome.flagNotSaved) {
        const QString file = userDefaults->fileName();
        // Once the window is up, so the alert has a window to sit on.
        mainQueue::async(
            [this, file] {
                present(AlertController::ok(flagNotSavedTitle(), flagNotSavedMessage(file)));
            },
            this);
    }
    appearance::applyButtonLook(toggleButton_);
    for (QPushButton* button : MainMenuButton) appearance::applyButtonLook(button);
}

void MainMenuViewController::viewWillAppear() {
    for (QPushButton* button : MainMenuButton) button->setVisible(false);
    if (auto* nav = navigationController()) nav->setNavigationBarHidden(false, true);
    services_.selection.CallingScreen = "Menu";
}

void MainMenuViewController::HandleSelection() {
    for (QPushButton* button : MainMenuButton) {
        const bool show = button->isHidden();
        button->setVisible(show);
        if (show) animateShown(button);
    }
}

void MainMenuViewController::animateShown(QPushButton* button) {
    auto* effect = new QGraphicsOpacityEffect(button);
    button->setGraphicsEffect(effect);
    auto* fade = new QPropertyAnimation(effect, "opacity", button);
    fade->setDuration(int(kToggleAnimationSeconds * 1000));
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    connect(fade, &QPropertyAnimation::finished, button,
            [button] { button->setGraphicsEffect(nullptr); });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void MainMenuViewController::prepareForSegue(const QString& identifier, ViewController*) {
    if (identifier == kTabBarSegue)
        if (auto* nav = navigationController()) nav->setNavigationBarHidden(true, true);
}

}  // namespace quillon
