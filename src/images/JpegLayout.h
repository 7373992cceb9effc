#pragma once

#include <QByteArray>

namespace quillon {

// Whether JPEG bytes are what encodeJpeg(their own picture, quality) writes, so that decoding and
// encoding them again gives the same picture: whole, baseline, 8-bit, with the encoder's
// quantisation tables and sampling for that quality, and upright (no EXIF turn). Reads the
// headers only. Thread-safe.
bool isEncoderJpeg(const QByteArray& bytes, int quality);

}  // namespace quillon
