#pragma once

#include <QString>

namespace quillon {

// The lower-case form used by every search: the same as QString::toLower(), with a fast path
// for ASCII texts, which are most of a catalogue.
QString lowerCased(const QString& text);

// Search rule of every list: the field, lower-cased, contains the search text, lower-cased.
// An absent field (nullptr) never matches.
inline bool matchesSearch(const QString* field, const QString& loweredNeedle) {
    return field && lowerCased(*field).contains(loweredNeedle);
}

}  // namespace quillon
