#include <gtest/gtest.h>

#include <QDir>
#include <QPdfDocument>
#include <QPrinter>
#include <QRegularExpression>

#include "catalogue/ReportPdf.h"
#include "catalogue/ReportReadBack.h"
#include "catalogue/ReportText.h"
#include "groups/BreakdownReport.h"
#include "support/TestSupport.h"
#include "toolkit/ViewController.h"

namespace quillon {
namespace {

using A = Attribute;
using test::readBack;
using test::ReadBack;

class ReportPdfTest : public ::testing::Test {
protected:
    void SetUp() override { anchor.show(); }
    void TearDown() override { test::closeAlerts(); }
    std::vector<MoviePtr> addMovies(int count) { return test::addMannMovies(fixture, count); }
    static QStringList linesOf(const std::vector<MoviePtr>& movies) {
        return test::mannReportLines(movies);
    }
    QString reportPath() const {
        return fixture.dataDir() + "/Documents/MoviesFilteredByDirector.pdf";
    }

    test::AppFixture fixture;
    ViewController anchor;
    test::LogCapture log;
};

TEST_F(ReportPdfTest, EveryLineOfAManyPageReportIsOnAPageAndTheFileIsShared) {
    const std::vector<MoviePtr> movies = addMovies(24);
    fixture.devices().share.canText = false;
    shareBreakdownReport(GroupKind::Director, movies, fixture.services(), &anchor);
    const ReadBack pdf = readBack(reportPath());
    EXPECT_GE(pdf.pages.size(), 8);
    EXPECT_EQ(pdf.pages, QList<QSizeF>(pdf.pages.size(), QSizeF(612, 792)));
    EXPECT_EQ(pdf.lines, linesOf(movies));
    EXPECT_EQ(pdf.outside, 0);
    // Both covers of every movie, as their small copies keep them (266 x 400, about 190 pixels per
    // inch as drawn), not at their full 400 x 600.
    EXPECT_EQ(pdf.imageWidths, QList<int>(48, 266));
    EXPECT_TRUE(log.lines.contains("wrote PDF file with multiple pages to: " + reportPath()));
    ASSERT_EQ(fixture.devices().share.requests.size(), 1);
    EXPECT_EQ(fixture.devices().share.requests[0].files, QStringList{reportPath()});
    EXPECT_EQ(fixture.devices().share.anchors[0], &anchor);
    // A device that cannot send texts is told so once the report is on its way.
    EXPECT_EQ(test::alertTexts(), QStringList());
    test::pumpEvents();
    EXPECT_EQ(test::alertTexts(), QStringList{"Can't Send Text Message / Your device is not able "
                                              "to send text messages."});

    // A second press replaces the file with the second report, leaving nothing beside it.
    shareBreakdownReport(GroupKind::Director, {movies[3]}, fixture.services(), &anchor);
    EXPECT_EQ(readBack(reportPath()).lines, linesOf({movies[3]}));
    EXPECT_EQ(QDir(fixture.dataDir() + "/Documents").entryList(QDir::Files),
              QStringList{"MoviesFilteredByDirector.pdf"});
}

TEST_F(ReportPdfTest, NothingIsWrittenOrSharedForAnEmptyListOrAFailedWrite) {
    shareBreakdownReport(GroupKind::Director, {}, fixture.services(), &anchor);
    EXPECT_EQ(test::alertTexts(), QStringList{"Empty Data Set! / No Movies to Print!"});
    EXPECT_FALSE(QFile::exists(reportPath()));
    TearDown();
    // A file stands where the Documents folder would be: nothing can be written into it.
    ASSERT_TRUE(test::writeBytes(fixture.dataDir() + "/Documents", "not a folder"));
    shareBreakdownReport(GroupKind::Director, addMovies(1), fixture.services(), &anchor);
    EXPECT_EQ(test::alertTexts()
                  .filter(QRegularExpression("^PDF Report / Could not create PDF "
                                             "file: ."))
                  .size(),
              1);
    EXPECT_TRUE(fixture.devices().share.requests.isEmpty());
    EXPECT_TRUE(log.lines.filter("wrote PDF file").isEmpty());
}

// How many pages of the PDF show something red.
int pagesShowingRed(const QString& path) {
    QPdfDocument pdf;
    pdf.load(path);
    int shown = 0;
    for (int page = 0; page < pdf.pageCount(); ++page) {
        const QImage look = pdf.render(page, (pdf.pagePointSize(page) / 4).toSize());
        bool red = false;
        for (int y = 0; y < look.height() && !red; ++y)
            for (int x = 0; x < look.width() && !red; ++x) {
                const QColor c = look.pixelColor(x, y);
                red = c.alpha() > 200 && c.red() > 200 && c.green() < 60 && c.blue() < 60;
            }
        shown += red;
    }
    return shown;
}

// A cover far taller than a page is drawn once, on one page, in either report and in a printout
// of the print screen's report on A4 or letter paper.
TEST_F(ReportPdfTest, ACoverTallerThanAPageIsDrawnOnceOnOnePage) {
    const MoviePtr movie =
        test::addMovie(fixture.context(), {{A::name, "Tall"}, {A::director, "Mann"}});
    movie->setImage(A::frontImage, test::jpegOf({400, 8000}, Qt::red));
    movie->setImage(A::backImage, test::jpegOf({400, 600}, Qt::blue));
    ASSERT_TRUE(fixture.saveContext());
    const QString path = fixture.dataDir() + "/tall.pdf";
    for (const ReportFamily* family : {&breakdownReportFamily(), &printReportFamily()}) {
        const auto report =
            buildReport(*family, GroupKind::Director, {movie}, {kReportViewWidth, "Mann"});
        ASSERT_TRUE(writeReportPdfFile(*report, path, fixture.dataDir()));
        EXPECT_EQ(readBack(path).imageWidths.size(), 2) << "each cover held once";
        EXPECT_EQ(pagesShowingRed(path), 1);
    }
    // The print screen holds its covers and prints a copy of its report, as the printer does.
    const auto shown = buildReport(printReportFamily(), GroupKind::Director, {movie}, {1280, {}});
    shown->holdCovers();
    for (QPageSize::PageSizeId paper : {QPageSize::A4, QPageSize::Letter}) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(paper));
        std::unique_ptr<QTextDocument>(shown->clone())->print(&printer);
        EXPECT_EQ(pagesShowingRed(path), 1) << QPageSize::name(paper).toStdString();
    }
}

