#include "exchange/ExchangeSegues.h"

#include "exchange/ExportViewController.h"
#include "exchange/ImportExportViewController.h"
#include "exchange/ImportViewController.h"
#include "toolkit/Storyboard.h"

namespace quillon {

void registerExchangeSegues(Storyboard& storyboard) {
    storyboard.registerSegue("ImportExport",
                             [](Services&) { return new ImportExportViewController; });
    storyboard.registerSegue("ExportMovies",
                             [](Services& services) { return new ExportViewController(services); });
    storyboard.registerSegue("ImportMovies",
                             [](Services& services) { return new ImportViewController(services); });
}

}  // namespace quillon
