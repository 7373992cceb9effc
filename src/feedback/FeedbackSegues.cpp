#include "feedback/FeedbackSegues.h"

#include "feedback/RateShareTableViewController.h"
#include "handover/Services.h"
#include "toolkit/Storyboard.h"

namespace quillon {

void registerFeedbackSegues(Storyboard& storyboard) {
    storyboard.registerSegue(kRateShareSegue, [](Services& services) {
        return new RateShareTableViewController(RateShareAddresses::fromBuild(), services.share,
                                                services.mail, services.urls);
    });
}

}  // namespace quillon
