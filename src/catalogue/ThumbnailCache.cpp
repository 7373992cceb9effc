#include "catalogue/ThumbnailCache.h"

#include <QThread>
#include <QtConcurrent>
#include <atomic>

#include "images/CoverImage.h"
#include "images/SmallCoverImage.h"

namespace quillon {

ThumbnailCache::ThumbnailCache(QSize box, QObject* parent)
    : QObject(parent), box_(box), cache_(2000), aliveFlag_(std::make_shared<bool>(true)) {
    // One core stays with the window: decodes on every core delayed its paints while scrolling.
    pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
}

ThumbnailCache::~ThumbnailCache() {
    *aliveFlag_ = false;
}

namespace {
std::atomic<int> mainThreadDecodes{0};
}  // namespace

int ThumbnailCache::decodesOnMainThread() {
    return mainThreadDecodes.load();
}

QImage ThumbnailCache::decodeScaled(const QByteArray& bytes, QSize box) {
    if (QThread::currentThread() == QCoreApplication::instance()->thread()) ++mainThreadDecodes;
    return decodeCover(bytes, box).image;
}

QImage ThumbnailCache::thumbnail(const Movies& movie) {
    if (!movie.hasImage(Attribute::frontImage)) return {};
    const Key key{movie.objectId(), movie.imageGeneration()};
    if (QImage* cached = cache_.object(key)) return *cached;
    if (inFlight_.contains(key) || failed_.contains(key)) return {};
    // A saved cover is read by the worker too; only a new one is handed over as bytes.
    const std::optional<SavedCover> saved = movie.savedCover(Attribute::frontImage);
    const OptionalBytes pending = saved ? std::nullopt : movie.frontImage();
    if (!saved && !pending) return {};
    inFlight_.insert(key);
    const QSize box = box_;
    ThumbnailCache* self = this;
    auto alive = aliveFlag_;
    (void)QtConcurrent::run(&pool_, [self, alive, key, box, saved, pending] {
        SavedCoverReader reader;
        QImage image = saved ? decodeSavedCover(reader, *saved, box) : decodeScaled(*pending, box);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, alive, key, image = std::move(image)]() mutable {
                // Runs on the main thread, where the cache is destroyed: the flag is reliable.
                if (*alive) self->store(key, std::move(image));
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
