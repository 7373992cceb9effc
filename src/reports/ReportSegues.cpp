#include "reports/ReportSegues.h"

#include "reports/PrintMoviesViewController.h"
#include "toolkit/Storyboard.h"

namespace quillon {

void registerReportSegues(Storyboard& storyboard) {
    storyboard.registerSegue(QString::fromLatin1(kPrintReportSegue), [](Services& services) {
        return new PrintMoviesViewController(services);
    });
}

}  // namespace quillon
