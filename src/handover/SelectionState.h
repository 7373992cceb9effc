#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <optional>

namespace quillon {

// Hand-over values between screens: a list screen copies the picked movie (or group value) here
// before it opens the next screen, which reads them. Copies, never live records. One per
// program, in the services. Main thread.
struct SelectionState {
    QString SelectedName;
    qint16 SelectedYear = 0;
    QString SelectedActor1;
    QString SelectedActor2;
    QString SelectedActress1;
    QString SelectedActress2;
    QString SelectedDirector;
    QString SelectedProducer;
    QString SelectedGenre;
    std::optional<QByteArray> SelectedFrontImage;
    std::optional<QByteArray> SelectedBackImage;
    // The covers decoded at full size, held only while the card viewer is open.
    QList<QImage> SelectedImages;
    QString SelectedNotes;
    QString SelectedActorName;
    QString SelectedActressName;
    bool SharedSortAsc = true;
    QString CallingScreen;
    // Text of the reference-list entry last tapped.
    QString SelectedListGenre;
    QString SelectedListRating;

    void reset() { *this = SelectionState{}; }
};

class Movies;

// Whether a pick copies the movie's notes too, or leaves SelectedNotes as it was.
enum class NotesCopy { Copy, Keep };

// Copies a picked movie's fields and cover bytes into the selection. Nothing is decoded: the
// viewers decode the covers when they open.
void selectMovie(const Movies& movie, SelectionState& selection, NotesCopy notes = NotesCopy::Copy);

}  // namespace quillon
