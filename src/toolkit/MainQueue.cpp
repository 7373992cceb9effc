#include "toolkit/MainQueue.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace quillon::mainQueue {

void async(std::function<void()> work, QObject* context) {
    if (!work) return;
    QObject* target = context ? context : QCoreApplication::instance();
    if (!target) return;
    // Posted events keep their posting order; they are dropped with a destroyed context.
    QMetaObject::invokeMethod(target, std::move(work), Qt::QueuedConnection);
}

}  // namespace quillon::mainQueue
