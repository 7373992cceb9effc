#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
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

// What the desktop share targets reach outside the program: the default programs and the dialog
// asking where to save. Tests replace the shared instance.
class DesktopHandoff {
public:
    virtual ~DesktopHandoff() = default;
    // Hands `url` to the desktop's default program for it; false when none took it.
    virtual bool openUrl(const QUrl& url);
    // Asks, without blocking, where to save a copy of the file named `fileName`. The dialog opens
    // in fileDialogFolder() and remembers the folder chosen. `chosen` runs with the full target
    // path, or never when the user cancels.
    virtual void askSavePath(QWidget* parent, const QString& fileName,
                             std::function<void(const QString& path)> chosen);

    static DesktopHandoff& shared();
    static std::unique_ptr<DesktopHandoff> replaceShared(std::unique_ptr<DesktopHandoff> handoff);
};

// A non-blocking dialog: a sentence saying what is shared and one button per offered target,
// each labelled with what it does. A target that fails says so in an alert; a saved copy is
// confirmed with its full path.
class DesktopShareSheet : public ShareSheet {
public:
    void present(const ShareRequest& request, QWidget* anchor) override;
    static QString titleOf(ShareActivity activity);
    // The sentence naming what the request shares ("The file "Quillon.csv" is ready to share.").
    static QString summaryOf(const ShareRequest& request);
    // Carries out one target; its outcome, when there is one to tell, in an alert over `anchor`.
    static void perform(ShareActivity activity, const ShareRequest& request, QWidget* anchor);
};

}  // namespace quillon
