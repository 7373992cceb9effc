#include "store/FetchRequest.h"

#include <algorithm>

#include "store/private/ContextState.h"

namespace quillon {

namespace {

bool testMatches(const Predicate::Test& test, const ManagedObject& object) {
    if (isNumberAttribute(test.attribute)) {
        const auto wanted = readStoredNumber(test.value);
        return wanted && *wanted == object.number(test.attribute);
    }
    if (!isTextAttribute(test.attribute)) return false;
    const QString* value = object.textIfPresent(test.attribute);
    return value && *value == test.value;
}

}  // namespace

std::optional<qint16> readStoredNumber(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < -32768 || value > 32767) return std::nullopt;
    return qint16(value);
}

bool Predicate::matches(const ManagedObject& object) const {
    if (tests.empty()) return true;
    if (join == Join::And)
        return std::all_of(tests.begin(), tests.end(),
                           [&](const Test& t) { return testMatches(t, object); });
    return std::any_of(tests.begin(), tests.end(),
                       [&](const Test& t) { return testMatches(t, object); });
}

}  // namespace quillon
