#include "app/Storyboard.h"

#include "exchange/ExchangeSegues.h"
#include "feedback/RateShareTableViewController.h"
#include "movies/ListMoviesTableViewController.h"
#include "platform/MailService.h"
#include "platform/UrlOpener.h"
#include "reference/ReferenceSegues.h"
#include "reports/OverviewViewController.h"
#include "toolkit/ShareSheet.h"
#include "toolkit/ViewController.h"

namespace quillon {

void registerAllSegues() {
    SegueRegistry::registerSegue("ListMovies", [] { return new ListMoviesTableViewController; });
    registerReferenceSegues();
    registerExchangeSegues();
    SegueRegistry::registerSegue("Overview", [] { return new OverviewViewController; });
    SegueRegistry::registerSegue("RateShare", [] {
        return new RateShareTableViewController(RateShareAddresses::fromBuild(),
                                                ShareSheet::shared(), MailService::shared(),
                                                DesktopUrlOpener::instance());
    });
}

}  // namespace quillon
