#include "movies/MovieSegues.h"

#include "movies/AddMovieViewController.h"
#include "movies/EditMoviesViewController.h"
#include "movies/NotesViewController.h"
#include "toolkit/Storyboard.h"

namespace quillon {

void registerMovieSegues(Storyboard& storyboard) {
    storyboard.registerSegue(
        kAddMovieSegue, [](Services& services) { return new AddMovieViewController(services); });
    storyboard.registerSegue(kShowDetailSegue, [](Services& services) {
        return new EditMoviesViewController(services);
    });
    storyboard.registerSegue(kNotesSegue,
                             [](Services& services) { return new NotesViewController(services); });
}

}  // namespace quillon
