#include "app/Storyboard.h"

#include "movies/ListMoviesTableViewController.h"
#include "reference/ReferenceSegues.h"
#include "toolkit/ViewController.h"

namespace quillon {

void registerAllSegues() {
    SegueRegistry::registerSegue("ListMovies", [] { return new ListMoviesTableViewController; });
    registerReferenceSegues();
}

}  // namespace quillon
