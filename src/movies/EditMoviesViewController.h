#pragma once

#include <QImage>

#include "handover/DetailItem.h"
#include "movies/MovieFormViewController.h"

namespace quillon {

// Edits the movie handed over by the opener (detailItem): Save and the notes write to that very
// movie, whatever its name and year, and refuse when it has been deleted. A stored cover can be
// removed at once; a double click on a cover opens the viewer; the share button shares a picture
// of the form. Five seconds after it opens, the form asks for a store review.
class EditMoviesViewController : public MovieFormViewController, public MovieDetailReceiver {
    Q_OBJECT
public:
    explicit EditMoviesViewController(Services& services, QWidget* parent = nullptr);

    void viewDidLoad() override;
    void setDetailItem(const MoviePtr& movie) override;
    const MoviePtr& detailItem() const { return detailItem_; }

    // Fills the form from the movie.
    void ShowMovieDetails();
    // Ask, then remove the stored cover at once.
    void RemoveFrontImage() { removeStoredImage(Front); }
    void RemoveBackImage() { removeStoredImage(Back); }
    void RemoveStoredImage(Cover cover);
    void TapFrontImage();
    void shareButtonClicked();
    QToolButton* shareButton() const { return shareButton_; }

    QImage ScreenShotImage;

protected:
    QString refusal() const override;
    MoviePtr movieToSave() override { return detailItem_; }
    MoviePtr openedMovie() const override { return detailItem_; }
    // Only the notes entry shows the stored notes again; the other entries keep their input.
    void notesReturned() override;
    void removeStoredImage(Cover cover) override;

private:
    MoviePtr detailItem_;
    QToolButton* shareButton_;
};

}  // namespace quillon
