#include "platform/MailService.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <optional>

#include "platform/DataFolders.h"
#include "platform/DiagnosticLog.h"

namespace quillon {
namespace {

QString mailProgram() {
    return QStandardPaths::findExecutable("xdg-email");
}

// Folders of messages handed over more than a day ago: their mail program has long read them.
void removeStaleMailFolders(const QString& base) {
    const QDateTime dayAgo = QDateTime::currentDateTimeUtc().addDays(-1);
    for (const QFileInfo& entry :
         QDir(base).entryInfoList({"mail-*"}, QDir::Dirs | QDir::NoSymLinks)) {
        if (entry.lastModified().toUTC() < dayAgo) QDir(entry.filePath()).removeRecursively();
    }
}

// The folder outlives us on purpose: the mail program attaches the files after we return.
std::optional<QStringList> writeAttachments(const QList<MailAttachment>& attachments) {
    if (attachments.isEmpty()) return QStringList();
    const QString base = DataFolders::tempDir();
    if (base.isEmpty()) {
        diagnosticLog("No private folder for mail attachments");
        return std::nullopt;
    }
    removeStaleMailFolders(base);
    QTemporaryDir folder(QDir(base).filePath("mail-XXXXXX"));  // made 0700
    if (!folder.isValid()) {
        diagnosticLog(folder.errorString());
        return std::nullopt;
    }
    folder.setAutoRemove(false);
    QStringList paths;
    for (const MailAttachment& attachment : attachments) {
        QString name = QFileInfo(attachment.fileName).fileName();
        if (name.isEmpty() || name == "." || name == "..") name = "attachment";
        QString error;
        const QString path =
            DataFolders::writePrivateFile(folder.path(), name, attachment.data, &error);
        if (path.isEmpty()) {
            diagnosticLog(error);
            return std::nullopt;
        }
        paths << path;
    }
    return paths;
}

}  // namespace

bool DesktopMailService::canSendMail() const {
    return !mailProgram().isEmpty();
}

void DesktopMailService::compose(const MailMessage& message, QObject* context, ProgramDone done) {
    const QString program = mailProgram();
    if (program.isEmpty()) {
        done(ProgramResult::failure(QStringLiteral("xdg-email is not installed")));
        return;
    }
    const auto paths = writeAttachments(message.attachments);
    if (!paths) {
        done(ProgramResult::failure(QStringLiteral("The attachments could not be written")));
        return;
    }
    runDesktopProgram(program, commandArguments(message, *paths), context, std::move(done),
                      patience_);
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
