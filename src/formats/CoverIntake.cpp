#include "formats/CoverIntake.h"

#include <QDir>

#include "formats/ExportFormat.h"
#include "images/CoverImage.h"

namespace quillon::exchange {

CoverLoad storedFormOfPicture(const QByteArray& picture) {
    if (const CoverCheck check = checkCoverBytes(picture); !check.storable())
        return {QByteArray(), check.reason()};
    DecodedCover decoded = decodeCover(picture);
    if (decoded.image.isNull()) return {QByteArray(), decoded.error};
    QByteArray jpeg = encodeJpeg(std::move(decoded.image), kJpegQuality);
    if (jpeg.isEmpty()) return {QByteArray(), QStringLiteral("the JPEG encoder failed")};
    return {std::move(jpeg), QString()};
}

CoverLoad loadPictureFile(const QString& path, const QString& folder) {
    const QString found = QDir::isAbsolutePath(path) ? path : QDir(folder).filePath(path);
    PictureFile file = readPictureFile(found);
    if (!file.error.isEmpty()) return {QByteArray(), file.error};
    return storedFormOfPicture(file.bytes);
}

}  // namespace quillon::exchange
