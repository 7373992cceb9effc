#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>

#include "ReportTestUtil.h"
#include "catalogue/PdfJpegEmbedding.h"
#include "catalogue/ReportPdf.h"
#include "catalogue/ReportText.h"
#include "support/FailingDevice.h"
#include "support/TestSupport.h"

namespace quillon {
namespace {

// A device that takes the whole PDF, or fails at its first byte, inside it, or at its last:
// the writer says so, with the device's reason, whenever the PDF is cut short.
TEST(ReportPdfWriterTest, AWriteThatFailsIsReportedWithItsCause) {
    test::AppFixture fixture;
    std::vector<MoviePtr> movies;
    for (const char* name : {"Heat", "Thief", "Collateral"}) {
        movies.push_back(test::addMovie(fixture.context(), {{Attribute::name, name}}));
        movies.back()->setImage(Attribute::frontImage, test::jpegOf({400, 600}, Qt::red));
    }
    const auto report = [&] {
        return buildReport(breakdownReportFamily(), GroupKind::Genre, movies,
                           {kReportViewWidth, {}});
    };
    QBuffer whole;
    ASSERT_TRUE(whole.open(QIODevice::WriteOnly));
    ASSERT_TRUE(writeReportPdf(*report(), &whole));
    const qint64 size = whole.size();
    for (const qint64 failAt : {qint64(0), size / 2, size - 1, size}) {
        SCOPED_TRACE(failAt);
        test::FailingDevice device({}, failAt);
        const Status status = writeReportPdf(*report(), &device);
        EXPECT_EQ(status.code, failAt < size ? Status::Io : Status::Ok);
        EXPECT_EQ(status.details, QString(failAt < size ? "No space left on device" : ""));
    }
}

QByteArray progressiveJpeg(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPG");
    writer.setProgressiveScanWrite(true);
    writer.write(picture);
    return bytes;
}

TEST(ReportPdfWriterTest, OnlyUprightEightBitGreyOrColourJpegsAreEmbeddedAsTheyAre) {
    const QByteArray colour = test::jpegOf({40, 60}, Qt::red);
    QImage grey(30, 20, QImage::Format_Grayscale8);
    grey.fill(90);
    const struct {
        const char* what;
        QByteArray bytes;
        QSize size;  // empty where it is not embedded
        int components;
    } cases[] = {
        {"colour", colour, {40, 60}, 3},
        {"grey", test::imageBytes(grey), {30, 20}, 1},
        {"progressive", progressiveJpeg(test::filledImage({50, 10}, Qt::blue)), {50, 10}, 3},
        {"turned by its EXIF tag", test::withExifOrientation(colour, 6), {}, 0},
        {"cut short", colour.left(colour.size() - 2), {}, 0},
        {"PNG", test::imageBytes(test::filledImage({8, 8}, Qt::red), "PNG"), {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<EmbeddableJpeg> jpeg = embeddableJpeg(c.bytes);
        ASSERT_EQ(jpeg.has_value(), !c.size.isEmpty());
        if (!jpeg) continue;
        EXPECT_EQ(jpeg->size, c.size);
        EXPECT_EQ(jpeg->components, c.components);
        EXPECT_EQ(jpeg->bytes, c.bytes);
    }
}

// A PDF that is not as expected is left alone, with nothing written: the writer then decodes.
TEST(ReportPdfWriterTest, PicturesAreReplacedOnlyWhereThePdfIsAsDrawn) {
    QBuffer drawn;
    ASSERT_TRUE(writePdf(&drawn, [](QPdfWriter&, QPainter& painter) {
        painter.drawImage(QRectF(10, 10, 100, 150), test::filledImage({2, 2}, Qt::white));
    }));
    const QByteArray pdf = drawn.data();
    const std::optional<EmbeddableJpeg> jpeg = embeddableJpeg(test::jpegOf({40, 60}, Qt::red));
    ASSERT_TRUE(jpeg);
    const struct {
        const char* what;
        QByteArray pdf;
        std::vector<std::optional<EmbeddableJpeg>> images;
        QSize standIn;
        JpegEmbedding result;
    } cases[] = {
        {"as drawn", pdf, {jpeg}, {2, 2}, JpegEmbedding::Written},
        {"drawn at another size", pdf, {jpeg}, {3, 3}, JpegEmbedding::Unexpected},
        {"more pictures than drawn", pdf, {jpeg, jpeg}, {2, 2}, JpegEmbedding::Unexpected},
        {"no cross-reference table",
         pdf.left(pdf.lastIndexOf("xref")),
         {jpeg},
         {2, 2},
         JpegEmbedding::Unexpected},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        EXPECT_EQ(writeWithJpegs(c.pdf, c.images, c.standIn, &out), c.result);
        EXPECT_EQ(out.data().contains(jpeg->bytes), c.result == JpegEmbedding::Written);
        EXPECT_EQ(out.data().isEmpty(), c.result != JpegEmbedding::Written);
    }
}

// A see-through cover not saved yet is decoded and drawn with its transparency, which the PDF
// keeps as a picture of its own; the small copies of the saved covers beside it still go in
// as stored.
TEST(ReportPdfWriterTest, SmallCopiesGoInAsStoredBesideASeeThroughCover) {
    test::AppFixture fixture;
    const MoviePtr saved = test::addMovie(fixture.context(), {{Attribute::name, "Heat"}});
    saved->setImage(Attribute::frontImage, test::jpegOf({400, 600}, Qt::red));
    ASSERT_TRUE(fixture.saveContext());
    const MoviePtr pending = test::addMovie(fixture.context(), {{Attribute::name, "Thief"}});
    QImage seeThrough(40, 60, QImage::Format_ARGB32);
    seeThrough.fill(QColor(0, 0, 255, 128));
    pending->setImage(Attribute::frontImage, test::imageBytes(seeThrough, "PNG"));
    const auto report = buildReport(breakdownReportFamily(), GroupKind::Genre, {pending, saved},
                                    {kReportViewWidth, {}});
    QBuffer pdf;
    ASSERT_TRUE(writeReportPdf(*report, &pdf));
    const std::optional<SmallCover> small =
        SavedCoverReader().readSmall(*saved->savedCover(Attribute::frontImage));
    ASSERT_TRUE(small);
    EXPECT_TRUE(pdf.data().contains(small->bytes));
    EXPECT_TRUE(QString::fromLatin1(pdf.data()).contains(QRegularExpression("/SMask \\d+ 0 R")));
}

// Once its PDF is written, a report drawn again shows its covers, not what stood in for them.
TEST(ReportPdfWriterTest, AReportDrawnAfterItsPdfShowsItsCovers) {
    test::AppFixture fixture;
    const MoviePtr movie = test::addMovie(fixture.context(), {{Attribute::name, "Heat"}});
    movie->setImage(Attribute::frontImage, test::jpegOf({400, 600}, Qt::red));
    ASSERT_TRUE(fixture.saveContext());
    const auto report =
        buildReport(breakdownReportFamily(), GroupKind::Genre, {movie}, {kReportViewWidth, {}});
    QBuffer pdf;
    ASSERT_TRUE(writeReportPdf(*report, &pdf));

    QImage shown(800, 600, QImage::Format_RGB32);
    shown.fill(Qt::white);
    report->setPageSize(QSizeF(shown.width(), -1));
    QPainter painter(&shown);
    report->drawContents(&painter);
    painter.end();
    int red = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QColor c = shown.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 60 && c.blue() < 60;
        }
    EXPECT_GT(red, 100 * 100);
}

}  // namespace
}  // namespace quillon
