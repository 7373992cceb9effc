// exchange_reference_bench --data-dir DIR --file EXPORT_FILE
// The references the exchange figures are judged against, measured on this machine:
// re-encoding every stored cover as JPEG quality 60 on two threads (what export cannot avoid),
// and Base64 decoding of the file's cover fields with Qt and with our table decoder.
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <cstdio>

#include "formats/Base64.h"
#include "store/CatalogueStore.h"

using namespace quillon;

namespace {

QList<QByteArray> storedCovers(ManagedObjectContext& context) {
    QList<QByteArray> covers;
    for (const MoviePtr& movie : context.fetch<Movies>()) {
        for (Attribute a : {Attribute::frontImage, Attribute::backImage}) {
            if (auto bytes = movie->image(a)) covers << *bytes;
        }
    }
    return covers;
}

QByteArray reencode(const QByteArray& stored) {
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImage::fromData(stored).save(&buffer, "JPG", 60);
    return jpeg;
}

QList<QByteArray> coverFields(const QString& path) {
    QFile file(path);
    QList<QByteArray> fields;
    if (!file.open(QIODevice::ReadOnly)) return fields;
    while (!file.atEnd()) {
        const QList<QByteArray> parts = file.readLine().chopped(1).split('^');
        if (parts.size() < 16) continue;
        for (int i : {14, 15})
            if (!parts[i].isEmpty()) fields << parts[i];
    }
    return fields;
}

template <class Decode>
double megabytesPerSecond(const QList<QByteArray>& fields, Decode decode) {
    qint64 bytes = 0;
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < 3; ++round) {
        for (const QByteArray& field : fields) {
            if (decode(field) < 0) return -1;
            bytes += field.size();
        }
    }
    return bytes / 1e6 / (timer.nsecsElapsed() / 1e9);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QString dataDir, exportFile;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--data-dir") dataDir = args[i + 1];
        if (args[i] == "--file") exportFile = args[i + 1];
    }
    Status status;
    auto store = CatalogueStore::open(dataDir, &status);
    if (!store || exportFile.isEmpty()) {
        std::fprintf(stderr, "usage: exchange_reference_bench --data-dir DIR --file FILE\n");
        return 2;
    }
    const QList<QByteArray> covers = storedCovers(store->viewContext());
    QThreadPool::globalInstance()->setMaxThreadCount(2);
    QElapsedTimer timer;
    timer.start();
    const QList<QByteArray> jpegs = QtConcurrent::blockingMapped(covers, reencode);
    std::printf("reference_jpeg_reencode_seconds %.2f (%lld covers, two threads)\n",
                timer.elapsed() / 1000.0, qlonglong(jpegs.size()));

    const QList<QByteArray> fields = coverFields(exportFile);
    const double qt = megabytesPerSecond(fields, [](const QByteArray& f) {
        auto result = QByteArray::fromBase64Encoding(f, QByteArray::AbortOnBase64DecodingErrors);
        return result ? result.decoded.size() : -1;
    });
    const double table = megabytesPerSecond(fields, [](const QByteArray& f) {
        auto result = exchange::decodeBase64(f);
        return result ? result->size() : -1;
    });
    std::printf("base64_qt_mb_per_s %.0f\nbase64_table_mb_per_s %.0f\n", qt, table);
    return 0;
}
