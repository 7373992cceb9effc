#pragma once

#include <QString>
#include <QUrl>

namespace quillon {

// An absolute address with a host, or an invalid QUrl when the text is none.
QUrl parseAddress(const QString& text);
// The store page with its query replaced by the single item action=write-review (the store then
// opens its review page); invalid when the store page is not an absolute address with a host.
QUrl writeReviewUrl(const QUrl& storePage);

}  // namespace quillon
