#include "catalogue/ReferenceListQuery.h"

namespace quillon {

QString ReferenceListQuery::deletedNotice(const ManagedObject& entry) const {
    const QString text = entry.text(member_.attribute).value_or(QString());
    if (text.isEmpty()) return QStringLiteral("Deleted an entry without text");
    return QStringLiteral("Deleted \u201C%1\u201D").arg(text);
}

std::vector<EntryPtr> ReferenceListQuery::fetch() {
    return context_.fetch(
        {member_.entity, std::nullopt, {{member_.attribute, SortAsc.value_or(true)}}});
}

QString ReferenceListQuery::loweredSearchField(const EntryPtr& entry) const {
    const QString* text = entry->loweredTextIfPresent(member_.attribute);
    return text ? *text : QString();
}

EntryPtr ReferenceListQuery::entryAt(int row) const {
    return row >= 0 && row < rowCount() ? rows()[size_t(row)] : nullptr;
}

QString ReferenceListQuery::rowText(int row) const {
    const EntryPtr entry = entryAt(row);
    return entry ? readOutOf(entry) : QString();
}

QString ReferenceListQuery::readOutOf(const EntryPtr& entry) const {
    return entry->text(member_.attribute).value_or(QString());
}

}  // namespace quillon
