#include "BenchSupport.h"

#include <sys/resource.h>

#include <QFile>
#include <QImage>
#include <QList>
#include <cstdio>

namespace quillon::bench {

bool makePhotoLikeJpeg(const QString& path, int seed) {
    QImage image(4000, 3000, QImage::Format_RGB888);
    quint32 state = 2463534242u + quint32(seed);
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int grain = int(state & 31) - 16;
            line[3 * x] = uchar(qBound(0, x * 255 / 4000 + grain, 255));
            line[3 * x + 1] = uchar(qBound(0, y * 255 / 3000 + grain, 255));
            line[3 * x + 2] = uchar(qBound(0, (seed * 90 + (x + y) / 40) % 256 + grain, 255));
        }
    }
    return image.save(path, "JPG", 90);
}

long peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

long currentRssMb() {
    QFile status("/proc/self/statm");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    const QList<QByteArray> fields = status.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4096 / (1024 * 1024) : -1;
}

std::unique_ptr<CatalogueStore> openCatalogueArgument(int argc, char** argv, const char* program) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DATA_DIR\n", program);
        return nullptr;
    }
    Status status;
    auto store = CatalogueStore::open(QString::fromLocal8Bit(argv[1]), &status);
    if (!store) std::fprintf(stderr, "%s\n", qPrintable(status.describe()));
    return store;
}

}  // namespace quillon::bench
