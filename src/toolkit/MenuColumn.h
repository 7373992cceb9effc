#pragma once

#include <QString>

class QPushButton;
class QVBoxLayout;

namespace quillon {

class ViewController;

// The layout of a menu screen: a column of tall buttons, each opening a segue of its screen.
// In a wide window the column keeps a readable width, centred.
QVBoxLayout* createMenuColumn(ViewController* screen);
// Adds an entry; it is enabled only when its segue is registered, so areas not built yet stay
// visible but cannot be opened. The caller adds the column's final stretch.
QPushButton* addMenuEntry(QVBoxLayout* column, ViewController* screen, const QString& caption,
                          const QString& segue);

}  // namespace quillon
