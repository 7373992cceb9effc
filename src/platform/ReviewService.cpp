#include "platform/ReviewService.h"

#include <QVariant>

#include "platform/Clock.h"
#include "platform/UserDefaults.h"

namespace quillon {

std::optional<QDateTime> ReviewService::lastRequest() const {
    const QVariant value = standardUserDefaults()->value(kLastRequestKey);
    if (value.typeId() != QMetaType::QDateTime) return std::nullopt;
    return value.toDateTime();
}

void ReviewService::setLastRequest(const std::optional<QDateTime>& when) {
    auto defaults = standardUserDefaults();
    if (when)
        defaults->setValue(kLastRequestKey, *when);
    else
        defaults->remove(kLastRequestKey);
}

bool ReviewService::canRequestReview() const {
    const std::optional<QDateTime> last = lastRequest();
    if (!last) return true;
    // Whole calendar days in local time: a change to or from summer time in between does not
    // move the limit by an hour.
    const QDateTime limit = clock_.now().toLocalTime().addDays(-7);
    return *last < limit;
}

void ReviewService::requestReview(QWidget* window) {
    if (!canRequestReview()) return;
    store_.requestReview(window);
    setLastRequest(clock_.now());
}

}  // namespace quillon
