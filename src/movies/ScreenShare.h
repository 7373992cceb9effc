#pragma once

#include <QImage>
#include <QSet>

#include "platform/ShareSheet.h"

class QWidget;

namespace quillon {

struct Services;

// The screens that share a picture of themselves differ only in this.
struct ScreenShareMember {
    double jpegQuality;
    // The stored covers of the selected movie are shared instead of the picture of the screen.
    bool sharesStoredCovers;
    QSet<ShareActivity> excluded;
};

extern const ScreenShareMember kEditFormShare;
extern const ScreenShareMember kFullScreenViewerShare;
extern const ScreenShareMember kLargeViewerShare;

// Shares `screen`: unless text messages cannot be sent (then an alert says so, later on the main
// thread, and nothing else happens), grabs a picture of it, adds that to the photo library (a
// failure is told in an alert), keeps it, passed through JPEG at the member's quality, in
// `screenShotImage`, and presents the share sheet anchored at `screen` with the member's items.
void shareScreen(QWidget* screen, const ScreenShareMember& member, Services& services,
                 QImage* screenShotImage);

}  // namespace quillon
