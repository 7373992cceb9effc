#pragma once

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QThreadPool>

#include "store/Records.h"

namespace quillon {

// Small decoded front covers for list rows. A worker thread reads the saved cover's small copy
// (the cover itself while it has none) through its own connection and decodes it already
// scaled; the result is kept in a bounded cache. The main thread never reads nor decodes a full
// cover for a row.
class ThumbnailCache : public QObject {
    Q_OBJECT
public:
    explicit ThumbnailCache(QSize box, QObject* parent = nullptr);
    ~ThumbnailCache() override;

    // The cached thumbnail, or a null image while it is being decoded (thumbnailReady follows).
    // A movie without a front cover, or whose bytes do not decode, gives a null image.
    QImage thumbnail(const Movies& movie);
    // True once the movie's current front cover was found unreadable or not a picture.
    bool hasFailed(const Movies& movie) const {
        return failed_.contains({movie.objectId(), movie.imageGeneration()});
    }
    QSize box() const { return box_; }

    // Decodes bytes into an upright image that fits `box`, scaled while decoding. Thread-safe.
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
    QThreadPool pool_;  // its destructor waits for the decodes still running
};

}  // namespace quillon
