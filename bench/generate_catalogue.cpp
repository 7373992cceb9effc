// quillon_generate --data-dir DIR --movies N [--covers] [--seed S] [--actors N]
#include <QGuiApplication>
#include <cstdio>

#include "CatalogueGenerator.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts for the cover texts
    QString dataDir;
    quillon::bench::GeneratorOptions options;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--data-dir" && i + 1 < args.size())
            dataDir = args[++i];
        else if (args[i] == "--movies" && i + 1 < args.size())
            options.movies = args[++i].toInt();
        else if (args[i] == "--covers")
            options.covers = true;
        else if (args[i] == "--actors" && i + 1 < args.size())
            options.actors = args[++i].toInt();
        else if (args[i] == "--seed" && i + 1 < args.size())
            options.seed = args[++i].toUInt();
        else {
            std::fprintf(stderr,
                         "usage: quillon_generate --data-dir DIR --movies N [--covers] [--seed S] "
                         "[--actors N]\n");
            return 2;
        }
    }
    if (dataDir.isEmpty()) {
        std::fprintf(stderr, "--data-dir is required\n");
        return 2;
    }
    quillon::Status status;
    auto store = quillon::CatalogueStore::open(dataDir, &status);
    if (!store) {
        std::fprintf(stderr, "%s\n", status.describe().toUtf8().constData());
        return 1;
    }
    const int written = quillon::bench::generateCatalogue(store->viewContext(), options);
    std::printf("%d movies written to %s\n", written, qPrintable(store->filePath()));
    return written == options.movies ? 0 : 1;
}
