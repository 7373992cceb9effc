#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace quillon::exchange {

// A stored cover as it travels: decoded upright, re-encoded as JPEG at quality 0.6, then Base64;
// a cover that is already such a JPEG (isEncoderJpeg), as the forms store them, travels as stored.
// Bytes that do not decode travel unchanged when they are a JPEG (a later decoder may do
// better); anything else leaves the field empty, and `problem` says why. Thread-safe.
struct CoverField {
    QByteArray base64;
    QString problem;  // empty when the cover is in the field
};
CoverField encodeCoverField(const QByteArray& storedBytes);

// Bytes of a cover field that a form would take as a cover (checkCoverBytes); nullopt otherwise
// (bad Base64, not an image, a JPEG or PNG cut short, too large to decode), with the reason in
// `problem` when given.
std::optional<QByteArray> decodeCoverField(QByteArrayView field, QString* problem = nullptr);

// "[front cover, 212 KB]": what the text views show instead of a cover's Base64.
QString coverMarker(int fieldIndex, qsizetype base64Length);

}  // namespace quillon::exchange
