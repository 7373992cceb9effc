#pragma once

#include <QList>
#include <QRect>
#include <QSize>

class QSettings;
class QWidget;

namespace quillon {

// Where the window opens: a desktop program's size on the first start, and afterwards the
// size and place it was left at, put back on a screen that can still show it.
inline constexpr QSize kWindowMinimumSize{320, 480};
inline constexpr QSize kWindowFirstSize{1100, 760};

// The first start's size on a screen with this much room: kWindowFirstSize, at most 85% of the
// room, at least kWindowMinimumSize.
QSize firstStartSize(const QSize& available);
// `saved` moved and shrunk so that it lies whole on one of the screens' available areas: the
// one it overlaps most, or the first (the primary) when it overlaps none, centred there.
QRect placeOnScreens(const QRect& saved, const QList<QRect>& available);

// The window's geometry in the user defaults: put back (or the first start's, centred on the
// primary screen) before it is shown, and kept when it closes.
void restoreWindowPlacement(QWidget& window, QSettings& defaults);
void saveWindowPlacement(const QWidget& window, QSettings& defaults);

}  // namespace quillon
