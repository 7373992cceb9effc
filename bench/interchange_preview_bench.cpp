// The import screen's preview of a file: from the pick until its first rows are painted, and
// until the dry run's counts are shown. Offscreen, in-process; the device services are the
// tests' fakes. Median and worst of 7.
//   interchange_preview_bench DATA_DIR FILE
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTableWidget>
#include <algorithm>
#include <cstdio>

#include "FakeServices.h"
#include "exchange/ImportPreviewView.h"
#include "exchange/ImportViewController.h"
#include "platform/DataFolders.h"
#include "toolkit/NavigationController.h"

using namespace quillon;

namespace {

double ms(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

void report(const char* what, std::vector<double> samples, const char* target) {
    std::sort(samples.begin(), samples.end());
    std::printf("%-44s median %8.1f ms  worst %8.1f ms  (target: %s)\n", what,
                samples[samples.size() / 2], samples.back(), target);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: interchange_preview_bench DATA_DIR FILE\n");
        return 1;
    }
    const QString dataDir = QString::fromLocal8Bit(argv[1]), file = QString::fromLocal8Bit(argv[2]);
    DataFolders::setDataDir(dataDir);
    Status status;
    auto store = CatalogueStore::open(dataDir, &status);
    if (!store) {
        std::fprintf(stderr, "%s\n", qPrintable(status.describe()));
        return 1;
    }
    ManagedObjectContext& context = store->viewContext();
    bench::FakeServices fakes(context);
    Services& services = fakes.services;

    std::vector<double> rows, counts;
    QString counted;
    for (int run = 0; run < 7; ++run) {
        auto* screen = new ImportViewController(services);
        NavigationController window(screen);
        window.resize(900, 860);
        window.show();
        window.grab();
        QElapsedTimer timer;
        timer.start();
        screen->documentPickerDidPickDocumentAt(file);
        window.grab();  // painted with the rows
        rows.push_back(ms(timer));
        while (!screen->PreviewView->countsLabel->text().startsWith("A dry run:") &&
               timer.elapsed() < 60000)
            QCoreApplication::processEvents();
        counts.push_back(ms(timer));
        counted = screen->PreviewView->countsLabel->text().section('\n', 0, 0);
        if (run == 0) {
            std::printf("%s: %d rows previewed, %s; catalogue of %d movies\n", qPrintable(file),
                        screen->PreviewView->table->rowCount() - 1, qPrintable(counted),
                        context.count(Entity::Movies));
        }
    }
    report("preview: the first ten rows painted", rows, "<= 300 ms");
    report("preview: the dry run's counts shown", counts, "after the rows");
    return 0;
}
