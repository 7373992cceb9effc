#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QUrl>

#include "platform/MailService.h"
#include "toolkit/ShareSheet.h"
#include "support/TestSupport.h"

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

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

struct RecordingMail : MailService {
    bool canSendMail() const override { return true; }
    bool compose(const MailMessage& message) override {
        composed << message;
        return composes;
    }
    bool composes = true;
    QList<MailMessage> composed;
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

}  // namespace quillon::test
