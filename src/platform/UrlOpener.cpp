#include "platform/UrlOpener.h"

#include <QDesktopServices>

namespace quillon {

bool DesktopUrlOpener::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

}  // namespace quillon
