#include "reports/ReportSegues.h"

#include "reports/OverviewViewController.h"
#include "reports/PrintMoviesViewController.h"
#include "toolkit/Storyboard.h"

namespace quillon {

void registerReportSegues(Storyboard& storyboard) {
    storyboard.registerSegue(kOverviewSegue, [](Services&) { return new OverviewViewController; });
    storyboard.registerSegue(kPrintReportSegue, [](Services& services) {
        return new PrintMoviesViewController(services);
    });
}

}  // namespace quillon
