#pragma once

#include <QString>
#include <memory>

#include "handover/SelectionState.h"
#include "store/CatalogueStore.h"

namespace quillon {

using EntryPtr = std::shared_ptr<ManagedObject>;

// Everything in which the genre list and the rating list differ. The list screen, the add and
// edit screens and their logic are written once against this table.
struct ReferenceMember {
    Entity entity;
    Attribute attribute;
    EntryPtr (*insertInto)(ManagedObjectContext&);
    QString SelectionState::*selectedEntry;  // text of the entry last tapped in the list
    const char* listTitle;
    const char* searchPlaceholder;
    const char* listSegue;  // from the reference-list menu to the list
    const char* editSegue;
    const char* addSegue;
    const char* returnPoint;  // offered by the list, used by the add and edit screens
    const char* addTitle;
    const char* editTitle;
    const char* emptyInputMessage;
    const char* textFieldName;
    const char* labelName;
    const char* entryName;  // what the entry screen's text field holds
    const char* listName;   // what the list lists
};

inline constexpr ReferenceMember kGenreMember{
    Entity::GenreList,
    Attribute::genre,
    [](ManagedObjectContext& c) -> EntryPtr { return GenreList::insertInto(c); },
    &SelectionState::SelectedListGenre,
    "Genre List",
    "Search by Genre",
    "GenreList",
    "showGenre",
    "addGenre",
    "unwindToGenreTableView",
    "Add Genre",
    "Edit Genre",
    "Genre not Entered",
    "GenreTextField",
    "GenreLabel",
    "Genre",
    "Genres",
};

inline constexpr ReferenceMember kRatingMember{
    Entity::RatingList,
    Attribute::rating,
    [](ManagedObjectContext& c) -> EntryPtr { return RatingList::insertInto(c); },
    &SelectionState::SelectedListRating,
    "Rating List",
    "Search by Rating",
    "RatingList",
    "showRating",
    "addRating",
    "unwindToRatingTableView",
    "Add Rating",
    "Edit Rating",
    "Rating not Entered",
    "RatingTextField",
    "RatingLabel",
    "Rating",
    "Ratings",
};

}  // namespace quillon
