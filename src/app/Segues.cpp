#include "app/Segues.h"

#include "exchange/ExchangeSegues.h"
#include "feedback/RateShareTableViewController.h"
#include "groups/GroupSegues.h"
#include "handover/Services.h"
#include "movies/ListMoviesTableViewController.h"
#include "movies/MovieSegues.h"
#include "movies/ViewerSegues.h"
#include "reference/ReferenceListViewController.h"
#include "reference/ReferenceSegues.h"
#include "reports/OverviewViewController.h"
#include "reports/ReportSegues.h"
#include "statistics/StatisticsSegues.h"
#include "toolkit/Storyboard.h"

namespace quillon {

void registerAllSegues(Storyboard& storyboard) {
    storyboard.registerSegue("ListMovies", [](Services& services) {
        return new ListMoviesTableViewController(services);
    });
    storyboard.registerSegue("ReferenceList",
                             [](Services&) { return new ReferenceListViewController; });
    registerMovieSegues(storyboard);
    registerViewerSegues(storyboard);
    registerReferenceSegues(storyboard);
    registerGroupSegues(storyboard);
    registerReportSegues(storyboard);
    registerExchangeSegues(storyboard);
    registerStatisticsSegues(storyboard);
    storyboard.registerSegue("Overview", [](Services&) { return new OverviewViewController; });
    storyboard.registerSegue("RateShare", [](Services& services) {
        return new RateShareTableViewController(RateShareAddresses::fromBuild(), services.share,
                                                services.mail, services.urls);
    });
}

}  // namespace quillon
