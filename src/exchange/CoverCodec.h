#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace quillon::exchange {

// A stored cover as it travels: decoded, re-encoded as JPEG at quality 0.6, then Base64.
// Empty when the bytes are no picture or the JPEG encoder gives nothing. Thread-safe.
QByteArray encodeCoverField(const QByteArray& storedBytes);

// Bytes of a cover field that read as a picture; nullopt otherwise (bad Base64, not an image).
std::optional<QByteArray> decodeCoverField(QByteArrayView field);

// "[front cover, 212 KB]": what the text views show instead of a cover's Base64.
QString coverMarker(int fieldIndex, qsizetype base64Length);

}  // namespace quillon::exchange
