#pragma once

#include <QByteArray>
#include <functional>

namespace quillon {

// Whether JPEG bytes are what encodeJpeg(their own picture, quality) writes, so that decoding and
// encoding them again gives the same picture: whole, baseline, 8-bit, with the encoder's
// quantisation tables and sampling for that quality, and upright (no EXIF turn). Reads the
// headers only. Thread-safe.
bool isEncoderJpeg(const QByteArray& bytes, int quality);

// Walks the marker segments of a JPEG's headers in order, the first scan's included, handing each
// marker and the bytes after its length to `visit`, until `visit` returns false or the scan is
// reached. False when the bytes are no JPEG or a segment's length does not add up.
bool walkJpegHeaders(const QByteArray& bytes,
                     const std::function<bool(int marker, const QByteArray& segment)>& visit);

// Whether the bytes are a picture a reader shows as stored, with no EXIF turn to apply.
bool isUprightPicture(const QByteArray& bytes);

}  // namespace quillon
