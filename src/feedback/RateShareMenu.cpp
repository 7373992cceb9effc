#include "feedback/RateShareMenu.h"

#include "platform/BuildInfo.h"

namespace quillon {

RateShareAddresses RateShareAddresses::fromBuild() {
    return {QString::fromUtf8(build::kStorePageUrl), QString::fromUtf8(build::kWebPageUrl),
            QString::fromUtf8(build::kFeedbackEmail)};
}

QString rateShareRowTitle(RateShareRow row) {
    switch (row) {
        case RateShareRow::Rate:
            return QStringLiteral("Rate Quillon");
        case RateShareRow::ShareStorePage:
            return QStringLiteral("Share Quillon");
        case RateShareRow::ShareWebPage:
            return QStringLiteral("Share the Web Page");
        case RateShareRow::VisitWebPage:
            return QStringLiteral("Visit the Web Page");
        case RateShareRow::SendFeedback:
            return QStringLiteral("Send Feedback");
    }
    return {};
}

bool rateShareRowAvailable(RateShareRow row, const RateShareAddresses& addresses) {
    switch (row) {
        case RateShareRow::Rate:
        case RateShareRow::ShareStorePage:
            return !addresses.productURL.isEmpty();
        case RateShareRow::ShareWebPage:
        case RateShareRow::VisitWebPage:
            return !addresses.website.isEmpty();
        case RateShareRow::SendFeedback:
            return !addresses.feedbackAddress.isEmpty();
    }
    return false;
}

}  // namespace quillon
