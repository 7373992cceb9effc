#include "catalogue/GroupTabQuery.h"

#include <algorithm>

namespace quillon {

namespace {

// By code point: ascending, or ascending and then reversed.
void sortValues(std::vector<QString>& values, bool ascending) {
    std::sort(values.begin(), values.end(),
              [](const QString& a, const QString& b) { return compareTexts(&a, &b) < 0; });
    if (!ascending) std::reverse(values.begin(), values.end());
}

}  // namespace

std::vector<QString> GroupTabQuery::fetch() {
    const bool ascending = SortAsc.value_or(true);
    const std::vector<Attribute> attributes = attributesOf(facts_);
    std::vector<SortDescriptor> keys;
    for (Attribute a : attributes)
        keys.push_back({a, facts_.tab.sortKeysFollowDirection ? ascending : true});
    std::vector<QString> values = allRows();
    for (const MoviePtr& movie : context_.fetch<Movies>(std::nullopt, std::move(keys))) {
        for (Attribute a : attributes) {
            const QString* value = movie->textIfPresent(a);
            if (!value || listed_.contains(*value)) continue;
            listed_.insert(*value);
            values.push_back(*value);
        }
    }
    sortValues(values, ascending);
    return values;
}

bool GroupTabQuery::sortFoundRows(std::vector<QString>& found, bool ascending) const {
    sortValues(found, ascending);
    return true;
}

QString GroupTabQuery::headerText() const {
    return QString::fromUtf8(facts_.tab.headerPrefix) + QString::number(rowCount());
}

QStringList GroupTabQuery::labelsOf(const QString& value) const {
    return {value, QString::number(countMovies(value))};
}

QString GroupTabQuery::readOutOf(const QString& value) const {
    return QStringLiteral("%1: %2 movies").arg(value, QString::number(countMovies(value)));
}

int GroupTabQuery::countMovies(const QString& value) const {
    return context_.countMovies(attributesOf(facts_), value);
}

bool GroupTabQuery::fillSelection(int row, SelectionState& selection) const {
    if (row < 0 || row >= rowCount()) return false;
    writePickedValue(facts_.kind, rows()[size_t(row)], selection);
    return true;
}

}  // namespace quillon
