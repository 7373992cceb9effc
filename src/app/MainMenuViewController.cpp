#include "app/MainMenuViewController.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPropertyAnimation>
#include <QVBoxLayout>

#include "app/AppDelegate.h"
#include "app/FirstLaunch.h"
#include "platform/UserDefaults.h"
#include "store/SelectionState.h"
#include "toolkit/Appearance.h"
#include "toolkit/NavigationController.h"

namespace quillon {

MainMenuViewController::MainMenuViewController(QWidget* parent)
    : ViewController(parent),
      context(AppDelegate::shared().viewContext()),
      userDefaults(standardUserDefaults()),
      AboutHasBeenLaunchedBeforeFlag(kAboutHasBeenLaunchedBeforeFlag),
      ListOfGenre(defaultGenres()),
      ListOfRating(defaultRatings()),
      toggleButton_(new QPushButton("Menu")) {
    toggleButton_->setMinimumHeight(40);
    setTitle("Quillon");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(10);
    auto* banner = new QLabel("Quillon\nMy Movie Catalogue");
    banner->setAlignment(Qt::AlignCenter);
    QFont font = banner->font();
    font.setPointSize(font.pointSize() + 6);
    font.setBold(true);
    banner->setFont(font);
    layout->addWidget(banner);
    layout->addWidget(toggleButton_);
    ListMoviesButton = addEntry("List Movies", "ListMovies");
    ListMoviesByGroupButton = addEntry("List Movies by Group", "TabBarController");
    AddMovieButton = addEntry("Add Movie", "AddMovie");
    ReferenceListButton = addEntry("Reference Lists", "ReferenceList");
    ImportExportButton = addEntry("Import / Export", "ImportExport");
    OverviewButton = addEntry("Overview", "Overview");
    RateShareButton = addEntry("Rate and Share", "RateShare");
    for (QPushButton* button : MainMenuButton) layout->addWidget(button);
    layout->addStretch(1);
    connect(toggleButton_, &QPushButton::clicked, this, [this] { HandleSelection(); });
    offerReturnPoint("unwindToMenu", [this] { unwindToMenu(); });
}

QPushButton* MainMenuViewController::addEntry(const QString& caption, const QString& segue) {
    auto* button = new QPushButton(caption);
    button->setMinimumHeight(40);
    // Areas that are not built yet stay visible but cannot be opened.
    button->setEnabled(SegueRegistry::isRegistered(segue));
    connect(button, &QPushButton::clicked, this, [this, segue] { performSegue(segue); });
    MainMenuButton << button;
    return button;
}

void MainMenuViewController::viewDidLoad() {
    managedObjectContext = &context;
    runFirstLaunchCheck(*userDefaults, *managedObjectContext);
    appearance::applyButtonLook(toggleButton_);
    for (QPushButton* button : MainMenuButton) appearance::applyButtonLook(button);
}

void MainMenuViewController::viewWillAppear() {
    for (QPushButton* button : MainMenuButton) button->setVisible(false);
    if (auto* nav = navigationController()) nav->setNavigationBarHidden(false, true);
    SelectionState::shared().CallingScreen = "Menu";
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
    connect(fade, &QPropertyAnimation::finished, button, [button] { button->setGraphicsEffect(nullptr); });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void MainMenuViewController::prepareForSegue(const QString& identifier, ViewController*) {
    if (identifier == "TabBarController")
        if (auto* nav = navigationController()) nav->setNavigationBarHidden(true, true);
}

}  // namespace quillon
