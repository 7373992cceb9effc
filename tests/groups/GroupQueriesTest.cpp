#include <gtest/gtest.h>

#include <QTextStream>

#include "catalogue/BreakdownQuery.h"
#include "catalogue/GroupTabQuery.h"
#include "commands/CommandParser.h"
#include "groups/GroupCommands.h"
#include "support/TestSupport.h"

using namespace quillon;

namespace {

class GroupQueriesTest : public ::testing::Test {
protected:
    // Every grouped attribute of the movie: the first value in the genre, director, producer and
    // the first slots; the second value in the second slots.
    MoviePtr add(const QString& name, OptionalText first, OptionalText second = {}) {
        auto m = Movies::insertInto(app.context());
        m->setName(name);
        for (Attribute a : {Attribute::genre, Attribute::director, Attribute::producer,
                            Attribute::leadingActor1, Attribute::leadingActress1})
            m->setText(a, first);
        m->setText(Attribute::leadingActor2, second);
        m->setText(Attribute::leadingActress2, second);
        return m;
    }
    // value=count per row.
    static QStringList counted(const GroupTabQuery& query) {
        QStringList out;
        for (const QString& value : query.rows())
            out << value + "=" + QString::number(query.countMovies(value));
        return out;
    }
    static QStringList names(const std::vector<MoviePtr>& movies) {
        QStringList out;
        for (const auto& m : movies) out << m->name().value_or("-");
        return out;
    }
    // What a command prints, its status first.
    QString run(int (*command)(ManagedObjectContext&, const CommandInput&, QTextStream&),
                const QStringList& words) {
        QString out;
        QTextStream stream(&out);
        const int status =
            command(app.context(), parseCommandLine(QStringList{"quillon"} + words).input, stream);
        return QString::number(status) + "\n" + out;
    }

