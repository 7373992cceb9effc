#include "catalogue/CollectionStatistics.h"

#include <QHash>
#include <QLocale>
#include <algorithm>
#include <map>

#include "store/CatalogueStore.h"
#include "store/FetchRequest.h"

namespace quillon {

namespace {

bool valueOrderLess(const QString& a, const QString& b) {
    return compareTexts(&a, &b) < 0;
}

bool largestFirst(const CountedValue& a, const CountedValue& b) {
    if (a.count != b.count) return a.count > b.count;
    return valueOrderLess(a.value, b.value);
}

void appendNoValue(std::vector<CountedValue>& values, qint64 count) {
    if (count > 0) values.push_back({QString::fromLatin1(kNoValue), count, true});
}

// The values the movies carry in `attributes`, each with its number of movies (once per movie),
// the empty value left out. Read from the store's count index, which stays current through
// every change, so the screen shown again counts nothing anew.
std::vector<CountedValue> countedValues(const ManagedObjectContext& context,
                                        std::vector<Attribute> attributes) {
    const QHash<QString, int> counts = context.movieCountsByValue(std::move(attributes));
    std::vector<CountedValue> values;
    values.reserve(size_t(counts.size()));
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (!it.key().isEmpty() && *it > 0) values.push_back({it.key(), *it});
    return values;
}

qint64 sumOf(const std::vector<CountedValue>& values) {
    qint64 sum = 0;
    for (const CountedValue& v : values) sum += v.count;
    return sum;
}

std::vector<CountedValue> topOf(const ManagedObjectContext& context,
                                std::vector<Attribute> attributes) {
    std::vector<CountedValue> values = countedValues(context, std::move(attributes));
    const size_t kept = std::min(values.size(), size_t(kTopCount));
    std::partial_sort(values.begin(), values.begin() + qsizetype(kept), values.end(), largestFirst);
    values.resize(kept);
    return values;
}

// One attribute's values in `order`, then the movies without one (absent or empty).
template <class Order>
std::vector<CountedValue> valuesWithNone(const ManagedObjectContext& context, Attribute attribute,
                                         qint64 movies, Order order) {
    std::vector<CountedValue> values = countedValues(context, {attribute});
    std::sort(values.begin(), values.end(), order);
    appendNoValue(values, movies - sumOf(values));
    return values;
}

std::vector<RunTimeBin> emptyHistogram() {
    std::vector<RunTimeBin> bins;
    for (int from = 0; from < kRunTimeOpenBinFrom; from += kRunTimeBinMinutes)
        bins.push_back({from, from + kRunTimeBinMinutes, 0});
    bins.push_back({kRunTimeOpenBinFrom, std::nullopt, 0});
    return bins;
}

std::vector<CountedValue> decadesInOrder(const std::map<int, qint64>& byDecade, qint64 none) {
    std::vector<CountedValue> values;
    if (!byDecade.empty()) {
        const int first = byDecade.begin()->first;
        const int last = byDecade.rbegin()->first;
        for (int decade = first; decade <= last; decade += 10) {
            const auto it = byDecade.find(decade);
            values.push_back({decadeName(decade), it == byDecade.end() ? 0 : it->second});
        }
    }
    appendNoValue(values, none);
    return values;
}

}  // namespace

QString decadeName(int year) {
    return QStringLiteral("%1s").arg(year / 10 * 10);
}

QString runTimeSpanText(qint64 minutes) {
    const qint64 days = minutes / (24 * 60);
    const qint64 hours = minutes / 60 % 24;
    const qint64 rest = minutes % 60;
    QStringList parts;
    const auto add = [&parts](qint64 n, const char* one, const char* many) {
        parts << QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    if (days) add(days, "day", "days");
    if (hours) add(hours, "hour", "hours");
    if (rest || parts.isEmpty()) add(rest, "minute", "minutes");
    return parts.join(QLatin1Char(' '));
}

CollectionStatistics collectionStatistics(const ManagedObjectContext& context) {
    CollectionStatistics s;
    s.runTimeHistogram = emptyHistogram();
    std::map<int, qint64> decades;
    qint64 undated = 0;
    qint64 timedMovies = 0;

    for (const MoviePtr& movie : context.fetch<Movies>()) {
        ++s.movies;
        if (movie->hasImage(Attribute::frontImage)) ++s.withFrontCover;
        if (movie->hasImage(Attribute::backImage)) ++s.withBackCover;

        const int year = movie->number(Attribute::year);
        if (year > 0) {
            ++decades[year / 10 * 10];
            s.oldestYear = std::min(year, s.oldestYear.value_or(year));
            s.newestYear = std::max(year, s.newestYear.value_or(year));
        } else {
            ++undated;
        }

        const int runTime = movie->number(Attribute::runTime);
        if (runTime > 0) {
            ++timedMovies;
            s.totalRunTimeMinutes += runTime;
            const size_t bin = size_t(std::min(runTime, kRunTimeOpenBinFrom) / kRunTimeBinMinutes);
            ++s.runTimeHistogram[bin].count;
        } else {
            ++s.runTimeUnknown;
        }
    }

    if (timedMovies) s.averageRunTimeMinutes = double(s.totalRunTimeMinutes) / double(timedMovies);
    s.byDecade = decadesInOrder(decades, undated);
    s.byGenre = valuesWithNone(context, Attribute::genre, s.movies, largestFirst);
    s.byRating = valuesWithNone(context, Attribute::rating, s.movies,
                                [](const CountedValue& a, const CountedValue& b) {
                                    return valueOrderLess(a.value, b.value);
                                });
    s.topDirectors = topOf(context, {Attribute::director});
    s.topActors = topOf(context, {Attribute::leadingActor1, Attribute::leadingActor2});
    s.topActresses = topOf(context, {Attribute::leadingActress1, Attribute::leadingActress2});
    s.topProducers = topOf(context, {Attribute::producer});
    return s;
}

namespace {

QString numberText(const std::optional<int>& n) {
    return n ? QString::number(*n) : QString();
}

QString binText(const RunTimeBin& bin) {
    return bin.to ? QStringLiteral("%1-%2").arg(bin.from).arg(*bin.to - 1)
                  : QStringLiteral("%1+").arg(bin.from);
}

}  // namespace

std::vector<std::pair<QString, QString>> statisticsTotals(const CollectionStatistics& s) {
    return {
        {QStringLiteral("Movies"), QString::number(s.movies)},
        {QStringLiteral("With a front cover"), QString::number(s.withFrontCover)},
        {QStringLiteral("With a back cover"), QString::number(s.withBackCover)},
        {QStringLiteral("Total run time"), runTimeSpanText(s.totalRunTimeMinutes)},
        {QStringLiteral("Average run time"),
         s.averageRunTimeMinutes
             ? QStringLiteral("%1 minutes").arg(*s.averageRunTimeMinutes, 0, 'f', 1)
             : QString()},
        {QStringLiteral("Oldest year"), numberText(s.oldestYear)},
        {QStringLiteral("Newest year"), numberText(s.newestYear)},
    };
}

std::vector<StatisticsSection> statisticsSections(const CollectionStatistics& s) {
    std::vector<CountedValue> bins;
    for (const RunTimeBin& bin : s.runTimeHistogram) bins.push_back({binText(bin), bin.count});
    bins.push_back({QStringLiteral("unknown"), s.runTimeUnknown});
    return {
        {QStringLiteral("Movies per decade"), s.byDecade, std::nullopt},
        {QStringLiteral("Movies per genre"), s.byGenre, GroupKind::Genre},
        {QStringLiteral("Movies per rating"), s.byRating, std::nullopt},
        {QStringLiteral("Run time in minutes"), std::move(bins), std::nullopt},
        {QStringLiteral("Top directors"), s.topDirectors, GroupKind::Director},
        {QStringLiteral("Top actors"), s.topActors, GroupKind::Actor},
        {QStringLiteral("Top actresses"), s.topActresses, GroupKind::Actress},
        {QStringLiteral("Top producers"), s.topProducers, GroupKind::Producer},
    };
}

QString statisticsText(const CollectionStatistics& s) {
    QString out;
    for (const auto& [label, value] : statisticsTotals(s))
        out += label + QLatin1Char('\t') + value + QLatin1Char('\n');
    for (const StatisticsSection& section : statisticsSections(s)) {
        out += QLatin1Char('\n') + section.title + QLatin1Char('\n');
        for (const CountedValue& v : section.values)
            out += v.value + QLatin1Char('\t') + QString::number(v.count) + QLatin1Char('\n');
    }
    return out;
}

namespace {

// JSON written by hand so that the members keep the order people read them in.
class JsonWriter {
public:
    void member(const char* name, const QString& rawValue) {
        out_ += out_.isEmpty() ? "{" : ",";
        out_ += quoted(QString::fromLatin1(name)) + ":" + rawValue;
    }
    QString finish() { return out_ + "}"; }

    static QString quoted(const QString& text) {
        QString q = QStringLiteral("\"");
        for (const QChar c : text) {
            if (c == u'"' || c == u'\\')
                q += QLatin1Char('\\') + c;
            else if (c.unicode() < 0x20)
                q += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                q += c;
        }
        return q + QLatin1Char('"');
    }

private:
    QString out_;
};

QString jsonNumber(qint64 n) {
    return QString::number(n);
}

QString jsonNumber(const std::optional<int>& n) {
    return n ? QString::number(*n) : QStringLiteral("null");
}

QString jsonNumber(const std::optional<double>& x) {
    return x ? QString::number(*x, 'g', QLocale::FloatingPointShortest) : QStringLiteral("null");
}

QString jsonValues(const std::vector<CountedValue>& values) {
    QStringList items;
    for (const CountedValue& v : values)
        items << QStringLiteral("{\"value\":%1,\"count\":%2}")
                     .arg(JsonWriter::quoted(v.value), jsonNumber(v.count));
    return QLatin1Char('[') + items.join(QLatin1Char(',')) + QLatin1Char(']');
}

QString jsonBins(const std::vector<RunTimeBin>& bins) {
    QStringList items;
    for (const RunTimeBin& bin : bins)
        items << QStringLiteral("{\"from\":%1,\"to\":%2,\"count\":%3}")
                     .arg(bin.from)
                     .arg(jsonNumber(bin.to), jsonNumber(bin.count));
    return QLatin1Char('[') + items.join(QLatin1Char(',')) + QLatin1Char(']');
}

}  // namespace

QByteArray statisticsJson(const CollectionStatistics& s) {
    JsonWriter json;
    json.member("movies", jsonNumber(s.movies));
    json.member("withFrontCover", jsonNumber(s.withFrontCover));
    json.member("withBackCover", jsonNumber(s.withBackCover));
    json.member("totalRunTimeMinutes", jsonNumber(s.totalRunTimeMinutes));
    json.member("averageRunTimeMinutes", jsonNumber(s.averageRunTimeMinutes));
    json.member("oldestYear", jsonNumber(s.oldestYear));
    json.member("newestYear", jsonNumber(s.newestYear));
    json.member("byDecade", jsonValues(s.byDecade));
    json.member("byGenre", jsonValues(s.byGenre));
    json.member("byRating", jsonValues(s.byRating));
    json.member("runTimeHistogram", jsonBins(s.runTimeHistogram));
    json.member("runTimeUnknown", jsonNumber(s.runTimeUnknown));
    json.member("topDirectors", jsonValues(s.topDirectors));
    json.member("topActors", jsonValues(s.topActors));
    json.member("topActresses", jsonValues(s.topActresses));
    json.member("topProducers", jsonValues(s.topProducers));
    return json.finish().toUtf8() + '\n';
}

}  // namespace quillon
