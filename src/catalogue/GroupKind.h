#pragma once

#include <QString>
#include <QStringView>
#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <vector>

#include "handover/SelectionState.h"
#include "store/FetchRequest.h"
#include "store/Records.h"

namespace quillon {

// The five ways the catalogue is grouped, in the order of the tabs.
enum class GroupKind { Genre, Actor, Actress, Director, Producer };
inline constexpr std::array kGroupKinds{GroupKind::Genre, GroupKind::Actor, GroupKind::Actress,
                                        GroupKind::Director, GroupKind::Producer};

// A breakdown opens the print screen for its movies with this segue, after keeping its value in
// the selection and naming itself in CallingScreen.
inline constexpr char kPrintReportSegue[] = "PrintReport";

// Attributes in order, written in place in a table.
class AttributeList {
public:
    constexpr AttributeList(std::initializer_list<Attribute> attributes)
        : size_(attributes.size()) {
        std::copy(attributes.begin(), attributes.end(), items_.begin());
    }
    constexpr const Attribute* begin() const { return items_.data(); }
    constexpr const Attribute* end() const { return items_.data() + size_; }

private:
    std::array<Attribute, kTextAttributeCount + 2> items_{};
    size_t size_;
};

// A kind's group tab: the distinct values of its attributes, each with its count.
struct GroupTab {
    const char* controllerName;
    const char* title;  // the tab's item
    const char* image;  // the tab's named image
    // The load query sorts by the attributes, in the sort direction or always ascending.
    bool sortKeysFollowDirection;
    const char* searchPlaceholder;
    const char* headerPrefix;
    const char* breakdownSegue;  // opens the kind's breakdown
    const char* listName;        // what the tab lists
};

// A kind's breakdown: the movies of the value picked in the tab. In the label patterns
// {attribute} stands for the movie's value (see expandLabel).
struct Breakdown {
    const char* controllerName;
    const char* cellName;  // the row view
    const char* firstLabel;
    const char* SecondLabel;
    const char* ThirdLabel;
    // The second label while a search text is present, when it differs.
    const char* SecondLabelWhileSearching;
    const char* CallingScreen;  // written by every transition that leaves the breakdown
    const char* editSegue;      // opens a picked movie in the edit form
    const char* returnPoint;    // where the edit form comes back to
};

// What a kind's report says: its title and the lines of each movie's block.
struct ReportLayout {
    const char* title;
    // The title's value: this attribute of the first movie or, when none is given, the name
    // picked in the tab.
    std::optional<Attribute> titleAttribute;
    // The lines of a block in order. A number line is always written, a text line only when the
    // movie has that text (an empty text writes the label alone).
    AttributeList lines;
    const char* fileName;  // the PDF file of the report; null where the report is only printed
};

// Everything about one group kind. The tabs, the breakdowns, the reports, the print screen and
// the commands are written once against this table.
struct GroupKindFacts {
    GroupKind kind;
    const char* commandName;  // what scripts call the kind
    // The attributes whose values are grouped, in reading order; the second may be absent. A
    // breakdown lists the movies whose first attribute equals the value OR whose second equals
    // the second value.
    Attribute attribute;
    std::optional<Attribute> secondAttribute;
    // The selection fields a value picked in the tab is written into, and the breakdown and the
    // print screen read: the value, the second value, the picked name. Unused ones are null.
    std::array<QString SelectionState::*, 3> selected;
    GroupTab tab;
    Breakdown breakdown;
    ReportLayout breakdownReport;  // shared as a PDF file from the breakdown
    ReportLayout printReport;      // the print screen's
};

inline constexpr auto kGroupKindTable = [] {
    using enum Attribute;
    using S = SelectionState;
    // The actor and actress reports list the same lines.
    constexpr AttributeList kActorLines{
        leadingActor1, leadingActor2, leadingActress1, leadingActress2, name,  year, runTime,
        rating,        director,      producer,        writer,          genre, notes};
    return std::array<GroupKindFacts, kGroupKinds.size()>{{
        {.kind = GroupKind::Genre,
         .commandName = "genre",
         .attribute = genre,
         .secondAttribute = std::nullopt,
         .selected = {&S::SelectedGenre, nullptr, nullptr},
         .tab = {"GenreTabTableViewController", "Genre", "genre", false, "Search By Genre",
                 "# Genre's = ", "openGenreBreakdown", "Genres"},
         .breakdown = {"GenreBreakdownTableViewController", "GenreBreakdownTableViewCell",
                       "Genre: {genre}", " {name}   Year: {year}  Run Time: {runTime} min.",
                       "Actors: {leadingActor1}, {leadingActor2}", nullptr, "GenreBreakdown",
                       "showGenreBreakdown", "unwindToGenreTableView"},
         .breakdownReport = {"Movies Filtered by Genre: ",
                             genre,
                             {genre, leadingActor1, leadingActor2, leadingActress1, leadingActress2,
                              name, year, runTime, rating, director, producer, writer, notes},
                             "MoviesFilteredByGenre.pdf"},
         .printReport = {"Movies Filtered by Genre: ",
                         genre,
                         {genre, name, year, leadingActor1, leadingActor2, leadingActress1,
                          leadingActress2, director, producer},
                         nullptr}},
        {.kind = GroupKind::Actor,
         .commandName = "actor",
         .attribute = leadingActor1,
         .secondAttribute = leadingActor2,
         .selected = {&S::SelectedActor1, &S::SelectedActor2, &S::SelectedActorName},
         .tab = {"ActorTabTableViewController", "Actor", "man", true, "Search By Actor Name",
                 "# Actor's = ", "openActorBreakdown", "Actors"},
         .breakdown = {"ActorBreakdownTableViewController", "ActorBreakdownTableViewCell", "{name}",
                       "Actor: {leadingActor1}   Year: {year}  Run Time: {runTime} min.",
                       "Actress's: {leadingActress1}, {leadingActress2}", nullptr, "ActorBreakdown",
                       "showActorBreakdown", "unwindToActorTableView"},
         .breakdownReport = {"Movies Filtered by Actor: ", leadingActor1, kActorLines,
                             "MoviesFilteredByActor.pdf"},
         .printReport = {"Movies Filtered by Actor: ",
                         std::nullopt,
                         {leadingActor1, leadingActor2, leadingActress1, leadingActress2, name,
                          year, genre, director, producer},
                         nullptr}},
        {.kind = GroupKind::Actress,
         .commandName = "actress",
         .attribute = leadingActress1,
         .secondAttribute = leadingActress2,
         .selected = {&S::SelectedActress1, &S::SelectedActress2, &S::SelectedActressName},
         .tab = {"ActressTabTableViewController", "Actress", "woman", false,
                 "Search By Actress Name", "# Actress(s) = ", "openActressBreakdown", "Actresses"},
         .breakdown = {"ActressBreakdownTableViewController", "ActressBreakdownTableViewCell",
                       "{name}",
                       "Actress's: {leadingActress1}   Year: {year}  Run Time: {runTime} min.",
                       "Actors: {leadingActor1}, {leadingActor2}", nullptr, "ActressBreakdown",
                       "showActressBreakdown", "unwindToActressTableView"},
         .breakdownReport = {"Movies Filtered by Actress: ", leadingActress1, kActorLines,
                             "MoviesFilteredByActress.pdf"},
         .printReport = {"Movies Filtered by Actress: ",
                         std::nullopt,
                         {leadingActress1, leadingActress2, name, year, genre, leadingActor1,
                          leadingActor2, director, producer},
                         nullptr}},
        {.kind = GroupKind::Director,
         .commandName = "director",
         .attribute = director,
         .secondAttribute = std::nullopt,
         .selected = {&S::SelectedDirector, nullptr, nullptr},
         .tab = {"DirectorTabTableViewController", "Director", "director", false,
                 "Search By Director Name", "# Director's = ", "openDirectorBreakdown",
                 "Directors"},
         .breakdown = {"DirectorBreakdownTableViewController", "DirectorBreakdownTableViewCell",
                       "{name}", "Director: {director}",
                       "Genre: {genre}  Year: {year}  Run Time: {runTime} min.", nullptr,
                       "DirectorBreakdown", "showDirectorBreakdown", "unwindToDirectorTableView"},
         .breakdownReport = {"Movies Filtered by Director: ",
                             director,
                             {director, leadingActor1, leadingActor2, leadingActress1,
                              leadingActress2, name, year, runTime, rating, producer, writer, genre,
                              notes},
                             "MoviesFilteredByDirector.pdf"},
         .printReport = {"Movies Filtered by Director: ",
                         director,
                         {director, name, year, genre, leadingActor1, leadingActor2,
                          leadingActress1, leadingActress2, producer},
                         nullptr}},
        {.kind = GroupKind::Producer,
         .commandName = "producer",
         .attribute = producer,
         .secondAttribute = std::nullopt,
         .selected = {&S::SelectedProducer, nullptr, nullptr},
         .tab = {"ProducerTabTableViewController", "Producer", "producer", false,
                 "Search By Producer Name", "# Producer's = ", "openProducerBreakdown",
                 "Producers"},
         .breakdown = {"ProducerBreakdownTableViewController", "ProducerBreakdownTableViewCell",
                       "{name}", "Genre:  {genre}   Year: {year}  Run Time: {runTime} min.",
                       "Producer: {producer}",
                       "Genre {genre}   Year: {year}  Run Time: {runTime} min.",
                       "ProducerBreakdown", "showProducerBreakdown", "unwindToProducerTableView"},
         .breakdownReport = {"Movies Filtered by Producer: ",
                             producer,
                             {producer, leadingActor1, leadingActor2, leadingActress1,
                              leadingActress2, name, year, runTime, rating, director, writer, genre,
                              notes},
                             "MoviesFilteredByProducer.pdf"},
         .printReport = {"Movies Filtered by Producer: ",
                         producer,
                         {producer, name, year, genre, leadingActor1, leadingActor2,
                          leadingActress1, leadingActress2, director},
                         nullptr}},
    }};
}();

static_assert(
    [] {
        for (size_t i = 0; i < kGroupKindTable.size(); ++i)
            if (kGroupKindTable[i].kind != kGroupKinds[i]) return false;
        return true;
    }(),
    "the kinds are listed in their order");

constexpr const GroupKindFacts& groupKindFacts(GroupKind kind) {
    return kGroupKindTable[size_t(kind)];
}

// "genre", "actor", "actress", "director", "producer": the names scripts use.
QString commandNameOf(GroupKind kind);
std::optional<GroupKind> groupKindNamed(QStringView name);
// The kind whose breakdown names itself so in CallingScreen.
std::optional<GroupKind> groupKindCalling(QStringView callingScreen);

// The kind's attributes in reading order.
std::vector<Attribute> attributesOf(const GroupKindFacts& kind);
// Writes a value picked in the tab into the kind's selection fields.
void writePickedValue(GroupKind kind, const QString& value, SelectionState& selection);
// The breakdown's movies of the value(s) in the kind's selection fields: its load filter, which
// the print screen uses too. `values` are the value and the second value, as read from there.
Predicate breakdownFilter(GroupKind kind, const std::array<QString, 2>& values);
std::array<QString, 2> selectedValues(GroupKind kind, const SelectionState& selection);

}  // namespace quillon
