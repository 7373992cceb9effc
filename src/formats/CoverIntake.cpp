#include "formats/CoverIntake.h"

#include <QDir>

#include "formats/ExportFormat.h"
#include "images/CoverImage.h"
#include "images/SmallCoverImage.h"

namespace quillon::exchange {

namespace {

// The picture as a store would take it; a null image and the reason when it would not.
DecodedCover decodedForStoring(const QByteArray& picture) {
    if (const CoverCheck check = checkCoverBytes(picture); !check.storable())
        return {QImage(), check.reason()};
    return decodeCover(picture);
}

}  // namespace

CoverLoad storedFormOfPicture(const QByteArray& picture) {
    DecodedCover decoded = decodedForStoring(picture);
    if (decoded.image.isNull()) return {QByteArray(), decoded.error};
    // From the picture at hand: made from the stored bytes it would cost a second decode.
    std::optional<SmallCover> small = makeSmallCover(decoded.image);
    QByteArray jpeg = encodeJpeg(std::move(decoded.image), kJpegQuality);
    if (jpeg.isEmpty()) return {QByteArray(), QStringLiteral("the JPEG encoder failed")};
    return {std::move(jpeg), QString(), std::move(small)};
}

CoverLoad checkedPicture(const QByteArray& picture) {
    const DecodedCover decoded = decodedForStoring(picture);
    if (decoded.image.isNull()) return {QByteArray(), decoded.error};
    return {picture, QString()};
}

CoverIntake coverIntake(bool dryRun) {
    return dryRun ? &checkedPicture : &storedFormOfPicture;
}

CoverLoad loadPictureFile(const QString& path, const QString& folder, CoverIntake intake) {
    const QString found = QDir::isAbsolutePath(path) ? path : QDir(folder).filePath(path);
    PictureFile file = readPictureFile(found);
    if (!file.error.isEmpty()) return {QByteArray(), file.error};
    return intake(file.bytes);
}

}  // namespace quillon::exchange
