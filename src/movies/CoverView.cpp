#include "movies/CoverView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFutureWatcher>
#include <QMimeData>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

#include "images/CoverImage.h"

namespace quillon {

namespace {

QImage scaledForView(const QImage& picture) {
    const QSize box = CoverView::viewBox();
    if (picture.width() <= box.width() && picture.height() <= box.height()) return picture;
    return picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QString droppedFile(const QMimeData* mime) {
    if (!mime || !mime->hasUrls()) return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return {};
}

struct LoadedFile {
    QImage shown;
    QSize size;  // the whole picture's
    QByteArray bytes;
    QString refusal;
    bool notAPicture = false;
};

LoadedFile refused(QString reason) {
    LoadedFile loaded;
    loaded.refusal = std::move(reason);
    return loaded;
}

// Runs on a worker: a FIFO or a slow disk never holds up the window.
LoadedFile loadPictureFile(const QString& path) {
    PictureFile file = readPictureFile(path);
    if (!file.error.isEmpty()) return refused(file.error);
    const CoverCheck check = checkCoverBytes(file.bytes);
    if (!check.storable() && check.problem != CoverCheck::NotAPicture)
        return refused(check.reason());
    LoadedFile loaded;
    loaded.notAPicture = check.problem == CoverCheck::NotAPicture;
    if (loaded.notAPicture) return loaded;
    // Scaled while decoding: a large picture shows quickly, and is decoded whole only at Save.
    loaded.shown = decodeCover(file.bytes, CoverView::viewBox()).image;
    if (loaded.shown.isNull()) return refused(CoverCheck(CoverCheck::Damaged).reason());
    loaded.size = check.size;
    loaded.bytes = std::move(file.bytes);
    return loaded;
}

}  // namespace

CoverView::CoverView(QWidget* parent) : QFrame(parent) {
    setAcceptDrops(true);
    setMinimumSize(100, 140);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    describePicture(QSize(0, 0));
}

CoverView::~CoverView() = default;

void CoverView::showStored(const Movies& movie, Attribute cover) {
    const std::optional<SavedCover> saved = movie.savedCover(cover);
    // A cover not saved yet is at hand; a saved one is read by the worker.
    const OptionalBytes atHand = saved ? std::nullopt : movie.image(cover);
    if (!saved && !atHand) return;
    showPicture(QImage(), {}, QSize());
    using Decoded = std::pair<QImage, QSize>;
    auto* watcher = new QFutureWatcher<Decoded>(this);
    decode_ = watcher;
    connect(watcher, &QFutureWatcher<Decoded>::finished, this, [this, watcher] {
        if (takeJob(decode_, watcher)) {
            std::tie(shown_, std::ignore) = watcher->result();
            describePicture(watcher->result().second);
            update();
        }
        jobEnded();
    });
    watcher->setFuture(QtConcurrent::run(&picturePool(), [saved, atHand] {
        const OptionalBytes bytes = saved ? readSavedCover(*saved).bytes : atHand;
        if (!bytes) return Decoded();
        return Decoded(decodeCover(*bytes, viewBox()).image, checkCoverBytes(*bytes).size);
    }));
}

bool CoverView::takeNewPicture(const QImage& picture) {
    if (picture.isNull()) return false;
    if (const CoverCheck check = checkCoverPicture(picture); !check.storable()) {
        emit pictureRefused(check.reason());
        return false;
    }
    showPicture(scaledForView(picture), NewCoverPicture::fromImage(picture), picture.size());
    emit pictureChanged();
    return true;
}

void CoverView::loadFile(const QString& path) {
    auto* watcher = new QFutureWatcher<LoadedFile>(this);
    load_ = watcher;  // the newest file wins
    connect(watcher, &QFutureWatcher<LoadedFile>::finished, this, [this, watcher] {
        if (takeJob(load_, watcher)) {
            LoadedFile loaded = watcher->result();
            if (!loaded.refusal.isEmpty()) {
                emit pictureRefused(loaded.refusal);
            } else {
                if (loaded.notAPicture)
                    clear();
                else
                    showPicture(std::move(loaded.shown),
                                NewCoverPicture::fromFileBytes(std::move(loaded.bytes)),
                                loaded.size);
                emit pictureChanged();
            }
        }
        jobEnded();
    });
    watcher->setFuture(QtConcurrent::run(&picturePool(), loadPictureFile, path));
}

void CoverView::clear() {
    abandonDecode();
    hasPicture_ = false;
    shown_ = QImage();
    newPicture_ = {};
    describePicture(QSize(0, 0));
    update();
}

void CoverView::showPicture(QImage shown, NewCoverPicture picture, QSize size) {
    abandonDecode();
    hasPicture_ = true;
    shown_ = std::move(shown);
    newPicture_ = std::move(picture);
    describePicture(size);
    update();
}

void CoverView::describePicture(QSize size) {
    if (!size.isValid())
        setAccessibleDescription(QStringLiteral("picture"));
    else if (size.isEmpty())
        setAccessibleDescription(QStringLiteral("no picture"));
    else
        setAccessibleDescription(
            QStringLiteral("%1 by %2 pixels").arg(size.width()).arg(size.height()));
}

void CoverView::abandonDecode() {
    // Their results are dropped when they arrive.
    decode_ = nullptr;
    load_ = nullptr;
}

// Whether the ended job is the one wanted; it is no longer pending either way.
bool CoverView::takeJob(QPointer<QObject>& wanted, QObject* watcher) {
    watcher->deleteLater();
    if (wanted != watcher) return false;
    wanted = nullptr;
    return true;
}

void CoverView::jobEnded() {
    if (!isDecoding()) emit decodeFinished();
}

void CoverView::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (shown_.isNull()) return;
    const QRect area = contentsRect().adjusted(3, 3, -3, -3);
    QSize size = shown_.size().scaled(area.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(), size);
    target.moveCenter(area.center());
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, shown_);
}

void CoverView::mouseDoubleClickEvent(QMouseEvent* event) {
    QFrame::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

void CoverView::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (mime && (mime->hasImage() || !droppedFile(mime).isEmpty())) event->acceptProposedAction();
}

void CoverView::dropEvent(QDropEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (mime && mime->hasImage()) {
        const QImage picture = qvariant_cast<QImage>(mime->imageData());
        if (picture.isNull()) return;
        event->acceptProposedAction();
        takeNewPicture(picture);
        return;
    }
    const QString path = droppedFile(mime);
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    emit fileDropped(path);
}

}  // namespace quillon
