#include "catalogue/ReferenceListQuery.h"

#include <algorithm>

namespace quillon {

QString ReferenceListQuery::deletedNotice(const ManagedObject& entry, Attribute attribute) {
    const QString text = entry.text(attribute).value_or(QString());
    if (text.isEmpty()) return QStringLiteral("Deleted an entry without text");
    return QStringLiteral("Deleted \u201C%1\u201D").arg(text);
}

void ReferenceListQuery::fetchList() {
    ListOfEntries.clear();
    FilteredListOfEntries.clear();
    const FetchRequest request{
        member_.entity, std::nullopt, {{member_.attribute, SortAsc.value_or(true)}}};
    ListOfEntries = context_.fetch(request);
    FilteredListOfEntries = ListOfEntries;
    searchApplied_ = false;
}

void ReferenceListQuery::refetchKeepingSearch() {
    const bool applied = searchApplied_;
    fetchList();
    if (applied) filterList(searchText_);
}

void ReferenceListQuery::filterList(const QString& searchText) {
    searchText_ = searchText;
    searchApplied_ = !searchText.isEmpty();
    if (!searchApplied_) {
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
    const EntryPtr entry = entryAt(row);
    if (!entry) return;
    std::erase(ListOfEntries, entry);
    std::erase(FilteredListOfEntries, entry);
}

int ReferenceListQuery::rowOf(const ManagedObject* entry) const {
    const auto& feeding = rows();
    for (size_t i = 0; i < feeding.size(); ++i)
        if (feeding[i].get() == entry) return int(i);
    return -1;
}

}  // namespace quillon
