#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

class QThreadPool;

namespace quillon {

// The one decoder for stored covers, wherever a cover becomes pixels (export, thumbnails,
// viewers): the picture comes out upright, with its EXIF orientation applied, and a picture of
// up to 12000 x 12000 pixels is within the allocation limit.
struct DecodedCover {
    QImage image;            // null when the bytes could not be decoded
    QString error;           // why not, when image is null
    QSize uprightSize = {};  // of the whole picture, upright, once the header is read
};

// Qt's default refuses pictures above 128 MB decoded; 12000 x 12000 at 4 bytes is 549 MB.
inline constexpr int kCoverAllocationLimitMb = 600;

// Decodes a cover; with a valid box, scaled while decoding so that it fits the box (aspect kept,
// the upright picture fitted). Thread-safe.
DecodedCover decodeCover(const QByteArray& bytes, QSize box = QSize());

// Where heavy picture work (decoding, encoding) runs, never on the global pool: Qt's painter
// borrows the global pool to scale pictures, so a paint would wait for that work to end and the
// window would stop answering.
QThreadPool& picturePool();

bool isJpeg(QByteArrayView bytes);
// JPEG bytes that do not end with the end-of-image marker: a picture cut short.
bool isCutShortJpeg(QByteArrayView bytes);
// PNG bytes without the closing IEND chunk: a picture cut short.
bool isCutShortPng(QByteArrayView bytes);

// Whether a picture can become a stored cover, and why not. A stored cover must decode whole
// wherever it is shown or exported, at 4 bytes a pixel or more, within the allocation limit.
struct CoverCheck {
    enum Problem { None, NotAPicture, Damaged, TooLarge };
    CoverCheck(Problem problem = None, QSize size = {}, qint64 decodedBytes = 0)
        : problem(problem), size(size), decodedBytes(decodedBytes) {}

    Problem problem;
    QSize size;           // the picture's pixels, once known
    qint64 decodedBytes;  // what decoding it whole takes, once known

    bool storable() const { return problem == None; }
    // A sentence for the user; empty when storable.
    QString reason() const;
};

// Picture bytes: whole (a JPEG ends with its end-of-image marker, a PNG with its IEND chunk, the
// header gives a size) and within the limit. Reads the header only, so it is cheap enough for
// every cover of an import; data damaged in the middle shows only when decoded. Thread-safe.
CoverCheck checkCoverBytes(const QByteArray& bytes);
// A picture at hand (clipboard, camera, drop): only its size can stand in the way.
CoverCheck checkCoverPicture(const QImage& picture);

// The picture as a printed cover shows it: what is transparent becomes white. An opaque picture
// comes back as it is.
QImage flattenedOnWhite(QImage picture);
// JPEG bytes of the picture at its own pixel size, flattened onto white; empty when it cannot be
// encoded. JPEG has no transparency: left to the encoder it turns black. Given the only copy, it
// flattens in place. Thread-safe.
QByteArray encodeJpeg(QImage picture, int quality);

// A picture file's bytes, or why they were not read (error, with the path). Only a regular file,
// or a link to one, of at most kCoverAllocationLimitMb is read: a FIFO blocks until someone
// writes to it and a device may never end. It blocks on a slow disk: run it off the main thread.
struct PictureFile {
    QByteArray bytes;
    QString error;
};
PictureFile readPictureFile(const QString& path);

}  // namespace quillon
