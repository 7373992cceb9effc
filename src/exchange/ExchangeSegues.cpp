#include "exchange/ExchangeSegues.h"

#include "exchange/ExportViewController.h"
#include "exchange/ImportExportViewController.h"
#include "exchange/ImportViewController.h"

namespace quillon {

void registerExchangeSegues() {
    SegueRegistry::registerSegue("ImportExport", [] { return new ImportExportViewController; });
    SegueRegistry::registerSegue("ExportMovies", [] { return new ExportViewController; });
    SegueRegistry::registerSegue("ImportMovies", [] { return new ImportViewController; });
}

}  // namespace quillon
