#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

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
    // Opens the composer filled with the message; false when none could be opened.
    virtual bool compose(const MailMessage& message) = 0;
};

// The desktop's mail handler through xdg-email, when it is on PATH. Attachments are written,
// mode 0600, to a fresh 0700 folder "mail-*" in DataFolders::tempDir(), which the mail program
// reads after we return; such folders are removed a day later, by a later message.
class DesktopMailService : public MailService {
public:
    bool canSendMail() const override;
    bool compose(const MailMessage& message) override;
    static QStringList commandArguments(const MailMessage& message,
                                        const QStringList& attachmentPaths);
};

}  // namespace quillon
