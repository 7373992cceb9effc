#include "catalogue/GroupKind.h"

namespace quillon {

QString commandNameOf(GroupKind kind) {
    return QString::fromLatin1(groupKindFacts(kind).commandName);
}

std::optional<GroupKind> groupKindNamed(QStringView name) {
    for (const GroupKindFacts& facts : kGroupKindTable)
        if (name == QLatin1String(facts.commandName)) return facts.kind;
    return std::nullopt;
}

std::optional<GroupKind> groupKindCalling(QStringView callingScreen) {
    for (const GroupKindFacts& facts : kGroupKindTable)
        if (callingScreen == QLatin1String(facts.breakdown.CallingScreen)) return facts.kind;
    return std::nullopt;
}

std::vector<Attribute> attributesOf(const GroupKindFacts& kind) {
    std::vector<Attribute> attributes{kind.attribute};
    if (kind.secondAttribute) attributes.push_back(*kind.secondAttribute);
    return attributes;
}

void writePickedValue(GroupKind kind, const QString& value, SelectionState& selection) {
    for (QString SelectionState::*field : groupKindFacts(kind).selected)
        if (field) selection.*field = value;
}

std::array<QString, 2> selectedValues(GroupKind kind, const SelectionState& selection) {
    const auto& selected = groupKindFacts(kind).selected;
    return {selected[0] ? selection.*selected[0] : QString(),
            selected[1] ? selection.*selected[1] : QString()};
}

Predicate breakdownFilter(GroupKind kind, const std::array<QString, 2>& values) {
    const GroupKindFacts& facts = groupKindFacts(kind);
    // One test alone is answered from the store's equality index.
    if (!facts.secondAttribute) return Predicate::equals(facts.attribute, values[0]);
    return Predicate::any({{facts.attribute, values[0]}, {*facts.secondAttribute, values[1]}});
}

}  // namespace quillon
