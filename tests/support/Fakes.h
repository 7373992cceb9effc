#pragma once

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "handover/Services.h"
#include "platform/Camera.h"
#include "platform/Clock.h"
#include "platform/DocumentPicker.h"
#include "platform/MailService.h"
#include "platform/PhotoLibrary.h"
#include "platform/Printer.h"
#include "platform/ReviewService.h"
#include "platform/ShareSheet.h"
#include "platform/UrlOpener.h"

namespace quillon::test {

// The device services, replaced. Each records what it was asked and answers as told.

// What the fakes answer at once: success, or the failure they were told to give.
inline ProgramResult fakeOutcome(bool works) {
    return works ? ProgramResult::success() : ProgramResult::failure("told to fail");
}

struct RecordingMail : MailService {
    bool canSendMail() const override { return canSend; }
    void compose(const MailMessage& message, QObject*, ProgramDone done) override {
        composed << message;
        done(fakeOutcome(composes));
    }
    bool canSend = true;
    bool composes = true;
    QList<MailMessage> composed;
};

struct RecordingShareSheet : ShareSheet {
    void present(const ShareRequest& request, QWidget* anchor) override {
        requests << request;
        anchors << anchor;
    }
    bool canSendText() const override { return canText; }
    bool canText = true;
    QList<ShareRequest> requests;
    QList<QWidget*> anchors;
};

// Answers the next pick with `next`, or cancels when it is empty.
struct ScriptedPicker : DocumentPicker {
    void pick(QWidget*, std::function<void(const QString&)> picked,
              std::function<void()> cancelled) override {
        ++picks;
        if (next.isEmpty())
            cancelled();
        else
            picked(next);
    }
    QString next;
    int picks = 0;
};

// Opens URLs only when told to; answers the save dialog with `savePath`, or cancels when empty.
struct ScriptedHandoff : DesktopHandoff {
    void openUrl(const QUrl& url, QObject*, ProgramDone done) override {
        opened << url;
        done(fakeOutcome(opens));
    }
    void askSavePath(QWidget*, const QString& fileName,
                     std::function<void(const QString&)> chosen) override {
        asked << fileName;
        if (!savePath.isEmpty()) chosen(savePath);
    }
    bool opens = true;
    QString savePath;
    QList<QUrl> opened;
    QStringList asked;
};

// Time stands still until a test moves it on; delayed work then runs in due order.
class ManualClock : public Clock {
public:
    QDateTime now() const override { return start_.addMSecs(elapsedMs_); }
    // Sets the time of day, keeping the work that waits (due after the same delays).
    void setNow(const QDateTime& now) { start_ = now.addMSecs(-elapsedMs_); }
    void runAfter(double seconds, std::function<void()> work, QObject* context) override;
    // Moves time on, running the work that falls due on the way (also work scheduled meanwhile).
    void advance(double seconds);

private:
    struct Pending {
        qint64 dueMs;
        quint64 order;
        std::function<void()> work;
        QPointer<QObject> context;
        bool hasContext;
    };
    QDateTime start_ = QDateTime(QDate(2026, 3, 2), QTime(9, 0));
    qint64 elapsedMs_ = 0;
    quint64 scheduled_ = 0;
    std::vector<Pending> pending_;
};

// Opens addresses only when told to, recording each.
struct RecordingUrlOpener : UrlOpener {
    void openUrl(const QUrl& url, QObject*, ProgramDone done) override {
        opened << url;
        done(fakeOutcome(opens));
    }
    bool opens = true;
    QList<QUrl> opened;
};

// Takes `next` on the next capture, or is cancelled when `next` is null; while `answers` is
// false, only when a test calls finish().
struct FakeCamera : Camera {
    bool isAvailable() const override { return available; }
    void capture(QWidget*, std::function<void(const QImage&)> taken,
                 std::function<void()> cancelled) override {
        ++captures;
        waitingTaken = std::move(taken);
        waitingCancelled = std::move(cancelled);
        if (answers) finish();
    }
    void finish() {
        auto taken = std::exchange(waitingTaken, nullptr);
        auto cancelled = std::exchange(waitingCancelled, nullptr);
        if (next.isNull())
            cancelled();
        else
            taken(next);
    }
    bool available = true;
    bool answers = true;
    QImage next;
    int captures = 0;
    std::function<void(const QImage&)> waitingTaken;
    std::function<void()> waitingCancelled;
};

struct RecordingPhotoLibrary : PhotoLibrary {
    QString addPicture(const QImage& picture, QString* error) override {
        if (!error_.isEmpty()) {
            if (error) *error = error_;
            return {};
        }
        added << picture;
        return QString("/photos/%1.png").arg(added.size());
    }
    QString error_;  // when set, every picture is refused with it
    QList<QImage> added;
};

struct RecordingStoreReview : StoreReview {
    void requestReview(QWidget* window) override { windows << window; }
    QList<QWidget*> windows;
};

// Keeps each document it is asked to print (a copy) and its window; answers at once with
// `sent` and `error`, or, while `answers` is false, only when a test calls finish().
struct RecordingPrinter : Printer {
    void print(QWidget* parent, const QTextDocument& document,
               std::function<void(bool, QString)> done) override;
    void finish(bool sentJob, const QString& failure = {});
    bool answers = true;
    bool sent = true;
    QString error;
    QList<QWidget*> parents;
    std::vector<std::shared_ptr<QTextDocument>> documents;
    std::function<void(bool, QString)> waiting;
};

struct FakeDevices {
    ScriptedPicker picker;
    RecordingMail mail;
    RecordingShareSheet share;
    RecordingUrlOpener urls;
    ManualClock clock;
    FakeCamera camera;
    RecordingPhotoLibrary photos;
    RecordingStoreReview storeReview;
    RecordingPrinter printer;
    Devices devices() {
        return {picker, mail, share, urls, clock, camera, photos, storeReview, printer};
    }
};

}  // namespace quillon::test
