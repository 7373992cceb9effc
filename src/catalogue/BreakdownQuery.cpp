#include "catalogue/BreakdownQuery.h"

#include <algorithm>

#include "catalogue/LabelPattern.h"

namespace quillon {

void BreakdownQuery::keepValue(const SelectionState& selection) {
    for (QString SelectionState::*field : facts_.selected)
        if (field) kept_.*field = selection.*field;
}

void BreakdownQuery::writeKeptValue(SelectionState& selection) const {
    for (QString SelectionState::*field : facts_.selected)
        if (field) selection.*field = kept_.*field;
}

void BreakdownQuery::openFor(const QString& value, bool descending, const QString& search) {
    writePickedValue(facts_.kind, value, kept_);
    SortAsc = !descending;
    setSearchTextWithoutFiltering(search);
    load();
}

std::vector<MoviePtr> BreakdownQuery::fetch() {
    return context_.fetch<Movies>(breakdownFilter(facts_.kind, selectedValues(facts_.kind, kept_)),
                                  {{Attribute::name, SortAsc.value_or(true)}});
}

QString BreakdownQuery::loweredSearchField(const MoviePtr& movie) const {
    const QString* name = movie->loweredTextIfPresent(Attribute::name);
    return name ? *name : QString();
}

bool BreakdownQuery::sortFoundRows(std::vector<MoviePtr>& found, bool ascending) const {
    std::stable_sort(found.begin(), found.end(), [ascending](const MoviePtr& a, const MoviePtr& b) {
        const int order =
            compareTexts(a->textIfPresent(Attribute::name), b->textIfPresent(Attribute::name));
        return ascending ? order < 0 : order > 0;
    });
    return true;
}

QString BreakdownQuery::headerText() const {
    return QStringLiteral("# of Movies: ") + QString::number(rowCount());
}

QStringList BreakdownQuery::rowTexts(const Movies& movie) const {
    const Breakdown& b = facts_.breakdown;
    const char* second = !searchText().isEmpty() && b.SecondLabelWhileSearching
                             ? b.SecondLabelWhileSearching
                             : b.SecondLabel;
    return {expandLabel(b.firstLabel, movie), expandLabel(second, movie),
            expandLabel(b.ThirdLabel, movie)};
}

QString BreakdownQuery::readOutOf(const MoviePtr& movie) const {
    return readOutOfLines(rowTexts(*movie));
}

std::vector<MoviePtr> breakdownRowsFor(ManagedObjectContext& context, GroupKind kind,
                                       const QString& value, bool descending,
                                       const QString& search) {
    BreakdownQuery query(kind, context);
    query.openFor(value, descending, search);
    return query.rows();
}

}  // namespace quillon
