#include "app/Segues.h"

#include "exchange/ExchangeSegues.h"
#include "feedback/FeedbackSegues.h"
#include "groups/GroupSegues.h"
#include "movies/MovieSegues.h"
#include "movies/ViewerSegues.h"
#include "reference/ReferenceSegues.h"
#include "reports/ReportSegues.h"
#include "statistics/StatisticsSegues.h"

namespace quillon {

void registerAllSegues(Storyboard& storyboard) {
    registerMovieSegues(storyboard);
    registerViewerSegues(storyboard);
    registerReferenceSegues(storyboard);
    registerGroupSegues(storyboard);
    registerReportSegues(storyboard);
    registerExchangeSegues(storyboard);
    registerFeedbackSegues(storyboard);
    registerStatisticsSegues(storyboard);
}

}  // namespace quillon
