#include "reference/ReferenceListQuery.h"

namespace quillon {

void ReferenceListQuery::fetchList() {
    ListOfEntries.clear();
    FilteredListOfEntries.clear();
    const FetchRequest request{
        member_.entity, std::nullopt, {{member_.attribute, SortAsc.value_or(true)}}};
    ListOfEntries = context_.fetch(request);
    FilteredListOfEntries = ListOfEntries;
}

void ReferenceListQuery::filterList(const QString& searchText) {
    searchText_ = searchText;
    if (searchText.isEmpty()) {
        FilteredListOfEntries = ListOfEntries;
        return;
    }
    const QString needle = searchText.toLower();
    FilteredListOfEntries.clear();
    for (const EntryPtr& entry : ListOfEntries) {
        const QString* text = entry->textIfPresent(member_.attribute);
        if (text && text->toLower().contains(needle)) FilteredListOfEntries.push_back(entry);
    }
}

const std::vector<EntryPtr>& ReferenceListQuery::rows() const {
    return searchText_.isEmpty() ? ListOfEntries : FilteredListOfEntries;
}

EntryPtr ReferenceListQuery::entryAt(int row) const {
    const auto& feeding = rows();
    return row >= 0 && row < int(feeding.size()) ? feeding[row] : nullptr;
}

QString ReferenceListQuery::rowText(int row) const {
    const EntryPtr entry = entryAt(row);
    return entry ? entry->text(member_.attribute).value_or(QString()) : QString();
}

void ReferenceListQuery::removeRow(int row) {
    auto& feeding = searchText_.isEmpty() ? ListOfEntries : FilteredListOfEntries;
    if (row < 0 || row >= int(feeding.size())) return;
    feeding.erase(feeding.begin() + row);
}

}  // namespace quillon
