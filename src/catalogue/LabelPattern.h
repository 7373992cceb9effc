#pragma once

#include <QString>

#include "store/Records.h"

namespace quillon {

// The pattern (a table's own, ASCII) with each {attribute} replaced by the movie's value: an
// absent text reads empty, a number in plain decimal. The values are not read as patterns
// again, so a name holding braces stays as it is.
QString expandLabel(const char* pattern, const Movies& movie);

}  // namespace quillon
