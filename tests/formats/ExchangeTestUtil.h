#pragma once
// What the exchange tests share: files, movies, devices that fail.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <ostream>

#include "formats/ExportFormat.h"
#include "formats/ExportJob.h"
#include "formats/MovieImporter.h"
#include "platform/DiagnosticLog.h"
#include "store/CatalogueStore.h"
#include "support/FailingDevice.h"
#include "support/RefuseWrites.h"
#include "support/TestSupport.h"

namespace quillon::test {

// A small real JPEG of one colour with a gradient, so that re-encoding changes its bytes.
inline QByteArray makeJpeg(int width, int height, QColor color, int quality = 95) {
    QImage image(width, height, QImage::Format_RGB32);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, color);
    gradient.setColorAt(1, color.darker(300));
    QPainter(&image).fillRect(image.rect(), gradient);
    return imageBytes(image, "JPG", quality);
}

// Runs the export into memory; fails the test when the export reports a failure.
inline QByteArray exportBytes(ManagedObjectContext& context) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const Status status = exchange::ExportJob(context, &buffer).run();
    EXPECT_TRUE(status.ok) << status.describe().toStdString();
    return buffer.data();
}

// What an import ended with; failed saves also go to the diagnostic log.
struct Imported {
    Status status;
    exchange::ImportCounts counts;
    QStringList problems;
    QString backup;
};
inline Imported importFrom(ManagedObjectContext& context, QIODevice* file, bool backsUpFirst = true,
                           qsizetype maxLineBytes = exchange::kMaxLineBytes) {
    exchange::MovieImporter importer(context, file);
    importer.setFailureLog(diagnosticLog);
    importer.setBacksUpFirst(backsUpFirst);
    importer.setMaxLineBytes(maxLineBytes);
    // A braced list is evaluated in order: the run comes first.
    return {importer.run(), importer.counts(), importer.problems(), importer.backupName()};
}

inline Imported importBytes(ManagedObjectContext& context, QByteArray file,
                            bool backsUpFirst = true) {
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    return importFrom(context, &buffer, backsUpFirst);
}

// A movie line with the key fields set; `more` sets other fields by index.
inline QByteArray movieLine(const QString& name, const QString& year, const QString& director,
                            const QMap<int, QString>& more = {}) {
    QStringList fields(16);
    fields[7] = name;
    fields[13] = year;
    fields[1] = director;
    for (auto it = more.begin(); it != more.end(); ++it) fields[it.key()] = it.value();
    return fields.join('^').toUtf8() + '\n';
}

// The catalogue's names in store order, "-" for a movie without one.
inline QStringList names(ManagedObjectContext& context) {
    QStringList out;
    for (const MoviePtr& m : context.fetch<Movies>()) out << m->name().value_or("-");
    return out;
}

// Every field of every movie in the export's order, covers as checksums: two stores with equal
// dumps hold the same movies.
inline QStringList dumpMovies(ManagedObjectContext& context) {
    QStringList rows;
    for (const MoviePtr& movie : context.fetch<Movies>(
             std::nullopt,
             {{Attribute::name, true}, {Attribute::year, true}, {Attribute::director, true}})) {
        QStringList fields;
        for (const Attribute a : exchange::kFieldAttributes) {
            const OptionalText text = isTextAttribute(a) ? movie->text(a) : std::nullopt;
            const OptionalBytes cover = isImageAttribute(a) ? movie->image(a) : std::nullopt;
            fields << (isNumberAttribute(a) ? QString::number(movie->number(a))
                       : text               ? '"' + *text + '"'
                       : cover              ? QString::number(qHash(*cover))
                                            : QString("absent"));
        }
        rows << fields.join('|');
    }
    return rows;
}

// A pending movie with the given name, year and director; addMovie also saves it.
inline MoviePtr insertMovie(ManagedObjectContext& context, const QString& name, qint16 year,
                            const QString& director) {
    MoviePtr movie = Movies::insertInto(context);
    movie->setName(name);
    movie->setYear(year);
    movie->setText(Attribute::director, director);
    return movie;
}

inline MoviePtr addMovie(ManagedObjectContext& context, const QString& name, qint16 year,
                         const QString& director) {
    MoviePtr movie = insertMovie(context, name, year, director);
    EXPECT_TRUE(context.save().ok);
    return movie;
}

// Damages the store file (closed) where a saved cover runs through its overflow pages, so that
// reading that cover fails while everything else reads.
inline void breakCoverPages(const QString& dataDir, const QByteArray& cover) {
    QFile file(QDir(dataDir).filePath(CatalogueStore::kFileName));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray bytes = file.readAll();
    const auto byte = [&](int i) { return int(quint8(bytes[i])); };
    const int pageSize = byte(16) << 8 | byte(17);
    ASSERT_GE(pageSize, 512);
    // A piece from the middle of the cover lies on an overflow page that is not its last; the
    // page's first four bytes name the next one: point them past the end of the file.
    for (qsizetype at = cover.size() / 3; at < cover.size() * 2 / 3; at += 101) {
        const qsizetype found = bytes.indexOf(cover.mid(at, 64));
        if (found < 0 || found % pageSize < 4 || found % pageSize + 64 > pageSize) continue;
        ASSERT_TRUE(file.seek(found - found % pageSize));
        ASSERT_EQ(file.write(QByteArray::fromHex("7FFFFFF0")), 4);
        return;
    }
    FAIL() << "the cover was not found in the store file";
}

// Serves `head`, then `tail` over and over without end, like /dev/zero behind a header; with
// an empty tail it ends after the head.
class EndlessDevice : public QIODevice {
public:
    EndlessDevice(QByteArray head, QByteArray tail, bool sequential)
        : head_(std::move(head)), tail_(std::move(tail)), sequential_(sequential) {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return sequential_; }
    qint64 size() const override {
        return sequential_ ? 0 : tail_.isEmpty() ? head_.size() : qint64(1) << 62;
    }

protected:
    qint64 readData(char* data, qint64 size) override {
        qint64 at = sequential_ ? served_ : pos();
        if (tail_.isEmpty()) size = qMax<qint64>(0, qMin(size, head_.size() - at));
        for (qint64 i = 0; i < size; ++i, ++at) {
            data[i] = at < head_.size() ? head_[at] : tail_[(at - head_.size()) % tail_.size()];
        }
        served_ += size;
        return size;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray head_, tail_;
    bool sequential_;
    qint64 served_ = 0;
};

}  // namespace quillon::test

// Readable failure output for byte strings (TestSupport covers QString).
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << (bytes.size() > 600 ? bytes.left(600) + "..." : bytes).toStdString() << '"';
}
