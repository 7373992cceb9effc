#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <memory>

class QWidget;

namespace quillon {

// The kinds of target a share sheet may offer; callers exclude the ones they do not want.
enum class ShareActivity {
    SaveToFiles,  // save a copy into a folder the user picks
    OpenInApp,    // hand the item to the desktop's default program
    CopyToPasteboard,
    Mail,
    AirDrop,
    AddToReadingList,
    Message,
    PostToFacebook,
    PostToTwitter,
    MarkupAsPDF,
    Print,
    SaveToCameraRoll,
};

struct ShareRequest {
    QStringList files;  // local paths
    QStringList texts;
    QList<QUrl> urls;
    QSet<ShareActivity> excluded;
};

// The device's share sheet: the user picks a target and the item goes there. Tests replace the
// shared instance.
class ShareSheet {
public:
    virtual ~ShareSheet() = default;
    // Shows the targets over `anchor`'s window; returns at once.
    virtual void present(const ShareRequest& request, QWidget* anchor) = 0;

    static ShareSheet& shared();
    static std::unique_ptr<ShareSheet> replaceShared(std::unique_ptr<ShareSheet> sheet);
    // The targets this desktop can serve for the request, in the order they are offered.
    static QList<ShareActivity> offeredActivities(const ShareRequest& request);
};

// A small non-blocking dialog with one button per offered target.
class DesktopShareSheet : public ShareSheet {
public:
    void present(const ShareRequest& request, QWidget* anchor) override;
    static QString titleOf(ShareActivity activity);
    // Carries out one target. SaveToFiles opens a non-blocking folder dialog.
    static void perform(ShareActivity activity, const ShareRequest& request, QWidget* anchor);
};

}  // namespace quillon
