#include "statistics/StatsCommand.h"

#include <cstdio>

#include "catalogue/CollectionStatistics.h"
#include "commands/CommandParser.h"

namespace quillon {

int runStatsCommand(ManagedObjectContext& context, const CommandInput& input) {
    const CollectionStatistics statistics = collectionStatistics(context);
    const QByteArray out =
        input.isSet("json") ? statisticsJson(statistics) : statisticsText(statistics).toUtf8();
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fflush(stdout);
    return 0;
}

}  // namespace quillon
