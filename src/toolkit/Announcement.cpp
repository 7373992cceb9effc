#include "toolkit/Announcement.h"

#include <QAccessible>
#include <utility>

namespace quillon {

namespace {
AnnouncementListener& listener() {
    static AnnouncementListener current;
    return current;
}
}  // namespace

void announce(QObject* object) {
    if (!object) return;
    QAccessibleEvent event(object, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
    if (listener()) listener()(object);
}

AnnouncementListener listenToAnnouncements(AnnouncementListener next) {
    return std::exchange(listener(), std::move(next));
}

}  // namespace quillon
