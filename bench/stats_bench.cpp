// The collection's figures over a catalogue made by quillon_generate. Offscreen, in-process; the
// device services are the tests' fakes.
//   stats_bench DATA_DIR QUILLON   computing every figure (median and worst of 9), opening the
//                                  screen until painted and Save as PDF (of 5), then the whole
//                                  `quillon stats --json` process (of 5)
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchSupport.h"
#include "FakeServices.h"
#include "catalogue/CollectionStatistics.h"
#include "statistics/StatisticsPdf.h"
#include "statistics/StatisticsViewController.h"
#include "toolkit/NavigationController.h"

using namespace quillon;

namespace {

template <class F>
void timed(const char* what, int runs, double target, F&& run) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!run()) {
            std::printf("%-58s failed\n", what);
            return;
        }
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-58s median %7.1f ms  worst %7.1f ms  (target <= %g ms)\n", what,
                ms[ms.size() / 2], ms.back(), target);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: stats_bench DATA_DIR QUILLON\n");
        return 2;
    }
    {
        auto store = bench::openCatalogueArgument(2, argv, "stats_bench");
        if (!store) return 1;
        ManagedObjectContext& context = store->viewContext();
        std::printf("catalogue: %d movies\n", context.count(Entity::Movies));
        timed("compute every figure", 9, 150,
              [&] { return collectionStatistics(context).movies >= 0; });

        bench::FakeServices fakes(context);
        Services& services = fakes.services;
        timed("open the screen until its charts are painted", 5, 300, [&] {
            NavigationController window(new StatisticsViewController(services));
            window.resize(1100, 760);
            window.show();
            window.grab();
            return true;
        });

        const CollectionStatistics statistics = collectionStatistics(context);
        QTemporaryDir out;
        timed("Save as PDF", 5, 1000, [&] {
            return bool(writeStatisticsPdfFile(statistics, out.filePath("Statistics.pdf"),
                                               store->dataDir()));
        });
    }  // the command takes the catalogue's lock
    timed("quillon stats --json, whole process", 5, 1000, [&] {
        QProcess process;
        process.start(QString::fromLocal8Bit(argv[2]),
                      {"stats", "--json", "--data-dir", QString::fromLocal8Bit(argv[1])});
        return process.waitForFinished(60000) && process.exitCode() == 0;
    });
    return 0;
}
