#include "app/Segues.h"

#include "exchange/ExchangeSegues.h"
#include "movies/ListMoviesTableViewController.h"
#include "reference/ReferenceListViewController.h"
#include "reference/ReferenceSegues.h"
#include "toolkit/Storyboard.h"

namespace quillon {

void registerAllSegues(Storyboard& storyboard) {
    storyboard.registerSegue(
        "ListMovies", [](Services& services) { return new ListMoviesTableViewController(services); });
    storyboard.registerSegue("ReferenceList",
                             [](Services&) { return new ReferenceListViewController; });
    registerReferenceSegues(storyboard);
    registerExchangeSegues(storyboard);
}

}  // namespace quillon
