#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

#include "platform/DesktopProgram.h"

class QObject;
class QWidget;

namespace quillon {

class MailService;

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

// The device's share sheet: the user picks a target and the item goes there. A device boundary:
// tests give screens one of their own.
class ShareSheet {
public:
    virtual ~ShareSheet() = default;
    // Shows the targets over `anchor`'s window; returns at once.
    virtual void present(const ShareRequest& request, QWidget* anchor) = 0;
    // Whether a text message can be sent; a desktop always has targets to share a picture to.
    virtual bool canSendText() const { return true; }
};

// What the desktop share targets reach outside the program: the default programs and the dialog
// asking where to save. Tests give the share sheet one of their own.
class DesktopHandoff {
public:
    virtual ~DesktopHandoff() = default;
    // Hands `url` to the desktop's default program for it (DesktopUrlOpener) and returns at
    // once; `done` tells whether one took it, and never runs once `context` (when given) is gone.
    virtual void openUrl(const QUrl& url, QObject* context, ProgramDone done);
    // Asks, without blocking, where to save a copy of the file named `fileName`. The dialog opens
    // in fileDialogFolder() and remembers the folder chosen. `chosen` runs with the full target
    // path, or never when the user cancels.
    virtual void askSavePath(QWidget* parent, const QString& fileName,
                             std::function<void(const QString& path)> chosen);
};

// Tells the user how a target ended: a title and a message over `anchor`'s window.
using ShareOutcome =
    std::function<void(QWidget* anchor, const QString& title, const QString& message)>;

// A non-blocking dialog: a sentence saying what is shared and one button per offered target,
// each labelled with what it does. A target that fails says so through `tell`; a saved copy is
// confirmed with its full path.
// The mail service and the handoff must outlive the sheet.
class DesktopShareSheet : public ShareSheet {
public:
    DesktopShareSheet(MailService& mail, DesktopHandoff& handoff, ShareOutcome tell)
        : mail_(mail), handoff_(handoff), tell_(std::move(tell)) {}
    void present(const ShareRequest& request, QWidget* anchor) override;
    // The targets this desktop can serve for the request, in the order they are offered.
    QList<ShareActivity> offeredActivities(const ShareRequest& request) const;
    static QString titleOf(ShareActivity activity);
    // The sentence naming what the request shares ("The file "Quillon.csv" is ready to share.").
    static QString summaryOf(const ShareRequest& request);
    // Carries out one target; its outcome, when there is one to tell, told over `anchor`.
    void perform(ShareActivity activity, const ShareRequest& request, QWidget* anchor);

private:
    MailService& mail_;
    DesktopHandoff& handoff_;
    ShareOutcome tell_;
};

}  // namespace quillon
