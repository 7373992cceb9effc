#pragma once

#include <QDateTime>
#include <functional>

class QObject;

namespace quillon {

// The time of day and work that waits for it. A device boundary: tests step a clock of their own
// instead of waiting. Main thread only.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const;
    // Runs `work` on the main thread after `seconds`, in scheduling order. With a context object,
    // the work is dropped when the context is destroyed first.
    virtual void runAfter(double seconds, std::function<void()> work, QObject* context);
};

}  // namespace quillon
