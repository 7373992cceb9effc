#include "app/Storyboard.h"

#include "exchange/ExchangeSegues.h"
#include "movies/ListMoviesTableViewController.h"
#include "reference/ReferenceSegues.h"
#include "toolkit/ViewController.h"

namespace quillon {

void registerAllSegues() {
    SegueRegistry::registerSegue("ListMovies", [] { return new ListMoviesTableViewController; });
    registerReferenceSegues();
    registerExchangeSegues();
}

}  // namespace quillon
