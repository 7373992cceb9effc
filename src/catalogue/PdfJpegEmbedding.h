#pragma once

#include <QByteArray>
#include <QSize>
#include <optional>
#include <vector>

class QIODevice;

namespace quillon {

// A JPEG that a PDF reader decodes itself (DCTDecode), embedded byte for byte as it is stored:
// 8-bit, grey or colour, sequential or progressive, and upright (no EXIF turn).
struct EmbeddableJpeg {
    QByteArray bytes;
    QSize size;
    int components = 0;
};

// The JPEG as a PDF can embed it; nullopt for any other bytes. Reads the headers only.
// Thread-safe.
std::optional<EmbeddableJpeg> embeddableJpeg(const QByteArray& bytes);

// Writes `pdf`, as Qt's PDF engine wrote it, to `device` with its pictures replaced: the k-th
// picture in the file (an image object that is no other's mask) by images[k] where that is set
// (those pictures must have been drawn `standIn` pixels in size), kept as it is where not.
enum class JpegEmbedding {
    Written,
    WriteFailed,  // the device refused a write: the PDF on it is cut short
    Unexpected,   // the PDF is not laid out as Qt writes it, or its images do not match: nothing
                  // was written
};
JpegEmbedding writeWithJpegs(const QByteArray& pdf,
                             const std::vector<std::optional<EmbeddableJpeg>>& images,
                             QSize standIn, QIODevice* device);

}  // namespace quillon
