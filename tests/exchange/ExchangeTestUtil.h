#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <ostream>

#include "exchange/MovieImporter.h"
#include "store/CatalogueStore.h"

namespace quillon::test {

// A small real JPEG of one colour with a gradient, so that re-encoding changes its bytes.
QByteArray makeJpeg(int width, int height, QColor color, int quality = 95);

// Runs the export into memory; fails the test when the export reports a failure.
QByteArray exportBytes(ManagedObjectContext& context);

// Imports the bytes as a file; returns the importer's counts. wrongFile is set when asked.
exchange::ImportCounts importBytes(ManagedObjectContext& context, const QByteArray& file,
                                   bool* wrongFile = nullptr, QStringList* problems = nullptr);

// Every attribute of every movie, in export order, covers as sizes and a checksum: two stores
// with equal dumps hold the same movies.
QStringList dumpMovies(ManagedObjectContext& context, bool withImdb = false);

// A pending movie with the given name, year and director; addMovie also saves it.
MoviePtr insertMovie(ManagedObjectContext& context, const QString& name, qint16 year,
                     const QString& director);
MoviePtr addMovie(ManagedObjectContext& context, const QString& name, qint16 year,
                  const QString& director);

// A write-only device that accepts `limit` bytes and then fails every write.
class FailDevice : public QIODevice {
public:
    explicit FailDevice(qint64 limit) : limit_(limit) { open(QIODevice::WriteOnly); }
    QByteArray written;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    qint64 limit_;
};

// Damages the store file (closed) where a saved cover runs through its overflow pages, so that
// reading that cover fails while everything else reads.
void breakCoverPages(const QString& dataDir, const QByteArray& cover);

}  // namespace quillon::test

// Readable failure output for byte strings (TestSupport covers QString).
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << (bytes.size() > 600 ? bytes.left(600) + "..." : bytes).toStdString() << '"';
}
