#include <gtest/gtest.h>

#include "ReportTestUtil.h"
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

}  // namespace
}  // namespace quillon
