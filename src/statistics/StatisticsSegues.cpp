#include "statistics/StatisticsSegues.h"

#include "statistics/StatisticsViewController.h"
#include "toolkit/Storyboard.h"

namespace quillon {

void registerStatisticsSegues(Storyboard& storyboard) {
    storyboard.registerSegue(kStatisticsSegue, [](Services& services) {
        return new StatisticsViewController(services);
    });
}

}  // namespace quillon
