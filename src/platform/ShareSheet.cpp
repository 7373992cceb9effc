#include "platform/ShareSheet.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/DataFolders.h"
#include "platform/DiagnosticLog.h"
#include "platform/FileDialogs.h"
#include "platform/MailService.h"
#include "platform/UrlOpener.h"
#include "store/OutputTarget.h"

namespace quillon {
namespace {

constexpr int kMinimumWidth = 320;

bool offers(ShareActivity activity, const ShareRequest& request, const MailService& mailService) {
    if (request.excluded.contains(activity)) return false;
    switch (activity) {
        case ShareActivity::SaveToFiles:
            return !request.files.isEmpty();
        case ShareActivity::OpenInApp:
            return !request.files.isEmpty() || !request.urls.isEmpty();
        case ShareActivity::CopyToPasteboard:
            return true;
        case ShareActivity::Mail:
            return mailService.canSendMail();
        default:
            return false;  // no such target on a desktop
    }
}

QString quotedName(const QString& path) {
    return QStringLiteral("\"%1\"").arg(QFileInfo(path).fileName());
}

// A copy that fails half way leaves the file the user chose to replace intact; the store's own
// files are never replaced.
Status copyFile(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return Status::failure(Status::Io, source + ": " + in.errorString());
    OutputFile out(target, DataFolders::dataDir());
    if (Status created = out.create(); !created) return created;
    for (QByteArray chunk = in.read(1 << 20); !chunk.isEmpty(); chunk = in.read(1 << 20)) {
        if (out.write(chunk) != chunk.size()) return out.status();
    }
    if (in.error() != QFileDevice::NoError)
        return Status::failure(Status::Io, source + ": " + in.errorString());
    return out.commit();
}

void fail(const ShareOutcome& tell, QWidget* anchor, const QString& title, const QString& message) {
    diagnosticLog(title + ": " + message);
    tell(anchor, title, message);
}

void saveToFiles(const ShareRequest& request, QWidget* anchor, DesktopHandoff& handoff,
                 const ShareOutcome& tell) {
    const QPointer<QWidget> over(anchor);
    for (const QString& source : request.files) {
        handoff.askSavePath(
            anchor, QFileInfo(source).fileName(), [source, over, tell](const QString& target) {
                const QString shown = QDir::toNativeSeparators(target);
                if (const Status copied = copyFile(source, target); copied) {
                    tell(over, "File Saved", "The file was saved as " + shown);
                } else {
                    fail(tell, over, "Could Not Save the File",
                         quotedName(source) + " could not be saved: " + copied.error);
                }
            });
    }
}

void openInApp(const ShareRequest& request, QWidget* anchor, DesktopHandoff& handoff,
               const ShareOutcome& tell) {
    QList<QUrl> urls;
    for (const QString& path : request.files) urls << QUrl::fromLocalFile(path);
    urls << request.urls;
    const QPointer<QWidget> over(anchor);
    for (const QUrl& url : urls) {
        const QString what =
            url.isLocalFile() ? quotedName(url.toLocalFile()) : url.toDisplayString();
        handoff.openUrl(url, anchor, [over, what, tell](const ProgramResult& result) {
            if (result) return;
            diagnosticLog(result.reason);
            fail(tell, over, "Could Not Open",
                 QStringLiteral("No program was found to open %1.").arg(what));
        });
    }
}

void copyToPasteboard(const ShareRequest& request) {
    auto* mime = new QMimeData;
    QList<QUrl> urls = request.urls;
    for (const QString& path : request.files) urls << QUrl::fromLocalFile(path);
    if (!urls.isEmpty()) mime->setUrls(urls);
    QStringList texts = request.texts;
    for (const QUrl& url : urls) texts << url.toString();
    mime->setText(texts.join('\n'));
    QApplication::clipboard()->setMimeData(mime);
}

void mail(const ShareRequest& request, QWidget* anchor, MailService& mailService,
          const ShareOutcome& tell) {
    const QString title = "Could Not Send by E-mail";
    MailMessage message;
    message.body = request.texts.join('\n');
    for (const QUrl& url : request.urls) message.body += '\n' + url.toString();
    for (const QString& path : request.files) {
        QFile file(path);
        QByteArray bytes;
        if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
        if (!file.isOpen() || file.error() != QFileDevice::NoError) {
            fail(tell, anchor, title,
                 QStringLiteral("%1 could not be read: %2")
                     .arg(quotedName(path), file.errorString()));
            return;
        }
        message.attachments.append({bytes, {}, QFileInfo(path).fileName()});
    }
    mailService.compose(
        message, anchor,
        [over = QPointer<QWidget>(anchor), title, tell](const ProgramResult& result) {
            if (result) return;
            diagnosticLog(result.reason);
            fail(tell, over, title, "The e-mail program could not be started.");
        });
}

QString elided(const QString& text) {
    constexpr int kLength = 60;
    const QString line = text.section('\n', 0, 0);
    return line.size() > kLength || line.size() < text.size()
               ? line.left(kLength).trimmed() + QChar(0x2026)
               : line;
}

}  // namespace

QList<ShareActivity> DesktopShareSheet::offeredActivities(const ShareRequest& request) const {
    QList<ShareActivity> offered;
    for (ShareActivity activity : {ShareActivity::SaveToFiles, ShareActivity::OpenInApp,
                                   ShareActivity::CopyToPasteboard, ShareActivity::Mail}) {
        if (offers(activity, request, mail_)) offered << activity;
    }
    return offered;
}

void DesktopHandoff::openUrl(const QUrl& url, QObject* context, ProgramDone done) {
    DesktopUrlOpener().openUrl(url, context, std::move(done));
}

void DesktopHandoff::askSavePath(QWidget* parent, const QString& fileName,
                                 std::function<void(const QString&)> chosen) {
    auto* dialog = new QFileDialog(parent ? parent->window() : nullptr,
                                   QStringLiteral("Save a Copy of \"%1\"").arg(fileName),
                                   QDir(fileDialogFolder()).filePath(fileName));
    dialog->setObjectName("SaveToFolderDialog");
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QFileDialog::fileSelected, dialog,
                     [chosen = std::move(chosen)](const QString& path) {
                         rememberFileDialogFolder(path);
                         chosen(path);
                     });
    dialog->open();
}