    test::AppFixture app;
};

TEST_F(GroupQueriesTest, EachTabListsItsDistinctValuesWithLiveCountsSortsSearchesAndPicks) {
    add("One", "Smith", "Smith");  // one actor in both slots counts once
    add("Two", "smith", "Amy");
    add("Three", "bob");
    add("Four", "Bob", "smith");
    add("Five", "");  // an empty value is a value, never found by a search
    add("Six", std::nullopt);
    const QStringList single = {"=1", "Bob=1", "Smith=1", "bob=1", "smith=1"};
    const QStringList pair = {"=1", "Amy=1", "Bob=1", "Smith=1", "bob=1", "smith=2"};
    const struct {
        GroupKind kind;
        const char* header;
        QStringList ascending;
        std::vector<QString SelectionState::*> written;
    } cases[] = {
        {GroupKind::Genre, "# Genre's = ", single, {&SelectionState::SelectedGenre}},
        {GroupKind::Actor,
         "# Actor's = ",
         pair,
         {&SelectionState::SelectedActor1, &SelectionState::SelectedActor2,
          &SelectionState::SelectedActorName}},
        {GroupKind::Actress,
         "# Actress(s) = ",
         pair,
         {&SelectionState::SelectedActress1, &SelectionState::SelectedActress2,
          &SelectionState::SelectedActressName}},
        {GroupKind::Director, "# Director's = ", single, {&SelectionState::SelectedDirector}},
        {GroupKind::Producer, "# Producer's = ", single, {&SelectionState::SelectedProducer}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(commandNameOf(c.kind).toStdString());
        GroupTabQuery query(c.kind, app.context());
        bool shared = true;
        query.shareSortDirection(shared);
        query.toggleSort();  // nothing before the load
        EXPECT_TRUE(shared);
        query.SortAsc = true;
        query.loadValues();
        EXPECT_EQ(counted(query), c.ascending);
        EXPECT_EQ(query.headerText(), c.header + QString::number(c.ascending.size()));
        QStringList descending = c.ascending;
        std::reverse(descending.begin(), descending.end());  // bob, Bob, Amy
        query.toggleSort();
        EXPECT_EQ(counted(query), descending);
        EXPECT_FALSE(shared);
        query.toggleSort();
        EXPECT_EQ(counted(query), c.ascending) << "nothing listed twice";

        query.filterValues("SMITH");
        EXPECT_EQ(QStringList(query.rows().begin(), query.rows().end()),
                  (QStringList{"Smith", "smith"}));
        EXPECT_EQ(query.headerText(), c.header + QString("2"));
        SelectionState selection;
        ASSERT_TRUE(query.fillSelection(0, selection));
        for (auto field : c.written) EXPECT_EQ(selection.*field, "Smith");
        EXPECT_FALSE(query.fillSelection(2, selection));
    }
    // Values are only ever added until the tab is built again; counts are always current.
    auto two = app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Two")).at(0);
    two->setText(Attribute::leadingActor2, "Zed");
    GroupTabQuery actors(GroupKind::Actor, app.context());
    actors.SortAsc = true;
    actors.loadValues();
    two->setText(Attribute::leadingActor2, "Amy\u0301");
    actors.toggleSort();
    EXPECT_EQ(counted(actors),
              (QStringList{"smith=2", "bob=1", "Zed=0", "Smith=1", "Bob=1", "Amy\u0301=1", "=1"}));
    EXPECT_EQ(run(&runGroupsCommand, {"groups", "actor", "--descending", "--search", "m"}),
              "0\n# Actor's = 3\nsmith\t2\nSmith\t1\nAmy\u0301\t1\n");
}

TEST_F(GroupQueriesTest, EachBreakdownListsTheMoviesOfItsValueWithItsOwnLabels) {
    // genre, director, producer, the two actors, the two actresses; "-" for absent.
    const auto movie = [this](const char* name, QStringList values) {
        auto m = Movies::insertInto(app.context());
        m->setName(name);
        const Attribute attributes[] = {Attribute::genre,          Attribute::director,
                                        Attribute::producer,       Attribute::leadingActor1,
                                        Attribute::leadingActor2,  Attribute::leadingActress1,
                                        Attribute::leadingActress2};
        for (int i = 0; i < 7; ++i)
            m->setText(attributes[i], values[i] == "-" ? OptionalText() : values[i]);
        return m;
    };
    auto heat = movie(
        "Heat", {"Crime", "Mann", "Art Linson", "Pacino", "De Niro", "{name}", "Ashley Judd"});
    heat->setYear(1995);
    heat->setRunTime(170);
    movie("alien", {"Crime", "Mann", "Art Linson", "De Niro", "Pacino", "Ashley Judd", "X"});
    movie("Alien", {"Crime", "Mann", "Art Linson", "X", "De Niro", "X", "Ashley Judd"});
    movie("Other", {"crime", "Mann ", "art linson", "De niro", "-", "Ashley judd", "-"});
    const struct {
        GroupKind kind;
        const char* value;
        QStringList labels;  // Heat's
        const char* secondWhileSearching;
    } cases[] = {
        {GroupKind::Genre,
         "Crime",
         {"Genre: Crime", " Heat   Year: 1995  Run Time: 170 min.", "Actors: Pacino, De Niro"},
         nullptr},
        {GroupKind::Actor,
         "De Niro",
         {"Heat", "Actor: Pacino   Year: 1995  Run Time: 170 min.",
          "Actress's: {name}, Ashley Judd"},
         nullptr},
        {GroupKind::Actress,
         "Ashley Judd",
         {"Heat", "Actress's: {name}   Year: 1995  Run Time: 170 min.", "Actors: Pacino, De Niro"},
         nullptr},
        {GroupKind::Director,
         "Mann",
         {"Heat", "Director: Mann", "Genre: Crime  Year: 1995  Run Time: 170 min."},
         nullptr},
        {GroupKind::Producer,
         "Art Linson",
         {"Heat", "Genre:  Crime   Year: 1995  Run Time: 170 min.", "Producer: Art Linson"},
         "Genre Crime   Year: 1995  Run Time: 170 min."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(commandNameOf(c.kind).toStdString());
        BreakdownQuery query(c.kind, app.context());
        query.openFor(c.value, false, "");
        EXPECT_EQ(names(query.rows()), (QStringList{"Alien", "Heat", "alien"}));
        EXPECT_EQ(query.rowTexts(*heat), c.labels);
        EXPECT_EQ(query.sectionTitle(), "# of Movies: 3");
        query.filterBreakdown("ALI");
        EXPECT_EQ(names(query.rows()), (QStringList{"Alien", "alien"}));
        EXPECT_EQ(query.sectionTitle(), "# of Movies: 2");
        if (c.secondWhileSearching) {
            EXPECT_EQ(query.rowTexts(*heat)[1], c.secondWhileSearching);
        }
        query.toggleSort();
        EXPECT_EQ(names(query.rows()), (QStringList{"alien", "Alien"})) << "case-sensitive";
        query.filterBreakdown("");
        query.toggleSort();
        EXPECT_EQ(names(query.rows()), (QStringList{"Alien", "Heat", "alien"}));
        EXPECT_EQ(names(breakdownRowsFor(app.context(), c.kind, c.value, true, "e")),
                  (QStringList{"alien", "Heat", "Alien"}));
    }
    EXPECT_EQ(run(&runBreakdownCommand, {"breakdown", "producer", "Art Linson", "--search", "he"}),
              "0\n# of Movies: 1\nHeat\tGenre Crime   Year: 1995  Run Time: 170 min.\tProducer: "
              "Art Linson\n");
    EXPECT_EQ(run(&runBreakdownCommand, {"breakdown", "director", "mann"}), "0\n# of Movies: 0\n");
}

}  // namespace
