#include "movies/ThumbnailCache.h"

#include <QBuffer>
#include <QImageReader>
#include <QPointer>
#include <QThread>
#include <QtConcurrent>
#include <atomic>

namespace quillon {

ThumbnailCache::ThumbnailCache(QSize box, QObject* parent)
    : QObject(parent), box_(box), cache_(2000), aliveFlag_(std::make_shared<bool>(true)) {}

ThumbnailCache::~ThumbnailCache() { *aliveFlag_ = false; }

namespace {
std::atomic<int> mainThreadDecodes{0};
}  // namespace

int ThumbnailCache::decodesOnMainThread() { return mainThreadDecodes.load(); }

QImage ThumbnailCache::decodeScaled(const QByteArray& bytes, QSize box) {
    if (QThread::currentThread() == QCoreApplication::instance()->thread()) ++mainThreadDecodes;
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize full = reader.size();
    if (full.isValid() && (full.width() > box.width() || full.height() > box.height()))
        reader.setScaledSize(full.scaled(box, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (!image.isNull() && (image.width() > box.width() || image.height() > box.height()))
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage ThumbnailCache::thumbnail(const Movies& movie) {
    if (!movie.hasImage(Attribute::frontImage)) return {};
    const Key key{movie.objectId(), movie.imageGeneration()};
    if (QImage* cached = cache_.object(key)) return *cached;
    if (inFlight_.contains(key) || failed_.contains(key)) return {};
    const OptionalBytes bytes = movie.frontImage();
    if (!bytes) return {};
    inFlight_.insert(key);
    const QSize box = box_;
    QPointer<ThumbnailCache> self(this);
    auto alive = aliveFlag_;
    QThreadPool* pool = QThreadPool::globalInstance();
    (void)QtConcurrent::run(pool, [self, alive, key, box, data = *bytes] {
        QImage image = decodeScaled(data, box);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, alive, key, image = std::move(image)]() mutable {
                if (*alive && self) self->store(key, std::move(image));
            },
            Qt::QueuedConnection);
    });
    return {};
}

void ThumbnailCache::store(Key key, QImage image) {
    inFlight_.remove(key);
    if (image.isNull()) {
        failed_.insert(key);
        return;
    }
    cache_.insert(key, new QImage(std::move(image)));
    emit thumbnailReady(key.first);
}

}  // namespace quillon
