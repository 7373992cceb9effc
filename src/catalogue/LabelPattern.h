#pragma once

#include <QString>
#include <QStringList>

#include "store/Records.h"

namespace quillon {

// The pattern (a table's own, ASCII) with each {attribute} replaced by the movie's value: an
// absent text reads empty, a number in plain decimal. The values are not read as patterns
// again, so a name holding braces stays as it is.
QString expandLabel(const char* pattern, const Movies& movie);

// A row's label lines as one text to read out: each line without its padding and without the
// comma an absent value leaves at its end; empty lines and captions without a value dropped;
// the lines told apart as sentences, so that the commas within a line keep their meaning.
QString readOutOfLines(const QStringList& lines);

}  // namespace quillon
