// quillon_generate --data-dir DIR --movies N [--covers] [--seed S] [--actors N] [--old-store]
//   --old-store  a store as a version without small copies left it (schema 1)
#include <sqlite3.h>

#include <QGuiApplication>
#include <cstdio>

#include "CatalogueGenerator.h"

namespace {

// What an older Quillon's store is: no table of small copies, schema version 1.
bool makeOldStore(const QString& path) {
    sqlite3* db = nullptr;
    bool done = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) ==
                SQLITE_OK;
    done = done && sqlite3_exec(db, "DROP TABLE SmallCovers; PRAGMA user_version = 1", nullptr,
                                nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return done;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts for the cover texts
    QString dataDir;
    quillon::bench::GeneratorOptions options;
    bool oldStore = false;
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
        else if (args[i] == "--old-store")
            oldStore = true;
        else {
            std::fprintf(stderr,
                         "usage: quillon_generate --data-dir DIR --movies N [--covers] [--seed S] "
                         "[--actors N] [--old-store]\n");
            return 2;
        }
    }
    if (dataDir.isEmpty()) {
        std::fprintf(stderr, "--data-dir is required\n");
        return 2;
    }
    options.smallCopies = !oldStore;
    quillon::Status status;
    auto store = quillon::CatalogueStore::open(dataDir, &status);
    if (!store) {
        std::fprintf(stderr, "%s\n", status.describe().toUtf8().constData());
        return 1;
    }
    const int written = quillon::bench::generateCatalogue(store->viewContext(), options);
    const QString path = store->filePath();
    store.reset();
    if (oldStore && !makeOldStore(path)) {
        std::fprintf(stderr, "could not make %s an old store\n", qPrintable(path));
        return 1;
    }
    std::printf("%d movies written to %s\n", written, qPrintable(path));
    return written == options.movies ? 0 : 1;
}
