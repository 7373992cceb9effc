#pragma once

#include <QSet>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

#include "catalogue/GroupKind.h"
#include "handover/SelectionState.h"
#include "store/CatalogueStore.h"

namespace quillon {

// Everything in which the five group tabs differ. The tab screen and `quillon groups` are
// written once against this table.
struct GroupTab {
    GroupKind kind;
    const char* controllerName;
    const char* title;  // the tab's item
    const char* image;  // the tab's named image
    // The attributes whose values are listed, in reading order; the second may be absent.
    Attribute attribute;
    std::optional<Attribute> secondAttribute;
    // The load query sorts by the attributes, in the sort direction or always ascending.
    bool sortKeysFollowDirection;
    const char* searchPlaceholder;
    const char* headerPrefix;
    // The selection fields a picked value is written into; unused ones are null.
    std::array<QString SelectionState::*, 3> written;
    const char* breakdownSegue;  // opens the member's breakdown
};

inline constexpr std::array<GroupTab, 5> kGroupTabs{{
    {GroupKind::Genre,
     "GenreTabTableViewController",
     "Genre",
     "genre",
     Attribute::genre,
     std::nullopt,
     false,
     "Search By Genre",
     "# Genre's = ",
     {&SelectionState::SelectedGenre, nullptr, nullptr},
     "openGenreBreakdown"},
    {GroupKind::Actor,
     "ActorTabTableViewController",
     "Actor",
     "man",
     Attribute::leadingActor1,
     Attribute::leadingActor2,
     true,
     "Search By Actor Name",
     "# Actor's = ",
     {&SelectionState::SelectedActor1, &SelectionState::SelectedActor2,
      &SelectionState::SelectedActorName},
     "openActorBreakdown"},
    {GroupKind::Actress,
     "ActressTabTableViewController",
     "Actress",
     "woman",
     Attribute::leadingActress1,
     Attribute::leadingActress2,
     false,
     "Search By Actress Name",
     "# Actress(s) = ",
     {&SelectionState::SelectedActress1, &SelectionState::SelectedActress2,
      &SelectionState::SelectedActressName},
     "openActressBreakdown"},
    {GroupKind::Director,
     "DirectorTabTableViewController",
     "Director",
     "director",
     Attribute::director,
     std::nullopt,
     false,
     "Search By Director Name",
     "# Director's = ",
     {&SelectionState::SelectedDirector, nullptr, nullptr},
     "openDirectorBreakdown"},
    {GroupKind::Producer,
     "ProducerTabTableViewController",
     "Producer",
     "producer",
     Attribute::producer,
     std::nullopt,
     false,
     "Search By Producer Name",
     "# Producer's = ",
     {&SelectionState::SelectedProducer, nullptr, nullptr},
     "openProducerBreakdown"},
}};

const GroupTab& groupTab(GroupKind kind);
// The member's attributes in reading order.
std::vector<Attribute> attributesOf(const GroupTab& tab);
// Writes a picked value into the member's selection fields, as picking it in the tab does.
void writePickedValue(const GroupTab& tab, const QString& value, SelectionState& selection);
// Sorts texts by code point: ascending, or ascending and then reversed.
void sortValues(QStringList& values, bool ascending);

// What one group tab shows, without widgets: the distinct values of its attributes (the value
// list), those matching the search text (the filtered list), and each value's live count.
class GroupTabQuery {
public:
    GroupTabQuery(const GroupTab& tab, ManagedObjectContext& context)
        : tab_(tab), context_(context) {}

    std::optional<bool> SortAsc;
    std::vector<MoviePtr> MovieList;
    // Only ever added to: a value whose movies changed stays listed until the tab is built
    // again.
    QStringList ValueList;
    QStringList FilteredValueList;

    // Fetches every movie, adds the values not yet listed, sorts the list in the SortAsc
    // direction and applies the search text again.
    void loadValues();
    // The values, but the empty one, whose lower-case form contains the lower-cased text; every
    // value while the text is empty.
    void filterValues(const QString& searchText);
    // The sort button: flips SortAsc and copies it into sharedSortAsc; then reloads while the
    // search text is empty, else sorts only the filtered values. Nothing while SortAsc is absent.
    void toggleSort(bool& sharedSortAsc);

    // The list that feeds the rows: the value list while the search text is empty.
    const QStringList& rows() const;
    QString headerText() const;
    // The number of movies carrying the value, from the store's live count.
    int countMovies(const QString& value) const;
    // Writes the row's value into the selection; false when there is no such row.
    bool fillSelection(int row, SelectionState& selection) const;
    const GroupTab& tab() const { return tab_; }

private:
    const GroupTab& tab_;
    ManagedObjectContext& context_;
    QString searchText_;
    QSet<QString> listed_;  // the values of ValueList
};

}  // namespace quillon
