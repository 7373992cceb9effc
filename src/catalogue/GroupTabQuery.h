#pragma once

#include <QSet>

#include "catalogue/GroupKind.h"
#include "catalogue/SearchableList.h"
#include "store/CatalogueStore.h"

namespace quillon {

// What one group tab shows: the distinct values of its kind's attributes (the value list), those
// matching the search text (the filtered list), and each value's live count. The value list
// only ever grows: a value whose movies changed stays listed until the tab is built again.
// A load searches again; a sort with a search present sorts only the found values.
class GroupTabQuery : public SearchableList<QString> {
public:
    GroupTabQuery(GroupKind kind, ManagedObjectContext& context)
        : facts_(groupKindFacts(kind)), context_(context) {}

    void loadValues() { load(); }
    void filterValues(const QString& searchText) { filter(searchText); }

    // The number of movies carrying the value, from the store's live count.
    int countMovies(const QString& value) const;
    // Writes the row's value into the selection; false when there is no such row.
    bool fillSelection(int row, SelectionState& selection) const;
    const GroupKindFacts& facts() const { return facts_; }

    QString headerText() const override;
    QStringList labelsOf(const QString& value) const override;
    QString readOutOf(const QString& value) const override;

protected:
    // Every movie, in the kind's sort keys; the values not listed yet are added, and the whole
    // list sorted in the SortAsc direction.
    std::vector<QString> fetch() override;
    QString loweredSearchField(const QString& value) const override { return lowerCased(value); }
    bool searchesAgainAfterLoad() const override { return true; }
    bool sortFoundRows(std::vector<QString>& found, bool ascending) const override;

private:
    const GroupKindFacts& facts_;
    ManagedObjectContext& context_;
    QSet<QString> listed_;  // the values listed
};

}  // namespace quillon
