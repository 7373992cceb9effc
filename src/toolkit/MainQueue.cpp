#include "toolkit/MainQueue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <cmath>

namespace quillon::mainQueue {

void async(std::function<void()> work, QObject* context) {
    if (!work) return;
    QObject* target = context ? context : QCoreApplication::instance();
    if (!target) return;
    // Posted events keep their posting order; they are dropped with a destroyed context.
    QMetaObject::invokeMethod(target, std::move(work), Qt::QueuedConnection);
}

void asyncAfter(double seconds, std::function<void()> work, QObject* context) {
    if (!work) return;
    const int ms = std::isfinite(seconds) && seconds > 0
                       ? int(std::min(std::llround(seconds * 1000.0), 2147483647LL))
                       : 0;
    if (ms == 0) {
        async(std::move(work), context);
        return;
    }
    QObject* target = context ? context : QCoreApplication::instance();
    if (!target) return;
    // Precise timers of equal delay fire in the order they were started.
    QTimer::singleShot(ms, Qt::PreciseTimer, target, std::move(work));
}

}  // namespace quillon::mainQueue
