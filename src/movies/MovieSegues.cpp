#include "movies/MovieSegues.h"

#include "catalogue/GroupKind.h"
#include "movies/AddMovieViewController.h"
#include "movies/EditMoviesViewController.h"
#include "movies/ListMoviesTableViewController.h"
#include "movies/NotesViewController.h"
#include "toolkit/Storyboard.h"

namespace quillon {

void registerMovieSegues(Storyboard& storyboard) {
    storyboard.registerSegue(kListMoviesSegue, [](Services& services) {
        return new ListMoviesTableViewController(services);
    });
    storyboard.registerSegue(
        kAddMovieSegue, [](Services& services) { return new AddMovieViewController(services); });
    const Storyboard::Factory editForm = [](Services& services) {
        return new EditMoviesViewController(services);
    };
    storyboard.registerSegue(kShowDetailSegue, editForm);
    for (const GroupKindFacts& kind : kGroupKindTable)
        storyboard.registerSegue(kind.breakdown.editSegue, editForm);
    storyboard.registerSegue(kNotesSegue,
                             [](Services& services) { return new NotesViewController(services); });
}

}  // namespace quillon
