#pragma once

#include <functional>

class QObject;

namespace quillon {

// Tells a screen reader to read `object` out now: something that appeared without taking the
// focus (a notice), or a dialog that must be read as a whole (an alert).
void announce(QObject* object);

// Also hands every announced object to `listener` (empty: to none) and returns the listener
// before; the screen reader's bus cannot be watched from inside the program.
using AnnouncementListener = std::function<void(QObject*)>;
AnnouncementListener listenToAnnouncements(AnnouncementListener listener);

}  // namespace quillon
