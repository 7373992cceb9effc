#include "images/CoverImage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QThreadPool>
#include <cerrno>

namespace quillon {

QThreadPool& picturePool() {
    static QThreadPool pool;
    return pool;
}

namespace {

constexpr qint64 kAllocationLimitBytes = qint64(kCoverAllocationLimitMb) << 20;

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

// As the reader reckons its allocation: whole lines of 32-bit words. Never less than 4 bytes a
// pixel: a stored cover is a JPEG, which decodes to that.
CoverCheck checkSize(QSize size, QImage::Format format) {
    int depth = 32;
    if (format != QImage::Format_Invalid)
        depth = qMax(depth, int(QImage::toPixelFormat(format).bitsPerPixel()));
    const qint64 bytesPerLine = ((qint64(size.width()) * depth + 31) >> 5) << 2;
    CoverCheck check{CoverCheck::None, size, bytesPerLine * size.height()};
    if (check.decodedBytes > kAllocationLimitBytes) check.problem = CoverCheck::TooLarge;
    return check;
}

}  // namespace

DecodedCover decodeCover(const QByteArray& bytes, QSize box) {
    raiseAllocationLimit();
    QByteArray data = bytes;  // shared, not copied: QBuffer wants a non-const array
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    QSize upright = reader.size();
    if (turned) upright.transpose();
    // Decoding reduced saves work only from half the size down; a picture less than twice the box
    // (a small copy) decodes faster whole, then scaled.
    if (box.isValid() && upright.isValid() && exceeds(upright, box * 2)) {
        // The reader scales before it turns the picture: fit the upright size, then turn back.
        QSize scaled = upright.scaled(box, Qt::KeepAspectRatio);
        if (turned) scaled.transpose();
        reader.setScaledSize(scaled);
    }
    QImage image = reader.read();
    if (image.isNull()) return {QImage(), reader.errorString(), upright};
    if (!upright.isValid()) upright = image.size();  // a format that tells its size only decoded
    if (box.isValid() && exceeds(image.size(), box))
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return {std::move(image), QString(), upright};
}

bool isJpeg(QByteArrayView bytes) {
    return bytes.startsWith("\xFF\xD8");
}

bool isCutShortJpeg(QByteArrayView bytes) {
    return isJpeg(bytes) && !bytes.endsWith("\xFF\xD9");
}

bool isCutShortPng(QByteArrayView bytes) {
    // The IEND chunk has no data, so its checksum is always the same.
    return bytes.startsWith("\x89PNG\r\n\x1A\n") && bytes.lastIndexOf("IEND\xAE\x42\x60\x82") < 0;
}

QString CoverCheck::reason() const {
    switch (problem) {
        case None:
            return {};
        case NotAPicture:
            return QStringLiteral("This is not a picture.");
        case Damaged:
            return QStringLiteral("The picture is cut short or damaged, so it cannot be stored.");
        case TooLarge:
            return QStringLiteral(
                       "The picture is %1 x %2 pixels, too large to be stored: decoded "
                       "it would take %3 MB, and a cover may take at most %4 MB.")
                .arg(size.width())
                .arg(size.height())
                .arg((decodedBytes + (1 << 20) - 1) >> 20)
                .arg(kCoverAllocationLimitMb);
    }
    return {};
}

CoverCheck checkCoverBytes(const QByteArray& bytes) {
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead()) return {CoverCheck::NotAPicture};
    if (isCutShortJpeg(bytes) || isCutShortPng(bytes)) return {CoverCheck::Damaged};
    if (!reader.supportsOption(QImageIOHandler::Size)) return {};  // known once decoded
    const QSize size = reader.size();
    if (size.isEmpty()) return {CoverCheck::Damaged};
    return checkSize(size, reader.imageFormat());
}

CoverCheck checkCoverPicture(const QImage& picture) {
    if (picture.isNull()) return {CoverCheck::NotAPicture};
    return checkSize(picture.size(), QImage::Format_RGB32);
}

QImage flattenedOnWhite(QImage picture) {
    if (!picture.hasAlphaChannel()) return picture;
    // Premultiplied, a pixel over white is the pixel plus what its alpha leaves of white.
    picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const int white = 255 - qAlpha(line[x]);
            line[x] = qRgb(qRed(line[x]) + white, qGreen(line[x]) + white, qBlue(line[x]) + white);
        }
    }
    picture.reinterpretAsFormat(QImage::Format_RGB32);
    return picture;
}

QByteArray encodeJpeg(QImage picture, int quality) {
    if (picture.isNull()) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!flattenedOnWhite(std::move(picture)).save(&buffer, "JPG", quality)) return {};
    return bytes;
}

namespace {

PictureFile unreadable(const QString& path, const QString& why) {
    return {QByteArray(), why + QStringLiteral(", ") + path};
}

PictureFile notRegular(const QString& path) {
    return {QByteArray(),
            path + QStringLiteral(" is not a regular file. Only picture files can be loaded.")};
}

PictureFile tooBig(const QString& path) {
    return {QByteArray(), path + QStringLiteral(" is larger than %1 MB, the most a cover may take.")
                                     .arg(kCoverAllocationLimitMb)};
}

}  // namespace

PictureFile readPictureFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    // Looked at before it is opened: opening a device may already do something.
    if (::stat(name.constData(), &info) != 0) return unreadable(path, qt_error_string(errno));
    if (!S_ISREG(info.st_mode)) return notRegular(path);
    // Non-blocking, so that a FIFO put there since cannot hang the open.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return unreadable(path, qt_error_string(errno));
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return notRegular(path);
    }
    if (info.st_size > kAllocationLimitBytes) {
        ::close(fd);
        return tooBig(path);
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return unreadable(path, file.errorString());
    }
    // In steps up to the limit: the file may have grown since it was looked at.
    QByteArray bytes;
    bytes.reserve(qsizetype(info.st_size));
    for (;;) {
        const QByteArray step = file.read(1 << 20);
        if (step.isEmpty()) break;
        bytes += step;
        if (bytes.size() > kAllocationLimitBytes) return tooBig(path);
    }
    if (file.error() != QFileDevice::NoError) return unreadable(path, file.errorString());
    return {std::move(bytes), QString()};
}

}  // namespace quillon
