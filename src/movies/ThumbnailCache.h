#pragma once

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>

#include "store/Records.h"

namespace quillon {

// Small decoded front covers for list rows. Cover bytes are read on the main thread (a single
// row read), decoded already scaled on a worker thread, and kept in a bounded cache. A full
// cover is never decoded on the main thread.
class ThumbnailCache : public QObject {
    Q_OBJECT
public:
    explicit ThumbnailCache(QSize box, QObject* parent = nullptr);
    ~ThumbnailCache() override;

    // The cached thumbnail, or a null image while it is being decoded (thumbnailReady follows).
    // A movie without a front cover, or whose bytes do not decode, gives a null image.
    QImage thumbnail(const Movies& movie);
    QSize box() const { return box_; }

    // Decodes bytes into an image that fits `box`, scaled while decoding. Thread-safe.
    static QImage decodeScaled(const QByteArray& bytes, QSize box);
    // How many decodes ran on the main thread so far (benchmarks check that it stays 0).
    static int decodesOnMainThread();

signals:
    void thumbnailReady(quint64 objectId);

private:
    using Key = QPair<quint64, quint32>;  // object id, cover generation
    void store(Key key, QImage image);

    QSize box_;
    QCache<Key, QImage> cache_;
    QSet<Key> inFlight_;
    QSet<Key> failed_;
    std::shared_ptr<bool> aliveFlag_;
};

}  // namespace quillon
