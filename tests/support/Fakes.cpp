#include "support/Fakes.h"

#include <QTextDocument>
#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace quillon::test {

void ManualClock::runAfter(double seconds, std::function<void()> work, QObject* context) {
    const qint64 delay = std::isfinite(seconds) && seconds > 0 ? std::llround(seconds * 1000) : 0;
    pending_.push_back(
        {elapsedMs_ + delay, scheduled_++, std::move(work), context, context != nullptr});
}

void ManualClock::advance(double seconds) {
    const qint64 target = elapsedMs_ + std::llround(seconds * 1000);
    for (;;) {
        auto next = std::min_element(pending_.begin(), pending_.end(), [](auto& a, auto& b) {
            return std::tie(a.dueMs, a.order) < std::tie(b.dueMs, b.order);
        });
        if (next == pending_.end() || next->dueMs > target) break;
        Pending due = std::move(*next);
        pending_.erase(next);
        elapsedMs_ = std::max(elapsedMs_, due.dueMs);
        if (!due.hasContext || due.context) due.work();
    }
    elapsedMs_ = target;
}

void RecordingPrinter::print(QWidget* parent, const QTextDocument& document,
                             std::function<void(bool, QString)> done) {
    parents << parent;
    documents.emplace_back(document.clone());
    waiting = std::move(done);
    if (answers) finish(sent, error);
}

void RecordingPrinter::finish(bool sentJob, const QString& failure) {
    if (auto done = std::exchange(waiting, nullptr)) done(sentJob, failure);
}

}  // namespace quillon::test
