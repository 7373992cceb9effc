#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "store/Records.h"

namespace quillon {

// Equality tests on text or number attributes, alone or joined by AND / OR.
// Texts match by exact, case-sensitive equality of the whole value; an absent text matches
// nothing. A number attribute is given as decimal text ("1999") and matches the stored number
// of that value; a text that does not read as a 16-bit number matches nothing.
struct Predicate {
    enum class Join { And, Or };
    struct Test {
        Attribute attribute;
        QString value;
    };
    std::vector<Test> tests;
    Join join = Join::And;

    static Predicate equals(Attribute a, QString value) { return {{{a, std::move(value)}}}; }
    static Predicate all(std::vector<Test> tests) { return {std::move(tests), Join::And}; }
    static Predicate any(std::vector<Test> tests) { return {std::move(tests), Join::Or}; }

    bool matches(const ManagedObject& object) const;
};

struct SortDescriptor {
    Attribute attribute;
    bool ascending = true;
};

// Which records to fetch and in what order. Texts order by case-sensitive code-point comparison
// with absent texts first when ascending; numbers by value. Sorts are stable: equal keys keep
// the store's own order (the order of insertion).
struct FetchRequest {
    Entity entity = Entity::Movies;
    std::optional<Predicate> predicate;
    std::vector<SortDescriptor> sortDescriptors;

    static FetchRequest all(Entity e) { return {e, std::nullopt, {}}; }
};

// A number attribute's decimal text as predicates compare it with the stored number; nullopt
// when it does not read as a 16-bit number.
std::optional<qint16> readStoredNumber(const QString& text);

// Case-sensitive comparison by Unicode code point (not UTF-16 unit); absent sorts first.
int compareTexts(const QString* a, const QString* b);
inline int compareTexts(const OptionalText& a, const OptionalText& b) {
    return compareTexts(a ? &*a : nullptr, b ? &*b : nullptr);
}

}  // namespace quillon
