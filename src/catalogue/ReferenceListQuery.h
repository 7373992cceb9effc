#pragma once

#include "catalogue/RecordList.h"
#include "catalogue/ReferenceMember.h"

namespace quillon {

// What a reference list shows: every entry in the chosen order (ListOfGenre, ListOfRating) and
// the entries whose text contains the search text in any letter case (FilteredListOfGenre...).
// A fetch shows every entry again while the search text waits for its next change.
class ReferenceListQuery : public RecordList<EntryPtr> {
public:
    ReferenceListQuery(const ReferenceMember& member, ManagedObjectContext& context)
        : member_(member), context_(context) {}

    void fetchList() { load(); }
    void filterList(const QString& searchText) { filter(searchText); }

    EntryPtr entryAt(int row) const;
    // The row's text; empty when the entry has none.
    QString rowText(int row) const;

    QStringList labelsOf(const EntryPtr& entry) const override { return {readOutOf(entry)}; }
    QString readOutOf(const EntryPtr& entry) const override;

protected:
    // Every entry by its text, ascending unless SortAsc is false.
    std::vector<EntryPtr> fetch() override;
    QString loweredSearchField(const EntryPtr& entry) const override;
    Entity entity() const override { return member_.entity; }
    QString deletedNotice(const ManagedObject& entry) const override;

private:
    const ReferenceMember& member_;
    ManagedObjectContext& context_;
};

}  // namespace quillon
