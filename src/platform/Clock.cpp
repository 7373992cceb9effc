#include "platform/Clock.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>
#include <cmath>

namespace quillon {

QDateTime Clock::now() const {
    return QDateTime::currentDateTime();
}

void Clock::runAfter(double seconds, std::function<void()> work, QObject* context) {
    if (!work) return;
    const int ms = std::isfinite(seconds) && seconds > 0
                       ? int(std::min(std::llround(seconds * 1000.0), 2147483647LL))
                       : 0;
    QObject* target = context ? context : QCoreApplication::instance();
    if (!target) return;
    if (ms == 0) {
        // Posted events keep their posting order, like the main queue's.
        QMetaObject::invokeMethod(target, std::move(work), Qt::QueuedConnection);
        return;
    }
    // Precise timers of equal delay fire in the order they were started.
    QTimer::singleShot(ms, Qt::PreciseTimer, target, std::move(work));
}

}  // namespace quillon
