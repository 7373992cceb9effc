#include "ExchangeTestUtil.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include "exchange/ExportJob.h"
#include "platform/DiagnosticLog.h"

namespace quillon::test {

QByteArray makeJpeg(int width, int height, QColor color, int quality) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, color);
    gradient.setColorAt(1, color.darker(300));
    painter.fillRect(image.rect(), gradient);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", quality);
    return bytes;
}

QByteArray exportBytes(ManagedObjectContext& context) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    exchange::ExportJob job(context, &buffer);
    const Status status = job.run();
    EXPECT_TRUE(status.ok) << status.describe().toStdString();
    return bytes;
}

exchange::ImportCounts importBytes(ManagedObjectContext& context, const QByteArray& file,
                                   bool* wrongFile, QStringList* problems) {
    QByteArray bytes = file;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    exchange::MovieImporter importer(context, &buffer);
    importer.setFailureLog(diagnosticLog);
    importer.run();
    if (wrongFile) *wrongFile = importer.isWrongFile();
    if (problems) *problems = importer.problems();
    return importer.counts();
}

namespace {

QString coverDigest(const OptionalBytes& bytes) {
    if (!bytes) return "none";
    return QString("%1:%2")
        .arg(bytes->size())
        .arg(QString::fromLatin1(
            QCryptographicHash::hash(*bytes, QCryptographicHash::Md5).toHex().left(8)));
}

}  // namespace

QStringList dumpMovies(ManagedObjectContext& context, bool withImdb) {
    QStringList rows;
    const auto movies = context.fetch<Movies>(
        std::nullopt,
        {{Attribute::name, true}, {Attribute::year, true}, {Attribute::director, true}});
    for (const MoviePtr& movie : movies) {
        QStringList fields;
        for (int a = 0; a <= int(Attribute::backImage); ++a) {
            const Attribute attribute = Attribute(a);
            if (attribute == Attribute::imdb && !withImdb) continue;
            if (isTextAttribute(attribute)) {
                const OptionalText text = movie->text(attribute);
                fields << (text ? '"' + *text + '"' : QString("absent"));
            } else if (isNumberAttribute(attribute)) {
                fields << QString::number(movie->number(attribute));
            } else {
                fields << coverDigest(movie->image(attribute));
            }
        }
        rows << fields.join('|');
    }
    return rows;
}

MoviePtr insertMovie(ManagedObjectContext& context, const QString& name, qint16 year,
                     const QString& director) {
    MoviePtr movie = Movies::insertInto(context);
    movie->setName(name);
    movie->setYear(year);
    movie->setText(Attribute::director, director);
    return movie;
}

MoviePtr addMovie(ManagedObjectContext& context, const QString& name, qint16 year,
                  const QString& director) {
    MoviePtr movie = insertMovie(context, name, year, director);
    EXPECT_TRUE(context.save().ok);
    return movie;
}

qint64 FailDevice::writeData(const char* data, qint64 size) {
    const qint64 room = limit_ - written.size();
    if (room < size) {
        written.append(data, qMax<qint64>(room, 0));
        limit_ = written.size();
        setErrorString("No space left on device");
        return -1;
    }
    written.append(data, size);
    return size;
}

void breakCoverPages(const QString& dataDir, const QByteArray& cover) {
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

}  // namespace quillon::test
