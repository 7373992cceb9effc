#pragma once

#include <QString>

namespace quillon {

// Removes leading and trailing horizontal spacing (spaces, tabs, other space separators) but
// keeps line breaks.
QString trimmedEntryText(const QString& text);

}  // namespace quillon
