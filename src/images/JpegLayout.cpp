#include "images/JpegLayout.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QMutex>
#include <array>
#include <optional>

#include "images/CoverImage.h"

namespace quillon {

namespace {

// What decides the picture a baseline JPEG decodes to: its components with their sampling and
// the quantisation table each one uses.
struct Layout {
    QByteArray components;             // per component: id, sampling, table
    std::array<QByteArray, 4> tables;  // by table id, precision byte included
    bool operator==(const Layout& other) const {
        if (components != other.components) return false;
        for (int i = 2; i < components.size(); i += 3) {
            const int table = quint8(components[i]) & 3;
            if (tables[table] != other.tables[table]) return false;
        }
        return true;
    }
};

int bigEndian16(const QByteArray& bytes, qsizetype at) {
    return quint8(bytes[at]) << 8 | quint8(bytes[at + 1]);
}

bool readTables(const QByteArray& segment, Layout& layout) {
    for (qsizetype at = 0; at < segment.size();) {
        const int precision = quint8(segment[at]) >> 4, id = quint8(segment[at]) & 15;
        const qsizetype length = 1 + 64 * (precision ? 2 : 1);
        if (id > 3 || at + length > segment.size()) return false;
        layout.tables[id] = segment.mid(at, length);
        at += length;
    }
    return true;
}

// The layout of a baseline JPEG; nullopt for any other kind, or headers that do not add up.
std::optional<Layout> baselineLayout(const QByteArray& bytes) {
    Layout layout;
    bool baseline = false;
    bool refused = false;
    const bool whole = walkJpegHeaders(bytes, [&](int marker, const QByteArray& segment) {
        if (marker == 0xDA) return false;  // the scan: every table it needs came before it
        if (marker == 0xDB && !readTables(segment, layout)) refused = true;
        if (marker == 0xC0) {
            if (segment.size() < 6 || quint8(segment[0]) != 8) refused = true;
            layout.components = segment.mid(5);
            baseline = true;
        } else if (marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                   marker != 0xCC) {
            refused = true;  // progressive, extended, lossless or arithmetic
        }
        return !refused;
    });
    if (!whole || refused || !baseline || layout.components.isEmpty()) return std::nullopt;
    return layout;
}

// The encoder's layouts at a quality, for a colour and a grey picture, made once.
std::array<std::optional<Layout>, 2> encoderLayouts(int quality) {
    static QMutex mutex;
    static QHash<int, std::array<std::optional<Layout>, 2>> made;
    QMutexLocker lock(&mutex);
    if (const auto found = made.constFind(quality); found != made.constEnd()) return *found;
    QImage colour(16, 16, QImage::Format_RGB32);
    colour.fill(Qt::darkCyan);
    QImage grey(16, 16, QImage::Format_Grayscale8);
    grey.fill(128);
    std::array<std::optional<Layout>, 2> layouts{baselineLayout(encodeJpeg(colour, quality)),
                                                 baselineLayout(encodeJpeg(grey, quality))};
    made.insert(quality, layouts);
    return layouts;
}

}  // namespace

bool isEncoderJpeg(const QByteArray& bytes, int quality) {
    if (isCutShortJpeg(bytes)) return false;
    const std::optional<Layout> layout = baselineLayout(bytes);
    if (!layout) return false;
    bool matches = false;
    for (const std::optional<Layout>& encoder : encoderLayouts(quality))
        matches = matches || (encoder && *encoder == *layout);
    return matches && isUprightPicture(bytes);
}

bool isUprightPicture(const QByteArray& bytes) {
    QByteArray copy = bytes;  // shares the data
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.canRead() && reader.transformation() == QImageIOHandler::TransformationNone;
}

bool walkJpegHeaders(const QByteArray& bytes,
                     const std::function<bool(int marker, const QByteArray& segment)>& visit) {
    if (!isJpeg(bytes)) return false;
    for (qsizetype at = 2; at + 4 <= bytes.size();) {
        if (quint8(bytes[at]) != 0xFF) return false;
        const int marker = quint8(bytes[at + 1]);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        const int length = bigEndian16(bytes, at + 2);
        if (length < 2 || at + 2 + length > bytes.size()) return false;
        if (!visit(marker, bytes.mid(at + 4, length - 2)) || marker == 0xDA) return true;
        at += 2 + length;
    }
    return true;
}

}  // namespace quillon
