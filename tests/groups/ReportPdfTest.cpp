#include <gtest/gtest.h>

#include <QDir>
#include <QPdfDocument>
#include <QRegularExpression>

#include "ReportTestUtil.h"
#include "groups/BreakdownReport.h"
#include "groups/ReportCommand.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/ViewController.h"

namespace quillon {
namespace {

using A = Attribute;

// What a reader finds in a PDF file.
struct ReadBack {
    int pages = 0;
    QList<QSizeF> pageSizes;
    QStringList lines;     // every page's text lines, in order
    int outside = 0;  // pieces of text not within their page
    QList<int> imageWidths;
};

ReadBack readBack(const QString& path) {
    ReadBack found;
    QPdfDocument pdf;
    if (pdf.load(path) != QPdfDocument::Error::None) return found;
    found.pages = pdf.pageCount();
    for (int page = 0; page < found.pages; ++page) {
        const QSizeF size = pdf.pagePointSize(page);
        found.pageSizes << size;
        const QPdfSelection text = pdf.getAllText(page);
        found.lines << text.text().split(QRegularExpression("[\r\n]+"), Qt::SkipEmptyParts);
        const QRectF inside = QRectF(QPointF(), size).adjusted(-0.5, -0.5, 0.5, 0.5);
        for (const QPolygonF& piece : text.bounds())
            if (!inside.contains(piece.boundingRect())) ++found.outside;
    }
    static const QRegularExpression image(R"(/Subtype\s*/Image\s*/Width\s+(\d+))");
    for (const auto& match : image.globalMatch(QString::fromLatin1(test::contents(path))))
        found.imageWidths << match.captured(1).toInt();
    return found;
}

class ReportPdfTest : public ::testing::Test {
protected:
    void SetUp() override {
        anchor.resize(400, 600);
        anchor.show();
    }
    void TearDown() override {
        for (AlertController* alert : AlertController::presentedAlerts()) delete alert;
    }
    // Movies of one director, each with both covers and a note of two lines.
    std::vector<MoviePtr> addMovies(int count) {
        std::vector<MoviePtr> movies;
        for (int i = 0; i < count; ++i) {
            MoviePtr movie =
                test::addMovie(fixture.context(),
                               {{A::name, QString("Movie %1").arg(i, 2, 10, QChar('0'))},
                                {A::director, "Mann"},
                                {A::leadingActor1, "Ann"},
                                {A::genre, "Drama"},
                                {A::notes, "First line\nsecond line"}},
                               qint16(1950 + i), 100);
            movie->setImage(A::frontImage,
                            test::jpegOf({400, 600}, QColor::fromHsv(i * 7, 255, 200)));
            movie->setImage(A::backImage, test::jpegOf({400, 600}, QColor::fromHsv(i * 7, 90, 90)));
            movies.push_back(movie);
        }
        EXPECT_TRUE(fixture.saveContext());
        return movies;
    }
    static QStringList linesOf(const std::vector<MoviePtr>& movies) {
        QStringList lines{"Movies Filtered by Director: Mann"};
        for (const MoviePtr& movie : movies)
            lines << "Director: Mann"
                  << "Actor: Ann"
                  << "Movie Name: " + *movie->name() << QString("Year: %1").arg(movie->year())
                  << "Run Time: 100"
                  << "Genre: Drama"
                  << "Notes: First line"
                  << "second line";
        return lines;
    }
    QString reportPath() const {
        return QDir(fixture.dataDir()).filePath("Documents/MoviesFilteredByDirector.pdf");
    }
    QStringList alerts() {
        QStringList shown;
        for (AlertController* alert : AlertController::presentedAlerts())
            shown << alert->title() + " / " + alert->message();
        return shown;
    }

