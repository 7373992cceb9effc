#include "movies/ScreenShare.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QPointer>
#include <QWidget>
#include <cmath>

#include "handover/SelectionState.h"
#include "handover/Services.h"
#include "platform/DataFolders.h"
#include "platform/DiagnosticLog.h"
#include "platform/PhotoLibrary.h"
#include "store/CatalogueStore.h"
#include "store/OutputTarget.h"
#include "toolkit/AlertController.h"
#include "toolkit/MainQueue.h"

namespace quillon {

const ScreenShareMember kEditFormShare{
    0.75, false, {ShareActivity::AirDrop, ShareActivity::AddToReadingList}};
const ScreenShareMember kFullScreenViewerShare{1.0, true, {}};
const ScreenShareMember kLargeViewerShare{1.0, false, {}};

namespace {

QImage jpegRoundTrip(const QImage& picture, double quality) {
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "JPG", int(std::lround(quality * 100)))) return {};
    return QImage::fromData(jpeg, "JPG");
}

QString suffixOf(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader::imageFormat(&buffer);
    if (format.isEmpty()) return QStringLiteral("bin");
    return format == "jpeg" ? QStringLiteral("jpg") : QString::fromLatin1(format);
}

// Writes one item for the share sheet into the private temporary folder; empty on failure, the
// reason told to the user.
QString writeItem(QWidget* screen, const QString& fileName, const QByteArray& bytes,
                  const QString& dataDir) {
    const QString folder = DataFolders::tempDir();
    QString error;
    QString path;
    if (const Status target = checkOutputTarget(QDir(folder).filePath(fileName), dataDir); !target)
        error = target.error;
    else
        path = DataFolders::writePrivateFile(folder, fileName, bytes, &error);
    if (path.isEmpty()) {
        diagnosticLog(QStringLiteral("Screen share: ") + error);
        AlertController::tell(screen, QStringLiteral("Can't Share"), error);
    }
    return path;
}

}  // namespace

void shareScreen(QWidget* screen, const ScreenShareMember& member, Services& services,
                 QImage* screenShotImage) {
    if (!screen) return;
    if (!services.share.canSendText()) {
        // Told after the current event, as the button's handler has returned by then.
        QPointer<QWidget> guard(screen);
        mainQueue::async(
            [guard] {
                if (guard)
                    AlertController::tell(
                        guard, QStringLiteral("Can't Send Text Message"),
                        QStringLiteral("Your device is not able to send text messages."));
            },
            screen);
        return;
    }

    const QImage picture = screen->grab().toImage();
    QString photoError;
    if (services.photos.addPicture(picture, &photoError).isEmpty()) {
        diagnosticLog(QStringLiteral("Screen picture not added to the photos: ") + photoError);
        AlertController::tell(
            screen, QStringLiteral("Picture Not Saved"),
            QStringLiteral("The picture of the screen could not be added to your pictures: ") +
                photoError);
    }
    const QImage kept = jpegRoundTrip(picture, member.jpegQuality);
    if (screenShotImage) *screenShotImage = kept;

    ShareRequest request;
    request.excluded = member.excluded;
    if (member.sharesStoredCovers) {
        // A cover the movie lacks is left out: the sheet gets only the covers there are.
        const SelectionState& selection = services.selection;
        const std::pair<const std::optional<QByteArray>*, QString> covers[] = {
            {&selection.SelectedFrontImage, QStringLiteral("Front Cover")},
            {&selection.SelectedBackImage, QStringLiteral("Back Cover")}};
        for (const auto& [bytes, name] : covers) {
            if (!*bytes || (*bytes)->isEmpty()) continue;
            const QString path = writeItem(screen, name + '.' + suffixOf(**bytes), **bytes,
                                           services.context.dataDir());
            if (path.isEmpty()) return;
            request.files << path;
        }
        if (request.files.isEmpty()) {
            AlertController::tell(screen, QStringLiteral("Can't Share"),
                                  QStringLiteral("This movie has no cover to share."));
            return;
        }
    } else {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        kept.save(&buffer, "PNG");
        const QString path = writeItem(screen, QStringLiteral("Quillon Screen.png"), png,
                                       services.context.dataDir());
        if (path.isEmpty()) return;
        request.files << path;
    }
    services.share.present(request, screen);
}

}  // namespace quillon
