#include "toolkit/Clock.h"

#include <QCoreApplication>
#include <QTimer>
#include <cmath>

#include "toolkit/MainQueue.h"

namespace quillon {

QDateTime Clock::now() const {
    return QDateTime::currentDateTime();
}

void Clock::runAfter(double seconds, std::function<void()> work, QObject* context) {
    if (!work) return;
    const int ms = std::isfinite(seconds) && seconds > 0
                       ? int(std::min(std::llround(seconds * 1000.0), 2147483647LL))
                       : 0;
    if (ms == 0) {
        mainQueue::async(std::move(work), context);
        return;
    }
    QObject* target = context ? context : QCoreApplication::instance();
    if (!target) return;
    // Precise timers of equal delay fire in the order they were started.
    QTimer::singleShot(ms, Qt::PreciseTimer, target, std::move(work));
}

}  // namespace quillon
