#pragma once

#include <QUrl>
#include <chrono>

#include "platform/DesktopProgram.h"

class QObject;

namespace quillon {

// Hands a web or mail address, or a local file, to the desktop, which opens it in the program
// set up for it.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // Returns at once; `done` tells whether a program took the address (not when no browser is
    // set up, say). It never runs once `context` (when given) is gone.
    virtual void openUrl(const QUrl& url, QObject* context, ProgramDone done) = 0;
};

// Through xdg-open, waiting for its exit status beside the window (runDesktopProgram).
class DesktopUrlOpener : public UrlOpener {
public:
    explicit DesktopUrlOpener(std::chrono::milliseconds patience = kProgramPatience)
        : patience_(patience) {}
    void openUrl(const QUrl& url, QObject* context, ProgramDone done) override;

private:
    std::chrono::milliseconds patience_;
};

}  // namespace quillon
