#include "platform/WebAddress.h"

#include <QUrlQuery>

namespace quillon {
namespace {
bool isAbsoluteWithHost(const QUrl& url) {
    return url.isValid() && !url.isRelative() && !url.host().isEmpty();
}
}  // namespace

QUrl parseAddress(const QString& text) {
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    return isAbsoluteWithHost(url) ? url : QUrl();
}

QUrl writeReviewUrl(const QUrl& storePage) {
    if (!isAbsoluteWithHost(storePage)) return {};
    QUrl url = storePage;
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("action"), QStringLiteral("write-review"));
    url.setQuery(query);
    return url.isValid() ? url : QUrl();
}

}  // namespace quillon
