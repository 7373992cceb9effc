#include "movies/CoverView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFutureWatcher>
#include <QMimeData>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

#include "platform/CoverImage.h"

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

}  // namespace

CoverView::CoverView(QWidget* parent) : QFrame(parent) {
    setAcceptDrops(true);
    setMinimumSize(100, 140);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

CoverView::~CoverView() = default;

void CoverView::showStored(const Movies& movie, Attribute cover) {
    const std::optional<SavedCover> saved = movie.savedCover(cover);
    // A cover not saved yet is at hand; a saved one is read by the worker.
    const OptionalBytes atHand = saved ? std::nullopt : movie.image(cover);
    if (!saved && !atHand) return;
    showPicture(QImage(), {});
    decoding_ = true;
    auto* watcher = new QFutureWatcher<QImage>(this);
    decode_ = watcher;
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher] {
        watcher->deleteLater();
        if (decode_ != watcher) return;
        decoding_ = false;
        shown_ = watcher->result();
        update();
        emit decodeFinished();
    });
    watcher->setFuture(QtConcurrent::run(&picturePool(), [saved, atHand] {
        const OptionalBytes bytes = saved ? readSavedCover(*saved).bytes : atHand;
        return bytes ? decodeCover(*bytes, viewBox()).image : QImage();
    }));
}

void CoverView::takeNewPicture(const QImage& picture) {
    if (picture.isNull()) return;
    showPicture(scaledForView(picture), NewCoverPicture::fromImage(picture));
}

Status CoverView::loadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Status::failure(file.errorString(), path);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return Status::failure(file.errorString(), path);
    // Scaled while decoding: a large picture shows quickly, and is decoded whole only at Save.
    QImage shown = decodeCover(bytes, viewBox()).image;
    if (shown.isNull()) {
        clear();
        return Status::success();
    }
    showPicture(std::move(shown), NewCoverPicture::fromFileBytes(std::move(bytes)));
    return Status::success();
}

void CoverView::clear() {
    abandonDecode();
    hasPicture_ = false;
    shown_ = QImage();
    newPicture_ = {};
    update();
}

void CoverView::showPicture(QImage shown, NewCoverPicture picture) {
    abandonDecode();
    hasPicture_ = true;
    shown_ = std::move(shown);
    newPicture_ = std::move(picture);
    update();
}

void CoverView::abandonDecode() {
    decode_ = nullptr;  // its result is dropped when it arrives
    decoding_ = false;
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
        emit pictureDropped();
        return;
    }
    const QString path = droppedFile(mime);
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    emit fileDropped(path);
}

}  // namespace quillon
