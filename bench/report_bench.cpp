// The breakdown report of every movie of a catalogue made by quillon_generate, written to PDF.
//   report_bench DATA_DIR     three rounds of the report and of the bare print of its text, each
//                             timed in wall and process CPU time; the medians; size and memory
// With REPORT_BENCH_KEEP=FILE in the environment the PDF is kept there, to be looked at.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "BenchSupport.h"
#include "catalogue/ReportPdf.h"
#include "catalogue/ReportText.h"
#include "store/CatalogueStore.h"

using namespace quillon;

namespace {

// Wall and process CPU time (every thread) of a stretch, in milliseconds.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

double cpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

class Stopwatch {
public:
    Stopwatch() : cpuStart_(cpuMs()) { wall_.start(); }
    Timing elapsed() const { return {double(wall_.nsecsElapsed()) / 1e6, cpuMs() - cpuStart_}; }

private:
    QElapsedTimer wall_;
    double cpuStart_;
};

// The same text, fonts and paragraphs without the covers, laid out and written by Qt alone.
Timing bareLayout(const ReportDocument& report, const QString& path) {
    std::unique_ptr<QTextDocument> text(report.clone());
    QTextCursor cursor(text.get());
    while (!(cursor = text->find(QString(QChar::ObjectReplacementCharacter), cursor)).isNull())
        cursor.removeSelectedText();
    Stopwatch watch;
    QPdfWriter writer(path);
    writer.setPageLayout(
        QPageLayout(QPageSize(QSizeF(kReportPageWidth, kReportPageHeight), QPageSize::Point),
                    QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
    text->setPageSize(QSizeF(kReportViewWidth, kReportPageHeight * 96 / 72));
    text->print(&writer);
    return watch.elapsed();
}

Timing median(std::vector<Timing> runs) {
    const auto middle = [&](double Timing::*field) {
        std::vector<double> values;
        for (const Timing& run : runs) values.push_back(run.*field);
        std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
        return values[values.size() / 2];
    };
    return {middle(&Timing::wall), middle(&Timing::cpu)};
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto store = bench::openCatalogueArgument(argc, argv, "report_bench");
    if (!store) return 1;
    const auto movies = store->viewContext().fetch<Movies>(std::nullopt, {{Attribute::name}});
    QTemporaryDir out;
    const QString path = out.filePath("MoviesFilteredByGenre.pdf");
    const long rssBefore = bench::peakRssMb();

    std::vector<Timing> reports, bares;
    for (int round = 0; round < 3; ++round) {
        Stopwatch watch;
        auto report =
            buildReport(breakdownReportFamily(), GroupKind::Genre, movies, {kReportViewWidth, {}});
        const Timing built = watch.elapsed();
        if (const Status written = writeReportPdfFile(*report, path, store->dataDir()); !written) {
            std::fprintf(stderr, "%s\n", qPrintable(written.describe()));
            return 1;
        }
        reports.push_back(watch.elapsed());
        bares.push_back(bareLayout(*report, out.filePath("bare.pdf")));
        std::printf(
            "%zu movies, %zu covers, %d pages: built in %.0f ms, written in %.0f ms, %.0f ms in "
            "all (CPU %.0f ms); bare print %.0f ms (CPU %.0f ms)\n",
            movies.size(), report->covers().size(), report->pageCount(), built.wall,
            reports.back().wall - built.wall, reports.back().wall, reports.back().cpu,
            bares.back().wall, bares.back().cpu);
    }
    const Timing report = median(reports), bare = median(bares);
    std::printf(
        "median of 3: %.0f ms (CPU %.0f ms) (target <= 1500 and <= 5x the bare print), bare "
        "QTextDocument::print of the same text without covers %.0f ms (CPU %.0f ms): %.1fx\n",
        report.wall, report.cpu, bare.wall, bare.cpu, report.wall / bare.wall);
    std::printf(
        "PDF %.1f MB (target <= 40); peak memory %ld MB, %ld MB with the store open "
        "(target <= 400)\n",
        double(QFileInfo(path).size()) / 1e6, bench::peakRssMb(), rssBefore);
    if (const QString keep = qEnvironmentVariable("REPORT_BENCH_KEEP"); !keep.isEmpty()) {
        QFile::remove(keep);
        QFile::copy(path, keep);
    }
    return 0;
}
