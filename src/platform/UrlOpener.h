#pragma once

#include <QUrl>

namespace quillon {

// Hands a web or mail address to the desktop, which opens it in the program set up for it.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // False when no program took the address (no browser set up, say).
    virtual bool openUrl(const QUrl& url) = 0;
};

// Through QDesktopServices.
class DesktopUrlOpener : public UrlOpener {
public:
    bool openUrl(const QUrl& url) override;
};

}  // namespace quillon
