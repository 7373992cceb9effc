#pragma once

#include <QByteArray>
#include <QImage>
#include <optional>

#include "store/Records.h"

namespace quillon {

// The quality of a small copy: its JPEG is redrawn in lists and reports, never exported.
inline constexpr int kSmallCoverQuality = 80;

// The small copy of stored cover bytes: decoded already reduced, upright, fitted into
// kSmallCoverBox (never enlarged), as JPEG. nullopt when the bytes do not decode. Thread-safe.
std::optional<SmallCover> makeSmallCover(const QByteArray& cover);
// The same of a picture at hand, upright already, as a form stores it.
std::optional<SmallCover> makeSmallCover(const QImage& upright);
// makeSmallCover of bytes, for StoreOptions::makeSmallCopy.
SmallCoverMaker smallCoverMaker();

// Whether the small copy shows the cover as sharp as the cover itself would, drawn to fit `box`.
bool smallCoverServes(const SmallCover& small, QSize box);
// A saved cover decoded to fit `box` as decodeCover(its bytes, box) gives it, the same size to
// the pixel, but from its small copy when one serves. Null when it cannot be read or decoded.
// Thread-safe with a reader of the calling thread's own.
QImage decodeSavedCover(SavedCoverReader& reader, const SavedCover& cover, QSize box);

}  // namespace quillon