    test::AppFixture fixture;
    ViewController anchor;
    test::LogCapture log;
};

TEST_F(ReportPdfTest, EveryLineOfAManyPageReportIsOnAPageAndTheFileIsShared) {
    const std::vector<MoviePtr> movies = addMovies(24);
    shareBreakdownReport(GroupKind::Director, movies, fixture.services(), &anchor);

    const ReadBack pdf = readBack(reportPath());
    EXPECT_GE(pdf.pages, 8);
    EXPECT_EQ(pdf.pageSizes, QList<QSizeF>(pdf.pages, QSizeF(612, 792)));
    EXPECT_EQ(pdf.lines, linesOf(movies));
    EXPECT_EQ(pdf.outside, 0);
    // Both covers of every movie, at twice the 99.2 pt they are drawn, not at their full 400.
    EXPECT_EQ(pdf.imageWidths, QList<int>(48, 198));
    EXPECT_TRUE(log.lines.contains("wrote PDF file with multiple pages to: " + reportPath()));
    ASSERT_EQ(fixture.devices().share.requests.size(), 1);
    EXPECT_EQ(fixture.devices().share.requests[0].files, QStringList{reportPath()});
    EXPECT_EQ(fixture.devices().share.anchors[0], &anchor);
    EXPECT_EQ(alerts(), QStringList());

    // A second press replaces the file with the second report, and leaves nothing beside it.
    const std::vector<MoviePtr> two(movies.begin(), movies.begin() + 2);
    shareBreakdownReport(GroupKind::Director, two, fixture.services(), &anchor);
    EXPECT_EQ(readBack(reportPath()).lines, linesOf(two));
    EXPECT_EQ(QDir(fixture.dataDir() + "/Documents").entryList(QDir::Files),
              QStringList{"MoviesFilteredByDirector.pdf"});
}

TEST_F(ReportPdfTest, NothingIsWrittenOrSharedForAnEmptyListOrAFailedWrite) {
    shareBreakdownReport(GroupKind::Genre, {}, fixture.services(), &anchor);
    EXPECT_EQ(alerts(), QStringList{"Empty Data Set! / No Movies to Print!"});
    EXPECT_FALSE(QFile::exists(fixture.dataDir() + "/Documents/MoviesFilteredByGenre.pdf"));
    TearDown();

    // A file stands where the Documents folder would be: nothing can be written into it.
    ASSERT_TRUE(test::writeBytes(fixture.dataDir() + "/Documents", "not a folder"));
    shareBreakdownReport(GroupKind::Director, addMovies(1), fixture.services(), &anchor);
    const QStringList shown = alerts();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("PDF Report / Could not create PDF file: "))
        << shown[0].toStdString();
    EXPECT_GT(shown[0].size(), QString("PDF Report / Could not create PDF file: ").size());
    EXPECT_TRUE(fixture.devices().share.requests.isEmpty());
    EXPECT_FALSE(log.lines.filter("wrote PDF file").size());
}

TEST_F(ReportPdfTest, ADeviceThatCannotSendTextsIsToldAfterTheReportIsShared) {
    fixture.devices().share.canText = false;
    shareBreakdownReport(GroupKind::Director, addMovies(1), fixture.services(), &anchor);
    EXPECT_EQ(fixture.devices().share.requests.size(), 1);
    EXPECT_EQ(alerts(), QStringList());
    test::pumpEvents();
    EXPECT_EQ(alerts(), QStringList{"Can't Send Text Message / Your device is not able to send "
                                    "text messages."});
}

TEST_F(ReportPdfTest, TheReportCommandWritesEitherLayoutOrNothing) {
    const std::vector<MoviePtr> movies = addMovies(2);
    QList<std::tuple<GroupKind, QString, bool, QString>> asked;
    auto rows = [&](ManagedObjectContext&, GroupKind kind, const QString& value, bool descending,
                    const QString& search) {
        asked << std::make_tuple(kind, value, descending, search);
        return value == "Mann" ? movies : std::vector<MoviePtr>{};
    };
    const QString path = QDir(fixture.dataDir()).filePath("out.pdf");
    EXPECT_EQ(
        runReportCommand(
            fixture.context(),
            {"actor", "Mann", "--descending", "--search", "ov", "--print-layout", path}, rows),
        0);
    EXPECT_EQ(asked,
              (QList{std::make_tuple(GroupKind::Actor, QString("Mann"), true, QString("ov"))}));
    const QStringList lines = readBack(path).lines;
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.mid(0, 3), (QStringList{"Movies Filtered by Actor: Mann", "Actor 1: Ann",
                                            "Movie Name: Movie 00"}));

    EXPECT_EQ(runReportCommand(fixture.context(), {"director", "Mann", path}, rows), 0);
    EXPECT_EQ(readBack(path).lines, linesOf(movies));

    const QString none = QDir(fixture.dataDir()).filePath("none.pdf");
    EXPECT_EQ(runReportCommand(fixture.context(), {"director", "Nobody", none}, rows), 1);
    EXPECT_FALSE(QFile::exists(none));
    for (const QStringList& wrong :
         {QStringList{"directors", "Mann", none}, {"director", "Mann"}, {"director", "--x", none}})
        EXPECT_EQ(runReportCommand(fixture.context(), wrong, rows), 2);
    EXPECT_FALSE(QFile::exists(none));
}

}  // namespace
}  // namespace quillon
