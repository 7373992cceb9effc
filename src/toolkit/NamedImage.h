#pragma once

#include <QIcon>
#include <QString>

namespace quillon {

// One of the pictures the program carries, by name: the SVG ":/images/NAME.svg". It is drawn
// afresh at each size and scale factor asked, so it stays sharp at any of them, and in its own
// colours in every mode and state (a selected tab does not tint it). A null icon when the
// program carries no such picture or it is not a readable SVG.
QIcon namedImage(const QString& name);

}  // namespace quillon
