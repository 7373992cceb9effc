#pragma once

#include <QByteArray>

namespace quillon {

// Whether JPEG bytes are what encodeJpeg(their own picture, quality) writes, so that decoding and
// encoding them again gives the same picture: whole, baseline, 8-bit, with the encoder's
// quantisation tables and sampling for that quality, and upright (no EXIF turn). Reads the
// headers only. Thread-safe.
bool isEncoderJpeg(const QByteArray& bytes, int quality);

// Whether the bytes are a picture a reader shows as stored, with no EXIF turn to apply.
bool isUprightPicture(const QByteArray& bytes);

}  // namespace quillon
