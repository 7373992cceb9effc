#include "movies/EditMoviesViewController.h"

#include <QLineEdit>
#include <QToolButton>

#include "handover/Services.h"
#include "movies/CoverView.h"
#include "movies/MovieSegues.h"
#include "movies/ScreenShare.h"
#include "platform/Clock.h"
#include "platform/DiagnosticLog.h"
#include "platform/ReviewService.h"
#include "store/CatalogueStore.h"
#include "toolkit/AlertController.h"

namespace quillon {

EditMoviesViewController::EditMoviesViewController(Services& services, QWidget* parent)
    : MovieFormViewController(kEditMovieForm, services, parent), shareButton_(new QToolButton) {
    shareButton_->setObjectName("ShareButton");
    shareButton_->setText("Share");
    shareButton_->setIcon(QIcon::fromTheme("document-send"));
    shareButton_->setToolTip("Share");
    shareButton_->setAccessibleName("Share");
    connect(shareButton_, &QToolButton::clicked, this, [this] { shareButtonClicked(); });
    addRightBarButton(shareButton_);
    for (Cover cover : {Front, Back})
        connect(coverView(cover), &CoverView::doubleClicked, this, [this] { TapFrontImage(); });
}

void EditMoviesViewController::viewDidLoad() {
    MovieFormViewController::viewDidLoad();
    ShowMovieDetails();
    // Held weakly: a form closed within the five seconds asks nothing.
    services_.clock.runAfter(
        5, [this] { services_.review.requestReview(window()); }, this);
}

void EditMoviesViewController::setDetailItem(const MoviePtr& movie) {
    detailItem_ = movie;
    if (isViewLoaded()) ShowMovieDetails();
}

void EditMoviesViewController::ShowMovieDetails() {
    if (!detailItem_) return;
    setEntryTexts(textsOf(*detailItem_), detailItem_->notes().has_value());
    for (Cover cover : {Front, Back})
        coverView(cover)->showStored(*detailItem_, kFormCovers[cover].attribute);
    markUnchanged();
}

void EditMoviesViewController::notesReturned() {
    if (!detailItem_) return;
    if (const OptionalText notes = detailItem_->notes()) {
        entry(FormField::Notes)->setText(*notes);
        markUnchanged(FormField::Notes);  // the notes screen has stored them
    }
}

QString EditMoviesViewController::refusal() const {
    if (!detailItem_ || detailItem_->isDeleted())
        return "This movie is no longer in the catalogue; nothing was changed.";
    return {};
}

void EditMoviesViewController::removeStoredImage(Cover cover) {
    auto* alert =
        new AlertController(kFormCovers[cover].removeTitle, "Do You Want to Remove This Image?");
    QPointer<EditMoviesViewController> self(this);
    alert->addAction({"Yes", AlertController::Style::Default, [self, cover] {
                          if (self) self->RemoveStoredImage(cover);
                      }});
    alert->addAction({"No", AlertController::Style::Cancel, {}});
    present(alert);
}

void EditMoviesViewController::RemoveStoredImage(Cover cover) {
    if (const QString reason = refusal(); !reason.isEmpty()) {
        tell(kMovieNotSavedTitle, reason);
        return;
    }
    detailItem_->setImage(kFormCovers[cover].attribute, std::nullopt);
    if (const Status status = services_.context.save(); !status) {
        diagnosticLog(status.describe());
        services_.context.refreshObject(detailItem_);
        tell(kMovieNotSavedTitle, status.describe());
        return;
    }
    coverView(cover)->clear();
}

void EditMoviesViewController::TapFrontImage() {
    if (canPerformSegue(kViewFullImageSegue)) performSegue(kViewFullImageSegue);
}

void EditMoviesViewController::shareButtonClicked() {
    shareScreen(this, kEditFormShare, services_, &ScreenShotImage);
}

}  // namespace quillon
