// The collection's figures over a catalogue made by quillon_generate.
//   stats_bench DATA_DIR QUILLON     computing every figure (median and worst of 9), then the
//                                    whole `quillon stats --json` process (median of 5)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchSupport.h"
#include "catalogue/CollectionStatistics.h"

using namespace quillon;

namespace {

struct Spread {
    double median = 0;
    double worst = 0;
};

template <class F>
Spread timed(int runs, F&& run) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!run()) return {-1, -1};
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: stats_bench DATA_DIR QUILLON\n");
        return 2;
    }
    qint64 movies = 0;
    {
        auto store = bench::openCatalogueArgument(2, argv, "stats_bench");
        if (!store) return 1;
        const Spread compute = timed(9, [&] {
            movies = collectionStatistics(store->viewContext()).movies;
            return true;
        });
        std::printf(
            "compute every figure, %lld movies: median %.1f ms, worst %.1f ms "
            "(target <= 150 ms)\n",
            movies, compute.median, compute.worst);
    }  // the command takes the catalogue's lock
    const Spread command = timed(5, [&] {
        QProcess process;
        process.start(QString::fromLocal8Bit(argv[2]),
                      {"stats", "--json", "--data-dir", QString::fromLocal8Bit(argv[1])});
        return process.waitForFinished(60000) && process.exitCode() == 0;
    });
    std::printf(
        "quillon stats --json, whole process: median %.0f ms, worst %.0f ms "
        "(target <= 1000 ms)\n",
        command.median, command.worst);
    return command.median < 0 ? 1 : 0;
}
