#pragma once
// What the spreadsheet and Tellico tests share: imports and exports in memory, and movies whose
// texts try every format's limits.

#include "ExchangeTestUtil.h"
#include "formats/CatalogueExport.h"
#include "formats/FileImport.h"

namespace quillon::test {

inline Imported importWith(ManagedObjectContext& context, QByteArray file,
                           exchange::ImportOptions options = {}) {
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    options.failureLog = diagnosticLog;
    const auto import = exchange::makeImport(context, &buffer, options);
    const Status status = import->run();
    return {status, import->counts(), import->problems(), import->backupName()};
}

struct Exported {
    QByteArray bytes;
    Status status;
    QStringList problems;
};
inline Exported exportAs(exchange::FileFormat format, ManagedObjectContext& context,
                         exchange::ExportOptions options = {}) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const auto job = exchange::CatalogueExport::make(format, context, &buffer, options);
    const Status status = job->run();
    return {buffer.data(), status, job->problems()};
}

// Texts that break naive readers and writers of every format.
inline const QStringList& awkwardTexts() {
    static const QStringList texts = {
        "Dog's Day",
        "Line one\nLine two\r\nLine three\rend",
        "Quote \"inside\", comma; semicolon | bar\ttab",
        "=SUM(A1:A9)",
        "+44 20",
        "-minus",
        "@handle",
        "\tstarts with a tab",
        "'=already guarded",
        QString::fromUtf8("Am\xC3\xA9lie \xE6\x9D\xB1\xE4\xBA\xAC\xE7\x89\xA9\xE8\xAA\x9E "
                          "\xF0\x9F\x8E\xAC"),
        "caret ^ and back\\slash",
        "  spaces around  ",
    };
    return texts;
}

// Every text and number of every movie in export order, empty texts as absent (no format but
// ours tells them apart), covers left out.
inline QStringList dumpTexts(ManagedObjectContext& context) {
    QStringList rows;
    for (const MoviePtr& movie : exchange::moviesInExportOrder(context)) {
        QStringList fields;
        for (const Attribute a : exchange::kFieldAttributes) {
            if (isImageAttribute(a)) continue;
            const QString text = movie->text(a).value_or(QString());
            fields << (isNumberAttribute(a) ? QString::number(movie->number(a))
                       : text.isEmpty()     ? QString("absent")
                                            : '"' + text + '"');
        }
        rows << fields.join('|');
    }
    return rows;
}

// A catalogue with every text field of every movie filled with awkward texts, numbers at their
// limits, and covers: a red JPEG in front, a blue PNG at the back (the second movie has none).
inline void fillAwkwardCatalogue(ManagedObjectContext& context) {
    const QStringList& texts = awkwardTexts();
    const qint16 numbers[] = {0, 1, -5, 32767, -32768, 1979};
    for (int m = 0; m < 6; ++m) {
        MoviePtr movie = Movies::insertInto(context);
        int t = m;
        for (const Attribute a : exchange::kFieldAttributes) {
            if (isTextAttribute(a))
                movie->setText(a, texts[t++ % texts.size()] + QString::number(m));
        }
        movie->setYear(numbers[m]);
        movie->setRunTime(numbers[(m + 3) % 6]);
        movie->setText(Attribute::imdb, "tt0078748");
        if (m == 1) continue;
        movie->setImage(Attribute::frontImage, makeJpeg(60 + m, 90, Qt::red));
        QImage back(40, 30 + m, QImage::Format_RGB32);
        back.fill(Qt::blue);
        movie->setImage(Attribute::backImage, imageBytes(back, "PNG"));
    }
    ASSERT_TRUE(context.save().ok);
}

// A cover as a person sees it: its size and its average colour, each channel to within 16.
inline QString coverLook(const OptionalBytes& bytes) {
    if (!bytes) return "none";
    const QImage image = QImage::fromData(*bytes).convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) return "no picture";
    qint64 r = 0, g = 0, b = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            r += qRed(pixel), g += qGreen(pixel), b += qBlue(pixel);
        }
    }
    const qint64 n = qint64(image.width()) * image.height();
    return QString("%1x%2 rgb(%3,%4,%5)")
        .arg(image.width())
        .arg(image.height())
        .arg(r / n / 16)
        .arg(g / n / 16)
        .arg(b / n / 16);
}

inline MoviePtr movieNamed(ManagedObjectContext& context, const QString& name) {
    const auto found = context.fetch<Movies>(Predicate::equals(Attribute::name, name));
    return found.size() == 1 ? found.front() : nullptr;
}

}  // namespace quillon::test
