#pragma once

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <vector>

#include "platform/DocumentPicker.h"
#include "platform/MailService.h"
#include "platform/UrlOpener.h"
#include "toolkit/Clock.h"
#include "toolkit/Services.h"
#include "toolkit/ShareSheet.h"

namespace quillon::test {

// The device services, replaced. Each records what it was asked and answers as told.

struct RecordingMail : MailService {
    bool canSendMail() const override { return canSend; }
    bool compose(const MailMessage& message) override {
        composed << message;
        return composes;
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
    bool openUrl(const QUrl& url) override {
        opened << url;
        return opens;
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
    bool openUrl(const QUrl& url) override {
        opened << url;
        return opens;
    }
    bool opens = true;
    QList<QUrl> opened;
};

struct FakeDevices {
    ScriptedPicker picker;
    RecordingMail mail;
    RecordingShareSheet share;
    RecordingUrlOpener urls;
    ManualClock clock;
    Devices devices() { return {picker, mail, share, urls, clock}; }
};

}  // namespace quillon::test
