#pragma once

#include "catalogue/GroupKind.h"
#include "catalogue/SearchableList.h"
#include "store/CatalogueStore.h"

namespace quillon {

// What one breakdown shows: the movies of the value picked in its tab (MovieList, by name),
// those whose name matches the search text (FilteredMovieList), the section title and the row
// texts. A load searches again; a sort with a search present sorts only the found movies.
class BreakdownQuery : public SearchableList<MoviePtr> {
public:
    BreakdownQuery(GroupKind kind, ManagedObjectContext& context)
        : facts_(groupKindFacts(kind)), context_(context) {}

    // Keeps the value(s) the tab wrote into the selection. Every later load filters by them,
    // whatever a movie opened from the breakdown writes into the selection meanwhile.
    void keepValue(const SelectionState& selection);
    // Writes the kept value(s) back into the selection, for a screen that reads them there.
    void writeKeptValue(SelectionState& selection) const;
    // Opens the breakdown of a value as picking it in the tab would, sorted by name in the
    // given direction and filtered by the search text.
    void openFor(const QString& value, bool descending, const QString& search);

    void loadBreakdown() { load(); }
    void filterBreakdown(const QString& searchText) { filter(searchText); }
    QString sectionTitle() const { return headerText(); }
    // The row's three labels, as the kind writes them while the current search text applies.
    QStringList rowTexts(const Movies& movie) const;
    const GroupKindFacts& facts() const { return facts_; }

    QString headerText() const override;
    QStringList labelsOf(const MoviePtr& movie) const override { return rowTexts(*movie); }
    QString readOutOf(const MoviePtr& movie) const override;

protected:
    // The movies of the kept value, by name in the SortAsc direction.
    std::vector<MoviePtr> fetch() override;
    QString loweredSearchField(const MoviePtr& movie) const override;
    bool searchesAgainAfterLoad() const override { return true; }
    // By name, stable, in the direction.
    bool sortFoundRows(std::vector<MoviePtr>& found, bool ascending) const override;

private:
    const GroupKindFacts& facts_;
    ManagedObjectContext& context_;
    SelectionState kept_;  // the kind's selection fields as the tab wrote them
};

// The rows of the breakdown of `value` (for actor and actress: both values and the picked name,
// as picking it in the tab writes them), sorted by name in the given direction and filtered by
// the search text: what the breakdown screen would show.
std::vector<MoviePtr> breakdownRowsFor(ManagedObjectContext& context, GroupKind kind,
                                       const QString& value, bool descending,
                                       const QString& search);

}  // namespace quillon
