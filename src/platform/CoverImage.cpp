#include "platform/CoverImage.h"

#include <QBuffer>
#include <QImageReader>
#include <QThreadPool>

namespace quillon {

QThreadPool& picturePool() {
    static QThreadPool pool;
    return pool;
}

namespace {

void raiseAllocationLimit() {
    // Set once, before the first decode of any thread.
    static const bool raised = [] {
        QImageReader::setAllocationLimit(kCoverAllocationLimitMb);
        return true;
    }();
    (void)raised;
}

bool exceeds(QSize size, QSize box) {
    return size.width() > box.width() || size.height() > box.height();
}

}  // namespace

DecodedCover decodeCover(const QByteArray& bytes, QSize box) {
    raiseAllocationLimit();
    QByteArray data = bytes;  // shared, not copied: QBuffer wants a non-const array
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    if (box.isValid()) {
        // The reader scales before it turns the picture: fit the upright size, then turn back.
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        QSize upright = reader.size();
        if (turned) upright.transpose();
        if (upright.isValid() && exceeds(upright, box)) {
            QSize scaled = upright.scaled(box, Qt::KeepAspectRatio);
            if (turned) scaled.transpose();
            reader.setScaledSize(scaled);
        }
    }
    QImage image = reader.read();
    if (image.isNull()) return {QImage(), reader.errorString()};
    if (box.isValid() && exceeds(image.size(), box))
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return {std::move(image), QString()};
}

bool isJpeg(QByteArrayView bytes) {
    return bytes.startsWith("\xFF\xD8");
}

bool isCutShortJpeg(QByteArrayView bytes) {
    return isJpeg(bytes) && !bytes.endsWith("\xFF\xD9");
}

}  // namespace quillon
