#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "catalogue/GroupKind.h"

namespace quillon {

class ManagedObjectContext;

struct CountedValue {
    QString value;
    qint64 count = 0;
    bool noValue = false;  // the movies without a value, shown as kNoValue
    bool operator==(const CountedValue&) const = default;
};

// Run times from `from` (inclusive) up to `to` (exclusive); the last bin has no end.
struct RunTimeBin {
    int from = 0;
    std::optional<int> to;
    qint64 count = 0;
    bool operator==(const RunTimeBin&) const = default;
};

// The collection in figures. Values are compared code point for code point, as the group tabs
// compare them; a movie without a value counts under kNoValue in the decade, genre and rating
// figures, so that those add up to the number of movies.
struct CollectionStatistics {
    qint64 movies = 0;
    qint64 withFrontCover = 0;
    qint64 withBackCover = 0;
    // Over the movies whose run time is above 0; none when no movie has one.
    qint64 totalRunTimeMinutes = 0;
    std::optional<double> averageRunTimeMinutes;
    // Over the years above 0.
    std::optional<int> oldestYear;
    std::optional<int> newestYear;

    std::vector<CountedValue> byDecade;  // in time order, empty decades between as 0
    std::vector<CountedValue> byGenre;   // largest first
    std::vector<CountedValue> byRating;  // in the ratings' value order
    std::vector<RunTimeBin> runTimeHistogram;
    qint64 runTimeUnknown = 0;  // run time 0, negative or never set

    // Largest first, at most kTopCount; a movie counts once per person.
    std::vector<CountedValue> topDirectors;
    std::vector<CountedValue> topActors;
    std::vector<CountedValue> topActresses;
    std::vector<CountedValue> topProducers;

    bool operator==(const CollectionStatistics&) const = default;
};

inline constexpr char kNoValue[] = "(none)";
inline constexpr int kTopCount = 10;
inline constexpr int kRunTimeBinMinutes = 15;
inline constexpr int kRunTimeOpenBinFrom = 240;

// Every figure over the movies the context holds, pending changes included.
CollectionStatistics collectionStatistics(const ManagedObjectContext& context);

// "1980s" for 1980 to 1989.
QString decadeName(int year);
// "2 days 3 hours 4 minutes", leaving out the parts that are 0 (but never all of them).
QString runTimeSpanText(qint64 minutes);

// The totals as the user reads them: a label and its value ("" where there is none).
std::vector<std::pair<QString, QString>> statisticsTotals(const CollectionStatistics& statistics);

// A figure shown as bars: each value with its count, in the order shown. Where the values are a
// group kind's, a value opens that kind's breakdown.
struct StatisticsSection {
    QString title;
    std::vector<CountedValue> values;
    std::optional<GroupKind> opens;
};
std::vector<StatisticsSection> statisticsSections(const CollectionStatistics& statistics);

// The totals, then one section per figure, its lines a value, a tab and its count.
QString statisticsText(const CollectionStatistics& statistics);
// One JSON object, the figures named as in CollectionStatistics.
QByteArray statisticsJson(const CollectionStatistics& statistics);

}  // namespace quillon
