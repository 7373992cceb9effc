#pragma once

#include "support/TestSupport.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QUrl>
#include <memory>

#include "platform/MailService.h"
#include "platform/ShareSheet.h"

namespace quillon::test {

// Sets an environment variable while alive; restores it, or its absence, afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value)
        : name_(name), wasSet_(qEnvironmentVariableIsSet(name)), previous_(qgetenv(name)) {
        qputenv(name, QFile::encodeName(value));
    }
    ~ScopedEnv() {
        if (wasSet_)
            qputenv(name_, previous_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool wasSet_;
    QByteArray previous_;
};

class RecordingMail : public MailService {
public:
    RecordingMail(bool canSend, bool composes) : canSend_(canSend), composes_(composes) {}
    bool canSendMail() const override { return canSend_; }
    bool compose(const MailMessage& message) override {
        composed << message;
        return composes_;
    }
    QList<MailMessage> composed;

private:
    bool canSend_;
    bool composes_;
};

// Opens URLs only when told to; answers the save dialog with `savePath`, or cancels when empty.
class ScriptedHandoff : public DesktopHandoff {
public:
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

}  // namespace quillon::test
