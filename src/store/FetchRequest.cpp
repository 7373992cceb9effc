#include "store/FetchRequest.h"

#include <algorithm>

#include "store/ContextState.h"

namespace quillon {

namespace {

// UTF-16 units order surrogates (D800-DFFF) below E000-FFFF; code points order them above.
inline char16_t codePointOrderKey(char16_t unit) {
    if (unit >= 0xE000) return char16_t(unit - 0x800);
    if (unit >= 0xD800) return char16_t(unit + 0x2000);
    return unit;
}

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

int compareTexts(const QString* a, const QString* b) {
    if (!a || !b) return int(a != nullptr) - int(b != nullptr);
    const char16_t* x = reinterpret_cast<const char16_t*>(a->constData());
    const char16_t* y = reinterpret_cast<const char16_t*>(b->constData());
    const qsizetype n = std::min(a->size(), b->size());
    const auto [px, py] = std::mismatch(x, x + n, y);
    if (px != x + n) {
        const char16_t cx = codePointOrderKey(*px);
        const char16_t cy = codePointOrderKey(*py);
        return cx < cy ? -1 : 1;
    }
    return a->size() < b->size() ? -1 : (a->size() > b->size() ? 1 : 0);
}

}  // namespace quillon
