#include "platform/ShareSheet.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/DiagnosticLog.h"
#include "platform/MailService.h"

namespace quillon {
namespace {

std::unique_ptr<ShareSheet>& sharedSlot() {
    static std::unique_ptr<ShareSheet> sheet;
    return sheet;
}

bool offers(ShareActivity activity, const ShareRequest& request) {
    if (request.excluded.contains(activity)) return false;
    switch (activity) {
        case ShareActivity::SaveToFiles:
            return !request.files.isEmpty();
        case ShareActivity::OpenInApp:
            return !request.files.isEmpty() || !request.urls.isEmpty();
        case ShareActivity::CopyToPasteboard:
            return true;
        case ShareActivity::Mail:
            return MailService::shared().canSendMail();
        default:
            return false;  // no such target on a desktop
    }
}

void saveCopy(const QString& source, const QString& target) {
    if (QFile::exists(target)) QFile::remove(target);
    QFile file(source);
    if (!file.copy(target)) diagnosticLog(file.errorString());
}

void saveToFiles(const ShareRequest& request, QWidget* anchor) {
    for (const QString& path : request.files) {
        auto* dialog = new QFileDialog(anchor ? anchor->window() : nullptr, {},
                                       QDir::home().filePath(QFileInfo(path).fileName()));
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(dialog, &QFileDialog::fileSelected,
                         [path](const QString& target) { saveCopy(path, target); });
        dialog->open();
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

void mail(const ShareRequest& request) {
    MailMessage message;
    message.body = request.texts.join('\n');
    for (const QUrl& url : request.urls) message.body += '\n' + url.toString();
    for (const QString& path : request.files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            diagnosticLog(file.errorString());
            return;
        }
        message.attachments.append({file.readAll(), {}, QFileInfo(path).fileName()});
    }
    MailService::shared().compose(message);
}

}  // namespace

ShareSheet& ShareSheet::shared() {
    if (!sharedSlot()) sharedSlot() = std::make_unique<DesktopShareSheet>();
    return *sharedSlot();
}

std::unique_ptr<ShareSheet> ShareSheet::replaceShared(std::unique_ptr<ShareSheet> sheet) {
    return std::exchange(sharedSlot(), std::move(sheet));
}

QList<ShareActivity> ShareSheet::offeredActivities(const ShareRequest& request) {
    QList<ShareActivity> offered;
    for (ShareActivity activity : {ShareActivity::SaveToFiles, ShareActivity::OpenInApp,
                                   ShareActivity::CopyToPasteboard, ShareActivity::Mail}) {
        if (offers(activity, request)) offered << activity;
    }
    return offered;
}

QString DesktopShareSheet::titleOf(ShareActivity activity) {
    switch (activity) {
        case ShareActivity::SaveToFiles:
            return "Save to Files";
        case ShareActivity::OpenInApp:
            return "Open";
        case ShareActivity::CopyToPasteboard:
            return "Copy";
        case ShareActivity::Mail:
            return "Mail";
        default:
            return {};
    }
}

void DesktopShareSheet::perform(ShareActivity activity, const ShareRequest& request,
                                QWidget* anchor) {
    switch (activity) {
        case ShareActivity::SaveToFiles:
            saveToFiles(request, anchor);
            break;
        case ShareActivity::OpenInApp:
            for (const QString& path : request.files)
                QDesktopServices::openUrl(QUrl::fromLocalFile(path));
            for (const QUrl& url : request.urls) QDesktopServices::openUrl(url);
            break;
        case ShareActivity::CopyToPasteboard:
            copyToPasteboard(request);
            break;
        case ShareActivity::Mail:
            mail(request);
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
    auto* layout = new QVBoxLayout(dialog);
    for (ShareActivity activity : offeredActivities(request)) {
        auto* button = new QPushButton(titleOf(activity), dialog);
        layout->addWidget(button);
        QObject::connect(button, &QPushButton::clicked, dialog, [=] {
            dialog->close();
            perform(activity, request, anchor);
        });
    }
    auto* cancel = new QPushButton("Cancel", dialog);
    layout->addWidget(cancel);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::close);
    dialog->open();
}

}  // namespace quillon
