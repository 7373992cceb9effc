#include "platform/MailService.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/DiagnosticLog.h"

namespace quillon {
namespace {

std::unique_ptr<MailService>& sharedSlot() {
    static std::unique_ptr<MailService> service;
    return service;
}

QString mailProgram() {
    return QStandardPaths::findExecutable("xdg-email");
}

// The folder outlives us on purpose: the mail program attaches the files after we return.
std::optional<QStringList> writeAttachments(const QList<MailAttachment>& attachments) {
    if (attachments.isEmpty()) return QStringList();
    QTemporaryDir folder(QDir(QDir::tempPath()).filePath("quillon-mail-XXXXXX"));
    if (!folder.isValid()) return std::nullopt;
    folder.setAutoRemove(false);
    QStringList paths;
    for (const MailAttachment& attachment : attachments) {
        QFile file(folder.filePath(attachment.fileName));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(attachment.data) != attachment.data.size()) {
            diagnosticLog(file.errorString());
            return std::nullopt;
        }
        paths << file.fileName();
    }
    return paths;
}

}  // namespace

MailService& MailService::shared() {
    if (!sharedSlot()) sharedSlot() = std::make_unique<DesktopMailService>();
    return *sharedSlot();
}

std::unique_ptr<MailService> MailService::replaceShared(std::unique_ptr<MailService> service) {
    return std::exchange(sharedSlot(), std::move(service));
}

bool DesktopMailService::canSendMail() const {
    return !mailProgram().isEmpty();
}

bool DesktopMailService::compose(const MailMessage& message) {
    const QString program = mailProgram();
    if (program.isEmpty()) return false;
    const auto paths = writeAttachments(message.attachments);
    if (!paths) return false;
    return QProcess::startDetached(program, commandArguments(message, *paths));
}

QStringList DesktopMailService::commandArguments(const MailMessage& message,
                                                 const QStringList& attachmentPaths) {
    QStringList arguments{"--utf8"};
    if (!message.subject.isEmpty()) arguments << "--subject" << message.subject;
    if (!message.body.isEmpty()) arguments << "--body" << message.body;
    for (const QString& path : attachmentPaths) arguments << "--attach" << path;
    arguments << message.recipients;
    return arguments;
}

}  // namespace quillon
