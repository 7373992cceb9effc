// The breakdown report of every movie of a catalogue made by quillon_generate, written to PDF.
//   report_bench DATA_DIR     time, file size and peak memory; then the bare layout for reference
// With REPORT_BENCH_KEEP=FILE in the environment the PDF is kept there, to be looked at.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <cstdio>

#include "BenchSupport.h"
#include "catalogue/ReportPdf.h"
#include "catalogue/ReportText.h"
#include "store/CatalogueStore.h"

using namespace quillon;

namespace {

double ms(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// The same text, fonts and paragraphs without the covers, laid out and written by Qt alone.
double bareLayout(const ReportDocument& report, const QString& path) {
    std::unique_ptr<QTextDocument> text(report.clone());
    QTextCursor cursor(text.get());
    while (!(cursor = text->find(QString(QChar::ObjectReplacementCharacter), cursor)).isNull())
        cursor.removeSelectedText();
    QElapsedTimer timer;
    timer.start();
    QPdfWriter writer(path);
    writer.setPageLayout(
        QPageLayout(QPageSize(QSizeF(kReportPageWidth, kReportPageHeight), QPageSize::Point),
                    QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
    text->setPageSize(QSizeF(kReportViewWidth, kReportPageHeight * 96 / 72));
    text->print(&writer);
    return ms(timer);
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

    QElapsedTimer timer;
    timer.start();
    auto report =
        buildReport(breakdownReportFamily(), GroupKind::Genre, movies, {kReportViewWidth, {}});
    const double built = ms(timer);
    if (const Status written = writeReportPdfFile(*report, path, store->dataDir()); !written) {
        std::fprintf(stderr, "%s\n", qPrintable(written.describe()));
        return 1;
    }
    const double total = ms(timer);
    std::printf(
        "%zu movies, %zu covers, %d pages: built in %.0f ms, written in %.0f ms, "
        "%.0f ms in all (target <= 1500 and <= 5x the bare print below)\n",
        movies.size(), report->covers().size(), report->pageCount(), built, total - built, total);
    std::printf(
        "PDF %.1f MB (target <= 40); peak memory %ld MB, %ld MB with the store open "
        "(target <= 400)\n",
        double(QFileInfo(path).size()) / 1e6, bench::peakRssMb(), rssBefore);
    if (const QString keep = qEnvironmentVariable("REPORT_BENCH_KEEP"); !keep.isEmpty()) {
        QFile::remove(keep);
        QFile::copy(path, keep);
    }
    std::printf("bare QTextDocument::print of the same text without covers: %.0f ms\n",
                bareLayout(*report, out.filePath("bare.pdf")));
    return 0;
}
