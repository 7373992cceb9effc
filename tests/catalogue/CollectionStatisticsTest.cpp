#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <map>
#include <set>

#include "ReportTestUtil.h"
#include "catalogue/CollectionStatistics.h"
#include "store/FetchRequest.h"

namespace quillon {

void PrintTo(const CollectionStatistics& s, std::ostream* os) {
    *os << statisticsJson(s).toStdString();
}

namespace {

using A = Attribute;

// Each movie's values drawn from small pools, so that values repeat, a person fills both
// slots, and absent, empty, case and accent variants meet.
const QStringList kValuePool = {"Ann", "ann", "Ann ", "Émile", "Bob", "Zoë", "", "\"q\\u\"\n"};
const std::vector<qint16> kYears = {0, -4, 1, 9, 10, 1979, 1980, 1989, 1990, 2024};
const std::vector<qint16> kRunTimes = {0, -30, 1, 14, 15, 16, 90, 239, 240, 241, 32767};

OptionalText drawText(QRandomGenerator& random) {
    const int i = int(random.bounded(kValuePool.size() + 1));
    return i == kValuePool.size() ? OptionalText{} : OptionalText{kValuePool[i]};
}

// The figures counted the slow, obvious way: for each value, the movies that carry it.
struct BruteForce {
    std::vector<MoviePtr> movies;

    static bool hasValue(const OptionalText& t) { return t && !t->isEmpty(); }

    std::vector<CountedValue> sortedByCount(std::vector<CountedValue> values, size_t most) const {
        std::stable_sort(values.begin(), values.end(),
                         [](const auto& a, const auto& b) { return a.count > b.count; });
        if (values.size() > most) values.resize(most);
        return values;
    }

    // Every distinct value of the attributes, in the group tabs' order.
    std::vector<QString> valuesOf(std::vector<Attribute> attributes) const {
        std::vector<QString> values;
        for (const MoviePtr& m : movies)
            for (Attribute a : attributes)
                if (OptionalText t = m->text(a);
                    hasValue(t) && std::find(values.begin(), values.end(), *t) == values.end())
                    values.push_back(*t);
        std::sort(values.begin(), values.end(),
                  [](const QString& a, const QString& b) { return compareTexts(&a, &b) < 0; });
        return values;
    }

    std::vector<CountedValue> moviesPerValue(std::vector<Attribute> attributes) const {
        std::vector<CountedValue> counted;
        for (const QString& value : valuesOf(attributes)) {
            qint64 n = 0;
            for (const MoviePtr& m : movies)
                n += std::any_of(attributes.begin(), attributes.end(),
                                 [&](Attribute a) { return m->text(a) == value; });
            counted.push_back({value, n});
        }
        return counted;
    }

    qint64 withoutValue(Attribute a) const {
        return std::count_if(movies.begin(), movies.end(),
                             [&](const MoviePtr& m) { return !hasValue(m->text(a)); });
    }

    static void addNone(std::vector<CountedValue>& values, qint64 n) {
        if (n) values.push_back({"(none)", n, true});
    }

