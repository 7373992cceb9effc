#include "exchange/ExchangeSegues.h"

#include "exchange/ExportViewController.h"
#include "exchange/ImportExportViewController.h"
#include "exchange/ImportViewController.h"
#include "toolkit/Storyboard.h"

namespace quillon {

void registerExchangeSegues(Storyboard& storyboard) {
    storyboard.registerSegue(kImportExportSegue,
                             [](Services&) { return new ImportExportViewController; });
    storyboard.registerSegue(kExportMoviesSegue,
                             [](Services& services) { return new ExportViewController(services); });
    storyboard.registerSegue(kImportMoviesSegue,
                             [](Services& services) { return new ImportViewController(services); });
}

}  // namespace quillon
