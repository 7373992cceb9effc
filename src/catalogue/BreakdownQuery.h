#pragma once

#include <QStringList>
#include <array>
#include <optional>
#include <vector>

#include "catalogue/GroupKind.h"
#include "handover/SelectionState.h"
#include "store/CatalogueStore.h"

namespace quillon {

// Everything in which the five breakdowns differ. In the label patterns {attribute} stands for
// the movie's value: an absent text reads empty, a number in plain decimal.
struct Breakdown {
    GroupKind kind;
    const char* controllerName;
    const char* cellName;  // the row view
    // The load filter: the first attribute equals the first value OR the second attribute equals
    // the second value. Values are read from the selection fields; the second pair may be absent.
    Attribute attribute;
    QString SelectionState::*value;
    std::optional<Attribute> secondAttribute;
    QString SelectionState::*secondValue;
    // The picked name the tab wrote beside the values (actor, actress); may be null.
    QString SelectionState::*pickedName;
    const char* firstLabel;
    const char* SecondLabel;
    const char* ThirdLabel;
    // The second label while a search text is present, when it differs.
    const char* SecondLabelWhileSearching;
    const char* CallingScreen;  // written by every transition that leaves the breakdown
    const char* returnPoint;    // where the edit form comes back to
};

inline constexpr std::array<Breakdown, 5> kBreakdowns{{
    {GroupKind::Genre, "GenreBreakdownTableViewController", "GenreBreakdownTableViewCell",
     Attribute::genre, &SelectionState::SelectedGenre, std::nullopt, nullptr, nullptr,
     "Genre: {genre}", " {name}   Year: {year}  Run Time: {runTime} min.",
     "Actors: {leadingActor1}, {leadingActor2}", nullptr, "GenreBreakdown",
     "unwindToGenreTableView"},
    {GroupKind::Actor, "ActorBreakdownTableViewController", "ActorBreakdownTableViewCell",
     Attribute::leadingActor1, &SelectionState::SelectedActor1, Attribute::leadingActor2,
     &SelectionState::SelectedActor2, &SelectionState::SelectedActorName, "{name}",
     "Actor: {leadingActor1}   Year: {year}  Run Time: {runTime} min.",
     "Actress's: {leadingActress1}, {leadingActress2}", nullptr, "ActorBreakdown",
     "unwindToActorTableView"},
    {GroupKind::Actress, "ActressBreakdownTableViewController", "ActressBreakdownTableViewCell",
     Attribute::leadingActress1, &SelectionState::SelectedActress1, Attribute::leadingActress2,
     &SelectionState::SelectedActress2, &SelectionState::SelectedActressName, "{name}",
     "Actress's: {leadingActress1}   Year: {year}  Run Time: {runTime} min.",
     "Actors: {leadingActor1}, {leadingActor2}", nullptr, "ActressBreakdown",
     "unwindToActressTableView"},
    {GroupKind::Director, "DirectorBreakdownTableViewController", "DirectorBreakdownTableViewCell",
     Attribute::director, &SelectionState::SelectedDirector, std::nullopt, nullptr, nullptr,
     "{name}", "Director: {director}", "Genre: {genre}  Year: {year}  Run Time: {runTime} min.",
     nullptr, "DirectorBreakdown", "unwindToDirectorTableView"},
    {GroupKind::Producer, "ProducerBreakdownTableViewController", "ProducerBreakdownTableViewCell",
     Attribute::producer, &SelectionState::SelectedProducer, std::nullopt, nullptr, nullptr,
     "{name}", "Genre:  {genre}   Year: {year}  Run Time: {runTime} min.", "Producer: {producer}",
     "Genre {genre}   Year: {year}  Run Time: {runTime} min.", "ProducerBreakdown",
     "unwindToProducerTableView"},
}};

const Breakdown& breakdownOf(GroupKind kind);
// The pattern with each {attribute} replaced by the movie's value; values are never expanded.
QString expandLabel(const char* pattern, const Movies& movie);

// What one breakdown shows, without widgets: the movies of the value picked in its tab
// (MovieList, by name), those whose name matches the search text (FilteredMovieList), the
// section title and the row texts.
class BreakdownQuery {
public:
    BreakdownQuery(const Breakdown& member, ManagedObjectContext& context)
        : member_(member), context_(context) {}

    // Keeps the value(s) the tab wrote into the selection. Every later load filters by them,
    // whatever a movie opened from the breakdown writes into the selection meanwhile.
    void keepValue(const SelectionState& selection);
    // Writes the kept value(s) back into the selection, for a screen that reads them there.
    void writeKeptValue(SelectionState& selection) const;

    // Opens the breakdown of a value as picking it in the tab would, sorted by name in the
    // given direction and filtered by the search text.
    void openFor(const QString& value, bool descending, const QString& search);

    std::optional<bool> SortAsc;
    std::vector<MoviePtr> MovieList;
    std::vector<MoviePtr> FilteredMovieList;
    int MovieCount = 0;

    // Fetches the movies of the kept value by name, in the SortAsc direction, then applies the
    // search text again.
    void loadBreakdown();
    // The movies whose name, lower-cased, contains the lower-cased text; all of them while the
    // text is empty.
    void filterBreakdown(const QString& searchText);
    // The sort button: flips SortAsc and copies it into sharedSortAsc; then reloads while the
    // search text is empty, else sorts only the filtered movies by name (stable). Nothing while
    // SortAsc is absent.
    void toggleSort(bool& sharedSortAsc);

    // The list that feeds the rows: MovieList while the search text is empty.
    const std::vector<MoviePtr>& rows() const;
    QString sectionTitle() const;
    // The row's three labels, as the member writes them while the current search text applies.
    QStringList rowTexts(const Movies& movie) const;
    const Breakdown& member() const { return member_; }

private:
    const Breakdown& member_;
    ManagedObjectContext& context_;
    std::array<QString, 3> kept_;  // value, second value, picked name
    QString searchText_;
};

// The rows of the breakdown of `value` (for actor and actress: both values and the picked name,
// as picking it in the tab writes them), sorted by name in the given direction and filtered by
// the search text: what the breakdown screen would show.
std::vector<MoviePtr> breakdownRowsFor(ManagedObjectContext& context, GroupKind kind,
                                       const QString& value, bool descending,
                                       const QString& search);

}  // namespace quillon
