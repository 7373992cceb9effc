#pragma once

#include "movies/MovieFormViewController.h"

namespace quillon {

// Adds a movie: the seven required fields, a new record at Save, back to the opener.
class AddMovieViewController : public MovieFormViewController {
    Q_OBJECT
public:
    explicit AddMovieViewController(Services& services, QWidget* parent = nullptr);

protected:
    MoviePtr movieToSave() override;
    // The notes come back as typed.
    void notesReturned() override;
};

}  // namespace quillon
