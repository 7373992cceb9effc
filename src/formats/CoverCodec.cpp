#include "formats/CoverCodec.h"

#include "formats/Base64.h"
#include "formats/ExportFormat.h"
#include "images/CoverImage.h"
#include "images/JpegLayout.h"

namespace quillon::exchange {

CoverField encodeCoverField(const QByteArray& storedBytes) {
    // Encoding such a JPEG again gives the same picture at the same quality, at great cost.
    if (isEncoderJpeg(storedBytes, kJpegQuality)) return {storedBytes.toBase64(), QString()};
    DecodedCover decoded = decodeCover(storedBytes);
    QString problem = decoded.error;
    if (!decoded.image.isNull()) {
        const QByteArray jpeg = encodeJpeg(std::move(decoded.image), kJpegQuality);
        if (!jpeg.isEmpty()) return {jpeg.toBase64(), QString()};
        problem = "the JPEG encoder failed";
    }
    if (isJpeg(storedBytes)) return {storedBytes.toBase64(), QString()};
    return {QByteArray(), problem.isEmpty() ? QString("not a picture") : problem};
}

std::optional<QByteArray> decodeCoverField(QByteArrayView field, QString* problem) {
    auto bytes = decodeBase64(field);
    if (!bytes || bytes->isEmpty()) {
        if (problem) *problem = QStringLiteral("The field is not Base64 text.");
        return std::nullopt;
    }
    // Only the header and the ends are read: decoding every cover in full would double the
    // import time.
    if (const CoverCheck check = checkCoverBytes(*bytes); !check.storable()) {
        if (problem) *problem = check.reason();
        return std::nullopt;
    }
    return bytes;
}

QString coverMarker(int fieldIndex, qsizetype base64Length) {
    const qsizetype bytes = base64Length / 4 * 3;
    const qsizetype kilobytes = qMax<qsizetype>(1, (bytes + 512) / 1024);
    const QString side = fieldIndex == kFrontImageField ? "front" : "back";
    return QString("[%1 cover, %2 KB]").arg(side).arg(kilobytes);
}

}  // namespace quillon::exchange