    CollectionStatistics figures() const {
        CollectionStatistics s;
        s.movies = qint64(movies.size());
        qint64 timed = 0;
        std::map<int, qint64> decades;
        for (const MoviePtr& m : movies) {
            s.withFrontCover += m->hasImage(A::frontImage);
            s.withBackCover += m->hasImage(A::backImage);
            if (m->runTime() > 0) {
                ++timed;
                s.totalRunTimeMinutes += m->runTime();
            }
            if (m->year() > 0) {
                ++decades[m->year() - m->year() % 10];
                if (!s.oldestYear || m->year() < *s.oldestYear) s.oldestYear = m->year();
                if (!s.newestYear || m->year() > *s.newestYear) s.newestYear = m->year();
            }
        }
        if (timed) s.averageRunTimeMinutes = double(s.totalRunTimeMinutes) / double(timed);
        if (!decades.empty())
            for (int d = decades.begin()->first; d <= decades.rbegin()->first; d += 10)
                s.byDecade.push_back({QString("%1s").arg(d), decades.count(d) ? decades[d] : 0});
        addNone(s.byDecade, std::count_if(movies.begin(), movies.end(),
                                          [](const MoviePtr& m) { return m->year() <= 0; }));
        s.byGenre = sortedByCount(moviesPerValue({A::genre}), SIZE_MAX);
        addNone(s.byGenre, withoutValue(A::genre));
        s.byRating = moviesPerValue({A::rating});
        addNone(s.byRating, withoutValue(A::rating));
        for (int from = 0; from <= 240; from += 15) {
            const bool open = from == 240;
            s.runTimeHistogram.push_back(
                {from, open ? std::nullopt : std::optional<int>(from + 15),
                 std::count_if(movies.begin(), movies.end(), [&](const MoviePtr& m) {
                     return m->runTime() > 0 && m->runTime() >= from &&
                            (open || m->runTime() < from + 15);
                 })});
        }
        s.runTimeUnknown = std::count_if(movies.begin(), movies.end(),
                                         [](const MoviePtr& m) { return m->runTime() <= 0; });
        s.topDirectors = sortedByCount(moviesPerValue({A::director}), 10);
        s.topActors = sortedByCount(moviesPerValue({A::leadingActor1, A::leadingActor2}), 10);
        s.topActresses =
            sortedByCount(moviesPerValue({A::leadingActress1, A::leadingActress2}), 10);
        s.topProducers = sortedByCount(moviesPerValue({A::producer}), 10);
        return s;
    }
};

// Random catalogues, the empty one first, against the slow count; then changes pending in the
// context count too.
TEST(CollectionStatistics, EveryFigureMatchesACountMovieByMovie) {
    for (quint32 seed : {0u, 1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        test::AppFixture fixture;
        QRandomGenerator random(seed);
        BruteForce slow;
        const int count = seed == 0 ? 0 : 40 + int(seed) * 150;
        for (int i = 0; i < count; ++i) {
            MoviePtr m = test::addMovie(fixture.context(), {},
                                        kYears[random.bounded(quint32(kYears.size()))],
                                        kRunTimes[random.bounded(quint32(kRunTimes.size()))]);
            for (A a : {A::genre, A::rating, A::director, A::producer, A::leadingActor1,
                        A::leadingActor2, A::leadingActress1, A::leadingActress2})
                m->setText(a, drawText(random));
            // Often the same person in both slots.
            if (random.bounded(4) == 0) m->setText(A::leadingActor2, m->text(A::leadingActor1));
            if (random.bounded(3) == 0) m->setImage(A::frontImage, QByteArray("jpeg"));
            if (random.bounded(5) == 0) m->setImage(A::backImage, QByteArray("jpeg"));
            slow.movies.push_back(m);
        }
        ASSERT_TRUE(fixture.saveContext());
        EXPECT_EQ(collectionStatistics(fixture.context()), slow.figures());

        if (count) {
            fixture.context().deleteObject(slow.movies.front());
            slow.movies.erase(slow.movies.begin());
            slow.movies.back()->setText(A::genre, "Added later");
            EXPECT_EQ(collectionStatistics(fixture.context()), slow.figures());
        }
    }
}

// The text and the JSON of a small catalogue, whole: sections, separators, escapes, the open
// last bin, absent figures as null.
TEST(CollectionStatistics, TextAndJsonOfASmallCatalogue) {
    test::AppFixture fixture;
    test::addMovie(fixture.context(),
                   {{A::genre, "Film \"noir\"\\"}, {A::director, "Lang"}, {A::rating, "R"}}, 1931,
                   99);
    test::addMovie(fixture.context(), {{A::leadingActor1, "Lorre"}, {A::leadingActor2, "Lorre"}},
                   1954, 1500);
    test::addMovie(fixture.context(), {{A::genre, ""}});
    const CollectionStatistics s = collectionStatistics(fixture.context());

    const QString text = statisticsText(s);
    EXPECT_TRUE(
        text.startsWith("Movies\t3\nWith a front cover\t0\nWith a back cover\t0\n"
                        "Total run time\t1 day 2 hours 39 minutes\n"
                        "Average run time\t799.5 minutes\nOldest year\t1931\n"
                        "Newest year\t1954\n\nMovies per decade\n1930s\t1\n1940s\t0\n"
                        "1950s\t1\n(none)\t1\n\nMovies per genre\nFilm \"noir\"\\\t1\n"
                        "(none)\t2\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("\n90-104\t1\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\n240+\t1\nunknown\t1\n")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("\nTop actors\nLorre\t1\n\nTop actresses\n\nTop producers\n"));

    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(statisticsJson(s), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(json.keys().size(), 16);
    EXPECT_EQ(json["movies"].toInt(), 3);
    EXPECT_EQ(json["averageRunTimeMinutes"].toDouble(), 799.5);
    EXPECT_EQ(json["byGenre"].toArray()[0].toObject()["value"].toString(), "Film \"noir\"\\");
    const QJsonArray bins = json["runTimeHistogram"].toArray();
    ASSERT_EQ(bins.size(), 17);
    EXPECT_EQ(bins[6].toObject()["from"].toInt(), 90);
    EXPECT_EQ(bins[6].toObject()["to"].toInt(), 105);
    EXPECT_EQ(bins[6].toObject()["count"].toInt(), 1);
    EXPECT_TRUE(bins[16].toObject()["to"].isNull());
    EXPECT_EQ(bins[16].toObject()["count"].toInt(), 1);

    test::AppFixture empty;
    const QJsonObject none =
        QJsonDocument::fromJson(statisticsJson(collectionStatistics(empty.context()))).object();
    EXPECT_TRUE(none["averageRunTimeMinutes"].isNull());
    EXPECT_TRUE(none["oldestYear"].isNull());
    EXPECT_EQ(none["byDecade"].toArray().size(), 0);
}

TEST(CollectionStatistics, RunTimeSpans) {
    EXPECT_EQ(runTimeSpanText(0), "0 minutes");
    EXPECT_EQ(runTimeSpanText(61), "1 hour 1 minute");
    EXPECT_EQ(runTimeSpanText(2 * 1440 + 120), "2 days 2 hours");
}

}  // namespace
}  // namespace quillon
