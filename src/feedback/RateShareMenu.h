#pragma once

#include <QString>
#include <QUrl>

#include "platform/WebAddress.h"

namespace quillon {

// The maker's three addresses. Each may be empty: a build that was given none offers none.
struct RateShareAddresses {
    QString productURL;       // the program's page in an app store
    QString website;          // the maker's web page about the program
    QString feedbackAddress;  // the one recipient of feedback mail

    // The addresses this build was configured with.
    static RateShareAddresses fromBuild();
};

// The rows of the rate-and-share menu, bound to their actions by position.
enum class RateShareRow { Rate, ShareStorePage, ShareWebPage, VisitWebPage, SendFeedback };
inline constexpr int kRateShareRowCount = 5;

inline constexpr char kRateShareInstructions[] =
    "Click the following link to visit the Larkspire App website";
inline constexpr char kFeedbackBody[] = "Enter your comments about Quillon app below: ";
inline constexpr char kNotAvailableInThisBuild[] = "Not available in this build";

QString rateShareRowTitle(RateShareRow row);
// False while the address the row needs is empty.
bool rateShareRowAvailable(RateShareRow row, const RateShareAddresses& addresses);

}  // namespace quillon
