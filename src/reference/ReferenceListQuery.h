#pragma once

#include <optional>
#include <vector>

#include "reference/ReferenceMember.h"

namespace quillon {

// What a reference list shows, without widgets: every entry in the chosen order (ListOfEntries)
// and the entries whose text contains the search text in any letter case
// (FilteredListOfEntries).
class ReferenceListQuery {
public:
    ReferenceListQuery(const ReferenceMember& member, ManagedObjectContext& context)
        : member_(member), context_(context) {}

    std::optional<bool> SortAsc;
    std::vector<EntryPtr> ListOfEntries;
    std::vector<EntryPtr> FilteredListOfEntries;

    // Refetches every entry by its text, ascending unless SortAsc is false. The filtered array
    // becomes the full one; the search text is kept.
    void fetchList();
    void filterList(const QString& searchText);

    // The array that feeds the rows: ListOfEntries while the search text is empty.
    const std::vector<EntryPtr>& rows() const;
    EntryPtr entryAt(int row) const;
    // The row's text; empty when the entry has none.
    QString rowText(int row) const;
    // Removes one row of the feeding array; the record itself is deleted by the caller.
    void removeRow(int row);

private:
    const ReferenceMember& member_;
    ManagedObjectContext& context_;
    QString searchText_;
};

}  // namespace quillon