// A cover red above and blue below, stored lying on its side with an EXIF tag to turn it upright.
QByteArray turnedRedOverBlue() {
    QImage lying(600, 400, QImage::Format_RGB32);
    lying.fill(Qt::blue);
    for (int y = 0; y < lying.height(); ++y)
        for (int x = 0; x < lying.width() / 2; ++x) lying.setPixelColor(x, y, Qt::red);
    return test::withExifOrientation(test::imageBytes(lying), 6);
}

QImage firstPageLook(const QString& path) {
    QPdfDocument pdf;
    pdf.load(path);
    return pdf.render(0, QSize(306, 396)).convertToFormat(QImage::Format_RGB32);
}

int pixelsApart(const QImage& a, const QImage& b) {
    int apart = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            apart += std::max({std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                               std::abs(p.blue() - q.blue())}) > 48;
        }
    return apart;
}

// Small copies go into the PDF byte for byte, and show as the decoded covers did: upright, at
// the same place and size, in their colours or grey.
TEST_F(ReportPdfTest, SmallCopiesGoInAsStoredAndShowAsDecodedCoversDo) {
    const MoviePtr movie = test::addMovie(fixture.context(), {{Attribute::name, "Heat"}});
    QImage grey(400, 600, QImage::Format_Grayscale8);
    grey.fill(90);
    movie->setImage(Attribute::frontImage, turnedRedOverBlue());
    movie->setImage(Attribute::backImage, test::imageBytes(grey));
    const auto write = [&](const QString& path) {
        const auto report =
            buildReport(breakdownReportFamily(), GroupKind::Genre, {movie}, {kReportViewWidth, {}});
        return writeReportPdfFile(*report, path, fixture.dataDir());
    };
    // Not saved yet, the covers have no small copies and are decoded.
    const QString decoded = fixture.dataDir() + "/decoded.pdf";
    ASSERT_TRUE(write(decoded));
    ASSERT_TRUE(fixture.saveContext());
    const QString embedded = fixture.dataDir() + "/embedded.pdf";
    ASSERT_TRUE(write(embedded));

    const QByteArray pdf = test::contents(embedded);
    SavedCoverReader reader;
    for (Attribute side : {Attribute::frontImage, Attribute::backImage}) {
        const std::optional<SmallCover> small = reader.readSmall(*movie->savedCover(side));
        ASSERT_TRUE(small);
        EXPECT_TRUE(pdf.contains(small->bytes));
    }
    const QImage before = firstPageLook(decoded), after = firstPageLook(embedded);
    ASSERT_EQ(before.size(), after.size());
    EXPECT_LT(pixelsApart(before, after), before.width() * before.height() / 200);
}

}  // namespace
}  // namespace quillon
