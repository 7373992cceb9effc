#pragma once

#include <optional>
#include <vector>

#include "catalogue/ReferenceMember.h"

namespace quillon {

// What a reference list shows, without widgets: every entry in the chosen order (ListOfEntries)
// and the entries whose text contains the search text in any letter case
// (FilteredListOfEntries).
class ReferenceListQuery {
public:
    ReferenceListQuery(const ReferenceMember& member, ManagedObjectContext& context)
        : member_(member), context_(context) {}

    // What the undo bar says after the entry was deleted.
    static QString deletedNotice(const ManagedObject& entry, Attribute attribute);

    std::optional<bool> SortAsc;
    std::vector<EntryPtr> ListOfEntries;
    std::vector<EntryPtr> FilteredListOfEntries;

    // Refetches every entry by its text, ascending unless SortAsc is false. The filtered array
    // becomes the full one; the search text is kept.
    void fetchList();
    // Refetches and applies the search text again if it was applied: the rows stay those the user
    // searched for (after a delete taken back or an undo).
    void refetchKeepingSearch();
    void filterList(const QString& searchText);

    // The array that feeds the rows: ListOfEntries while the search text is empty.
    const std::vector<EntryPtr>& rows() const;
    EntryPtr entryAt(int row) const;
    // The row's text; empty when the entry has none.
    QString rowText(int row) const;
    // Removes the row's entry from both arrays (the record itself is deleted by the caller), so
    // that a later change of the search text cannot bring it back.
    void removeRow(int row);
    // The entry's row in the feeding array, -1 when it is not shown.
    int rowOf(const ManagedObject* entry) const;

private:
    const ReferenceMember& member_;
    ManagedObjectContext& context_;
    QString searchText_;
    bool searchApplied_ = false;  // FilteredListOfEntries holds the matches of searchText_
};

}  // namespace quillon
