#pragma once

#include <QList>
#include <QPushButton>
#include <QSettings>
#include <memory>

#include "store/CatalogueStore.h"
#include "toolkit/ViewController.h"

namespace quillon {

struct Services;

// The first screen and hub: a collapsible column of entries, one per area of the program.
// Loading it runs the first-launch seeding of the reference lists.
class MainMenuViewController : public ViewController {
    Q_OBJECT
public:
    static constexpr double kToggleAnimationSeconds = 0.3;

    explicit MainMenuViewController(Services& services, QWidget* parent = nullptr);

    void viewDidLoad() override;
    void viewWillAppear() override;
    void prepareForSegue(const QString& identifier, ViewController* destination) override;
    void HandleSelection();
    void unwindToMenu() {}

    QPushButton* toggleButton() const { return toggleButton_; }
    QPushButton* ListMoviesButton;
    QPushButton* ListMoviesByGroupButton;
    QPushButton* AddMovieButton;
    QPushButton* ReferenceListButton;
    QPushButton* StatisticsButton;
    QPushButton* ImportExportButton;
    QPushButton* OverviewButton;
    QPushButton* RateShareButton;
    QList<QPushButton*> MainMenuButton;

    Services& services_;
    ManagedObjectContext& context;
    ManagedObjectContext* managedObjectContext = nullptr;
    std::unique_ptr<QSettings> userDefaults;
    const QString AboutHasBeenLaunchedBeforeFlag;
    const QStringList ListOfGenre;
    const QStringList ListOfRating;

private:
    void animateShown(QPushButton* button);

    QPushButton* toggleButton_;
};

}  // namespace quillon
