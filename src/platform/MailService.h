#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>

#include "platform/DesktopProgram.h"

class QObject;

namespace quillon {

struct MailAttachment {
    QByteArray data;
    QString mimeType;
    QString fileName;
};

struct MailMessage {
    QStringList recipients;
    QString subject;
    QString body;
    bool bodyIsHtml = false;
    QList<MailAttachment> attachments;
};

// The device's mail composer. The user sends or discards the message in it; what they do is not
// reported back. A device boundary: tests give screens one of their own.
class MailService {
public:
    virtual ~MailService() = default;
    virtual bool canSendMail() const = 0;
    // Opens the composer filled with the message and returns at once; `done` tells whether one
    // took it (not when no mail program is set up). It never runs once `context` (when given) is
    // gone.
    virtual void compose(const MailMessage& message, QObject* context, ProgramDone done) = 0;
};

// The desktop's mail handler through xdg-email, when it is on PATH. Attachments are written,
// mode 0600, to a fresh 0700 folder "mail-*" in DataFolders::tempDir(), which the mail program
// reads after we return; such folders are removed a day later, by a later message. The exit status
// of xdg-email is waited for beside the window (runDesktopProgram).
class DesktopMailService : public MailService {
public:
    explicit DesktopMailService(std::chrono::milliseconds patience = kProgramPatience)
        : patience_(patience) {}
    bool canSendMail() const override;
    void compose(const MailMessage& message, QObject* context, ProgramDone done) override;
    static QStringList commandArguments(const MailMessage& message,
                                        const QStringList& attachmentPaths);

private:
    std::chrono::milliseconds patience_;
};

}  // namespace quillon