QString DesktopShareSheet::titleOf(ShareActivity activity) {
    switch (activity) {
        case ShareActivity::SaveToFiles:
            return QStringLiteral("Save to a Folder") + QChar(0x2026);
        case ShareActivity::OpenInApp:
            return "Open with Default Program";
        case ShareActivity::CopyToPasteboard:
            return "Copy";
        case ShareActivity::Mail:
            return "Send by E-mail";
        default:
            return {};
    }
}

QString DesktopShareSheet::summaryOf(const ShareRequest& request) {
    QStringList items;
    QStringList names;
    for (const QString& path : request.files) names << quotedName(path);
    if (names.size() == 1) items << "the file " + names[0];
    if (names.size() > 1) items << "the files " + names.join(", ");
    for (const QString& text : request.texts) items << "the text \"" + elided(text) + '"';
    for (const QUrl& url : request.urls) items << "the address " + url.toDisplayString();
    if (items.isEmpty()) return "Nothing is ready to share.";
    QString list = items.takeLast();
    if (!items.isEmpty()) list = items.join(", ") + " and " + list;
    list[0] = list[0].toUpper();
    const bool several = names.size() > 1 || !items.isEmpty();
    return list + (several ? " are ready to share." : " is ready to share.");
}

void DesktopShareSheet::perform(ShareActivity activity, const ShareRequest& request,
                                QWidget* anchor) {
    switch (activity) {
        case ShareActivity::SaveToFiles:
            saveToFiles(request, anchor, handoff_, tell_);
            break;
        case ShareActivity::OpenInApp:
            openInApp(request, anchor, handoff_, tell_);
            break;
        case ShareActivity::CopyToPasteboard:
            copyToPasteboard(request);
            break;
        case ShareActivity::Mail:
            mail(request, anchor, mail_, tell_);
            break;
        default:
            break;
    }
}

void DesktopShareSheet::present(const ShareRequest& request, QWidget* anchor) {
    auto* dialog = new QDialog(anchor ? anchor->window() : nullptr);
    dialog->setObjectName("ShareSheet");
    dialog->setWindowTitle("Share");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setMinimumWidth(kMinimumWidth);
    auto* layout = new QVBoxLayout(dialog);
    auto* summary = new QLabel(summaryOf(request), dialog);
    summary->setObjectName("ShareSheetSummary");
    summary->setTextFormat(Qt::PlainText);
    summary->setWordWrap(true);
    layout->addWidget(summary);
    const QPointer<QWidget> over(anchor);
    for (ShareActivity activity : offeredActivities(request)) {
        auto* button = new QPushButton(titleOf(activity), dialog);
        layout->addWidget(button);
        // A copy of the sheet: the dialog may outlive it.
        QObject::connect(button, &QPushButton::clicked, dialog, [=, sheet = *this]() mutable {
            dialog->close();
            sheet.perform(activity, request, over);
        });
    }
    auto* cancel = new QPushButton("Cancel", dialog);
    layout->addWidget(cancel);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::close);
    dialog->open();
}

}  // namespace quillon
