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
    QImage image;   // null when the bytes could not be decoded
    QString error;  // why not, when image is null
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

}  // namespace quillon
