#pragma once

#include <QString>

namespace quillon {

// The lower-case form used by every search: the same as QString::toLower(), with a fast path
// for ASCII texts, which are most of a catalogue.
QString lowerCased(const QString& text);

// Search rule of every list: the field, lower-cased, contains the search text, lower-cased.
// An absent field (a null string) never matches.
inline bool matchesSearch(const QString& loweredField, const QString& loweredNeedle) {
    return !loweredField.isNull() && loweredField.contains(loweredNeedle);
}

}  // namespace quillon
