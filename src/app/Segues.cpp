#include "app/Segues.h"

#include "exchange/ExchangeSegues.h"
#include "feedback/RateShareTableViewController.h"
#include "movies/ListMoviesTableViewController.h"
#include "movies/MovieSegues.h"
#include "reference/ReferenceListViewController.h"
#include "reference/ReferenceSegues.h"
#include "reports/OverviewViewController.h"
#include "toolkit/Services.h"
#include "toolkit/Storyboard.h"

namespace quillon {

void registerAllSegues(Storyboard& storyboard) {
    storyboard.registerSegue("ListMovies", [](Services& services) {
        return new ListMoviesTableViewController(services);
    });
    storyboard.registerSegue("ReferenceList",
                             [](Services&) { return new ReferenceListViewController; });
    registerMovieSegues(storyboard);
    registerReferenceSegues(storyboard);
    registerExchangeSegues(storyboard);
    storyboard.registerSegue("Overview", [](Services&) { return new OverviewViewController; });
    storyboard.registerSegue("RateShare", [](Services& services) {
        return new RateShareTableViewController(RateShareAddresses::fromBuild(), services.share,
                                                services.mail, services.urls);
    });
}

}  // namespace quillon
