#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace quillon::exchange {

// Strict standard Base64 (RFC 4648): length a multiple of four, "=" only as closing padding,
// no line breaks or other characters. nullopt for anything else. A table decoder: Qt's
// QByteArray::fromBase64Encoding is an order of magnitude slower on cover-sized fields.
std::optional<QByteArray> decodeBase64(QByteArrayView text);

}  // namespace quillon::exchange
