#include "movies/AddMovieViewController.h"

#include <QLineEdit>

#include "handover/SelectionState.h"
#include "handover/Services.h"

namespace quillon {

AddMovieViewController::AddMovieViewController(Services& services, QWidget* parent)
    : MovieFormViewController(kAddMovieForm, services, parent) {}

MoviePtr AddMovieViewController::movieToSave() {
    return Movies::insertInto(services_.context);
}

void AddMovieViewController::notesReturned() {
    entry(FormField::Notes)->setText(services_.selection.SelectedNotes);
}

}  // namespace quillon
