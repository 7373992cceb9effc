#include "catalogue/PdfJpegEmbedding.h"

#include <QBuffer>
#include <QIODevice>
#include <algorithm>
#include <map>
#include <set>

#include "images/CoverImage.h"
#include "images/JpegLayout.h"

namespace quillon {

namespace {

int bigEndian16(const QByteArray& bytes, qsizetype at) {
    return quint8(bytes[at]) << 8 | quint8(bytes[at + 1]);
}

bool isSequentialOrProgressiveFrame(int marker) {
    return marker == 0xC0 || marker == 0xC1 || marker == 0xC2;
}

// Any other frame (lossless, hierarchical, arithmetic) is beyond what PDF readers decode.
bool isOtherFrame(int marker) {
    return marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

}  // namespace

std::optional<EmbeddableJpeg> embeddableJpeg(const QByteArray& bytes) {
    if (isCutShortJpeg(bytes)) return std::nullopt;
    std::optional<EmbeddableJpeg> found;
    walkJpegHeaders(bytes, [&](int marker, const QByteArray& frame) {
        // a scan before any frame, or a frame beyond what PDF readers decode
        if (marker == 0xDA || isOtherFrame(marker)) return false;
        if (!isSequentialOrProgressiveFrame(marker)) return true;
        if (frame.size() < 6) return false;
        const int precision = quint8(frame[0]);
        const QSize size(bigEndian16(frame, 3), bigEndian16(frame, 1));
        const int components = quint8(frame[5]);
        if (precision == 8 && !size.isEmpty() && (components == 1 || components == 3) &&
            isUprightPicture(bytes))
            found = EmbeddableJpeg{bytes, size, components};
        return false;
    });
    return found;
}

namespace {

// One numbered object of the file: where it starts and ends.
struct PdfObject {
    int number;
    qsizetype begin;
    qsizetype end = 0;
};

// Where a PDF written by Qt keeps its parts: the objects in the order of the file, its
// cross-reference table and its trailer.
struct PdfLayout {
    std::vector<PdfObject> objects;
    int size = 0;  // the numbers of the cross-reference table, the free 0 included
    qsizetype xref = 0;
    QByteArray trailer;  // from "trailer" up to "startxref"
};

// Whether `pdf` holds `what` at `at`, without copying either.
bool holdsAt(const QByteArray& pdf, qsizetype at, QByteArrayView what) {
    return at >= 0 && at <= pdf.size() && QByteArrayView(pdf).sliced(at).startsWith(what);
}

std::optional<qsizetype> numberAt(const QByteArray& pdf, qsizetype at, qsizetype* end) {
    qsizetype i = at;
    qint64 value = 0;
    while (i < pdf.size() && pdf[i] >= '0' && pdf[i] <= '9' && i - at < 12)
        value = value * 10 + (pdf[i++] - '0');
    if (i == at) return std::nullopt;
    if (end) *end = i;
    return value;
}

std::optional<PdfLayout> readLayout(const QByteArray& pdf) {
    PdfLayout layout;
    const qsizetype start = pdf.lastIndexOf("startxref\n");
    if (start < 0) return std::nullopt;
    const std::optional<qsizetype> xref = numberAt(pdf, start + 10, nullptr);
    if (!xref || *xref >= start || !holdsAt(pdf, *xref, "xref\n0 ")) return std::nullopt;
    layout.xref = *xref;
    qsizetype at = *xref + 7;
    const std::optional<qsizetype> count = numberAt(pdf, at, &at);
    if (!count || *count < 1 || *count > (1 << 24) || !holdsAt(pdf, at, "\n")) return std::nullopt;
    layout.size = int(*count);
    ++at;
    if (at + 20 * *count > start) return std::nullopt;
    for (int number = 0; number < layout.size; ++number, at += 20) {
        if (pdf[at + 17] == 'f') continue;
        const std::optional<qsizetype> offset = numberAt(pdf, at, nullptr);
        if (pdf[at + 17] != 'n' || !offset || *offset >= *xref) return std::nullopt;
        layout.objects.push_back({number, *offset});
    }
    if (!holdsAt(pdf, at, "trailer\n")) return std::nullopt;
    layout.trailer = pdf.mid(at, start - at);
    std::sort(layout.objects.begin(), layout.objects.end(),
              [](const PdfObject& a, const PdfObject& b) { return a.begin < b.begin; });
    for (size_t i = 0; i < layout.objects.size(); ++i) {
        PdfObject& object = layout.objects[i];
        object.end = i + 1 < layout.objects.size() ? layout.objects[i + 1].begin : *xref;
        if (!holdsAt(pdf, object.begin, QByteArray::number(object.number) + " 0 obj\n"))
            return std::nullopt;
    }
    return layout;
}

QByteArray imageHeader(int number) {
    return QByteArray::number(number) + " 0 obj\n<<\n/Type /XObject\n/Subtype /Image\n";
}

bool isImage(const QByteArray& pdf, const PdfObject& object) {
    return holdsAt(pdf, object.begin, imageHeader(object.number));
}

// The object an image names as its transparency (/SMask) or stencil (/Mask); 0 for none.
int maskOf(const QByteArray& pdf, const PdfObject& object) {
    const QByteArrayView dictionary =
        QByteArrayView(pdf).sliced(object.begin, object.end - object.begin);
    const qsizetype end = dictionary.indexOf(">>");
    for (const QByteArrayView key : {QByteArrayView("\n/SMask "), QByteArrayView("\n/Mask ")}) {
        const qsizetype at = dictionary.indexOf(key);
        if (at < 0 || at > end) continue;
        const std::optional<qsizetype> number =
            numberAt(pdf, object.begin + at + key.size(), nullptr);
        if (number) return int(*number);
    }
    return 0;
}

// The pictures drawn, in the order of the file: image objects that are no other image's mask.
std::vector<const PdfObject*> drawnImages(const QByteArray& pdf, const PdfLayout& layout) {
    std::vector<const PdfObject*> images;
    std::set<int> masks;
    for (const PdfObject& object : layout.objects)
        if (isImage(pdf, object)) {
            images.push_back(&object);
            if (const int mask = maskOf(pdf, object)) masks.insert(mask);
        }
    std::erase_if(images, [&](const PdfObject* image) { return masks.count(image->number); });
    return images;
}

bool drawnAsStandIn(const QByteArray& pdf, const PdfObject& object, QSize standIn) {
    const QByteArray size = QByteArray("/Width ") + QByteArray::number(standIn.width()) +
                            "\n/Height " + QByteArray::number(standIn.height()) + "\n";
    return holdsAt(pdf, object.begin + imageHeader(object.number).size(), size);
}

QByteArray embeddedImage(int number, const EmbeddableJpeg& jpeg) {
    return imageHeader(number) + "/Width " + QByteArray::number(jpeg.size.width()) + "\n/Height " +
           QByteArray::number(jpeg.size.height()) + "\n/BitsPerComponent 8\n/ColorSpace " +
           (jpeg.components == 1 ? "/DeviceGray" : "/DeviceRGB") + "\n/Length " +
           QByteArray::number(jpeg.bytes.size()) + "\n/Filter /DCTDecode\n>>\nstream\n";
}

// Writes in pieces, keeping the position and the first failure.
class PieceWriter {
public:
    explicit PieceWriter(QIODevice* device) : device_(device) {}
    void write(const QByteArray& bytes) { write(bytes.constData(), bytes.size()); }
    void write(const char* data, qsizetype size) {
        if (failed_ || size == 0) return;
        failed_ = device_->write(data, size) != size;
        position_ += size;
    }
    qsizetype position() const { return position_; }
    bool failed() const { return failed_; }

private:
    QIODevice* device_;
    qsizetype position_ = 0;
    bool failed_ = false;
};

}  // namespace

JpegEmbedding writeWithJpegs(const QByteArray& pdf,
                             const std::vector<std::optional<EmbeddableJpeg>>& images,
                             QSize standIn, QIODevice* device) {
    const std::optional<PdfLayout> layout = readLayout(pdf);
    if (!layout || layout->objects.empty()) return JpegEmbedding::Unexpected;
    // Object number -> the JPEG it becomes, checked whole before anything is written.
    const std::vector<const PdfObject*> drawn = drawnImages(pdf, *layout);
    if (drawn.size() != images.size()) return JpegEmbedding::Unexpected;
    std::map<int, const EmbeddableJpeg*> replaced;
    for (size_t i = 0; i < drawn.size(); ++i) {
        if (!images[i]) continue;
        if (!drawnAsStandIn(pdf, *drawn[i], standIn)) return JpegEmbedding::Unexpected;
        replaced[drawn[i]->number] = &*images[i];
    }

    PieceWriter out(device);
    std::vector<qsizetype> offsets(size_t(layout->size), -1);
    out.write(pdf.constData(), layout->objects.front().begin);
    for (const PdfObject& object : layout->objects) {
        offsets[size_t(object.number)] = out.position();
        if (const auto found = replaced.find(object.number); found != replaced.end()) {
            out.write(embeddedImage(object.number, *found->second));
            out.write(found->second->bytes);
            out.write(QByteArrayLiteral("\nendstream\nendobj\n"));
        } else {
            out.write(pdf.constData() + object.begin, object.end - object.begin);
        }
    }
    const qsizetype xref = out.position();
    QByteArray table = "xref\n0 " + QByteArray::number(layout->size) + "\n";
    for (const qsizetype offset : offsets)
        table += offset < 0 ? QByteArray("0000000000 65535 f \n")
                            : QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    out.write(table);
    out.write(layout->trailer);
    out.write("startxref\n" + QByteArray::number(xref) + "\n%%EOF\n");
    return out.failed() ? JpegEmbedding::WriteFailed : JpegEmbedding::Written;
}

}  // namespace quillon
