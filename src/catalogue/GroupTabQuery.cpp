#include "catalogue/GroupTabQuery.h"

#include <algorithm>

#include "store/TextSearch.h"

namespace quillon {

static_assert(
    [] {
        for (size_t i = 0; i < kGroupTabs.size(); ++i)
            if (kGroupTabs[i].kind != kGroupKinds[i]) return false;
        return true;
    }(),
    "the tabs are listed in the order of the kinds");

const GroupTab& groupTab(GroupKind kind) {
    return kGroupTabs[size_t(kind)];
}

std::vector<Attribute> attributesOf(const GroupTab& tab) {
    std::vector<Attribute> attributes{tab.attribute};
    if (tab.secondAttribute) attributes.push_back(*tab.secondAttribute);
    return attributes;
}

void writePickedValue(const GroupTab& tab, const QString& value, SelectionState& selection) {
    for (QString SelectionState::*field : tab.written)
        if (field) selection.*field = value;
}

void sortValues(QStringList& values, bool ascending) {
    std::sort(values.begin(), values.end(),
              [](const QString& a, const QString& b) { return compareTexts(&a, &b) < 0; });
    if (!ascending) std::reverse(values.begin(), values.end());
}

void GroupTabQuery::loadValues() {
    MovieList.clear();
    const bool ascending = SortAsc.value_or(true);
    std::vector<SortDescriptor> keys;
    for (Attribute a : attributesOf(tab_))
        keys.push_back({a, tab_.sortKeysFollowDirection ? ascending : true});
    MovieList = context_.fetch<Movies>(std::nullopt, std::move(keys));
    const std::vector<Attribute> attributes = attributesOf(tab_);
    for (const MoviePtr& movie : MovieList) {
        for (Attribute a : attributes) {
            const QString* value = movie->textIfPresent(a);
            if (!value || listed_.contains(*value)) continue;
            listed_.insert(*value);
            ValueList.append(*value);
        }
    }
    sortValues(ValueList, ascending);
    filterValues(searchText_);
}

void GroupTabQuery::filterValues(const QString& searchText) {
    searchText_ = searchText;
    if (searchText.isEmpty()) {
        FilteredValueList = ValueList;
        return;
    }
    const QString needle = lowerCased(searchText);
    FilteredValueList.clear();
    for (const QString& value : ValueList)
        if (!value.isEmpty() && matchesSearch(&value, needle)) FilteredValueList.append(value);
}

void GroupTabQuery::toggleSort(bool& sharedSortAsc) {
    if (!SortAsc) return;
    SortAsc = !*SortAsc;
    sharedSortAsc = *SortAsc;
    if (searchText_.isEmpty())
        loadValues();
    else
        sortValues(FilteredValueList, *SortAsc);
}

const QStringList& GroupTabQuery::rows() const {
    return searchText_.isEmpty() ? ValueList : FilteredValueList;
}

QString GroupTabQuery::headerText() const {
    return QString::fromUtf8(tab_.headerPrefix) + QString::number(rows().size());
}

int GroupTabQuery::countMovies(const QString& value) const {
    return context_.countMovies(attributesOf(tab_), value);
}

bool GroupTabQuery::fillSelection(int row, SelectionState& selection) const {
    if (row < 0 || row >= rows().size()) return false;
    writePickedValue(tab_, rows().at(row), selection);
    return true;
}

}  // namespace quillon
