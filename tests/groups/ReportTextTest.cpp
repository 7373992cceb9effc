#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>

#include "ReportTestUtil.h"
#include "groups/ReportText.h"
#include "support/TestSupport.h"

namespace quillon {
namespace {

using A = Attribute;

class ReportTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Every field set and distinct, then one with most fields absent and an empty director.
        movies.push_back(test::addMovie(context(),
                                        {{A::genre, "Drama"},
                                         {A::leadingActor1, "Ann"},
                                         {A::leadingActor2, "Bob"},
                                         {A::leadingActress1, "Cat"},
                                         {A::leadingActress2, "Dee"},
                                         {A::name, "Heat"},
                                         {A::rating, "R"},
                                         {A::director, "Mann"},
                                         {A::producer, "Art"},
                                         {A::writer, "Wes"},
                                         {A::notes, "Long"}},
                                        1995, 170));
        movies.push_back(test::addMovie(context(), {{A::name, "Ran"}, {A::director, ""}}));
    }
    ManagedObjectContext& context() { return fixture.context(); }
    // The report's paragraphs: the title's two, then the two blocks, each ending in empty ones.
    QStringList reportOf(const ReportFamily& family, GroupKind kind) {
        document = buildReport(family, kind, movies, {600, "Picked"});
        return test::paragraphsOf(*document);
    }
    // The expected paragraphs from a line order given in short names.
    // Both movies' lines follow `order`; the sparse one writes only its name, its numbers and
    // its empty director.
    static QStringList expected(const QString& title, const QHash<QString, QString>& lines,
                                const QString& order) {
        const QHash<QString, QString> sparseLines{
            {"N", "Movie Name: Ran"}, {"Y", "Year: 0"}, {"R", "Run Time: 0"}, {"D", "Director: "}};
        QStringList full, sparse;
        for (const QString& key : order.split(' ')) {
            full << lines[key];
            if (sparseLines.contains(key)) sparse << sparseLines[key];
        }
        return QStringList{title, ""} + full + QStringList{"", ""} + sparse +
               QStringList{"", "", ""};
    }

    test::AppFixture fixture;
    std::vector<MoviePtr> movies;
    std::unique_ptr<ReportDocument> document;
};

TEST_F(ReportTextTest, BreakdownReportsFollowTheirMembersLinesAndFonts) {
    const QHash<QString, QString> lines{
        {"G", "Genre: Drama"},   {"A1", "Actor: Ann"},   {"A2", "Actor: Bob"},
        {"S1", "Actress: Cat"},  {"S2", "Actress: Dee"}, {"N", "Movie Name: Heat"},
        {"Y", "Year: 1995"},     {"R", "Run Time: 170"}, {"Ra", "Rating: R"},
        {"D", "Director: Mann"}, {"P", "Producer: Art"}, {"W", "Writer: Wes"},
        {"No", "Notes: Long"}};
    const struct {
        GroupKind kind;
        QString title;
        QString order;
        QString fileName;
    } table[] = {
        {GroupKind::Genre, "Movies Filtered by Genre: Drama", "G A1 A2 S1 S2 N Y R Ra D P W No",
         "MoviesFilteredByGenre.pdf"},
        {GroupKind::Actor, "Movies Filtered by Actor: Ann", "A1 A2 S1 S2 N Y R Ra D P W G No",
         "MoviesFilteredByActor.pdf"},
        {GroupKind::Actress, "Movies Filtered by Actress: Cat", "A1 A2 S1 S2 N Y R Ra D P W G No",
         "MoviesFilteredByActress.pdf"},
        {GroupKind::Director, "Movies Filtered by Director: Mann",
         "D A1 A2 S1 S2 N Y R Ra P W G No", "MoviesFilteredByDirector.pdf"},
        {GroupKind::Producer, "Movies Filtered by Producer: Art", "P A1 A2 S1 S2 N Y R Ra D W G No",
         "MoviesFilteredByProducer.pdf"},
    };
    const ReportFamily& family = breakdownReportFamily();
    for (const auto& row : table) {
        SCOPED_TRACE(row.title.toStdString());
        EXPECT_EQ(reportOf(family, row.kind), expected(row.title, lines, row.order));
        EXPECT_EQ(family.member(row.kind).fileName, row.fileName);
    }

    // The title block: black Arial 21, centred; the blocks: black Helvetica 12, on the left.
    const QTextBlock title = document->begin();
    for (const QTextBlock& block : {title, title.next()}) {
        EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignHCenter);
        const QTextCharFormat format =
            block.length() > 1 ? block.begin().fragment().charFormat() : block.charFormat();
        EXPECT_EQ(format.fontFamilies().toStringList(), QStringList{"Arial"});
        EXPECT_EQ(format.fontPointSize(), 21);
        EXPECT_EQ(format.foreground().color(), QColor(Qt::black));
    }
    for (QTextBlock block = title.next().next(); block.isValid(); block = block.next()) {
        EXPECT_NE(block.blockFormat().alignment(), Qt::AlignHCenter) << block.text().toStdString();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QFont font = it.fragment().charFormat().font();
            EXPECT_EQ(font.family(), "Helvetica");
            EXPECT_EQ(font.pointSize(), 12);
            EXPECT_EQ(it.fragment().charFormat().foreground().color(), QColor(Qt::black));
        }
    }
}

TEST_F(ReportTextTest, PrintReportsNumberTheirActorsAndNameThePickedValue) {
    const QHash<QString, QString> lines{
        {"G", "Genre: Drama"},    {"A1", "Actor 1: Ann"},   {"A2", "Actor 2: Bob"},
        {"S1", "Actress 1: Cat"}, {"S2", "Actress 2: Dee"}, {"N", "Movie Name: Heat"},
        {"Y", "Year: 1995"},      {"D", "Director: Mann"},  {"P", "Producer: Art"}};
    const struct {
        GroupKind kind;
        QString title;
        QString order;
    } table[] = {
        {GroupKind::Genre, "Movies Filtered by Genre: Drama", "G N Y A1 A2 S1 S2 D P"},
        {GroupKind::Actor, "Movies Filtered by Actor: Picked", "A1 A2 S1 S2 N Y G D P"},
        {GroupKind::Actress, "Movies Filtered by Actress: Picked", "S1 S2 N Y G A1 A2 D P"},
        {GroupKind::Director, "Movies Filtered by Director: Mann", "D N Y G A1 A2 S1 S2 P"},
        {GroupKind::Producer, "Movies Filtered by Producer: Art", "P N Y G A1 A2 S1 S2 D"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.title.toStdString());
        EXPECT_EQ(reportOf(printReportFamily(), row.kind), expected(row.title, lines, row.order));
        EXPECT_EQ(document->begin().begin().fragment().charFormat().fontPointSize(), 17);
    }
}

TEST_F(ReportTextTest, CoversStandUprightASixthOfTheViewWideAndAreKeptAtTwiceThatSize) {
    movies.clear();
    // A saved front cover, a back cover turned by its EXIF tag and not saved yet, and a movie
    // whose only cover is no picture.
    MoviePtr both = test::addMovie(context(), {{A::name, "Both"}});
    both->setImage(A::frontImage, test::jpegOf({400, 600}, Qt::red));
    ASSERT_TRUE(fixture.saveContext());
    both->setImage(A::backImage, test::withExifOrientation(test::jpegOf({900, 600}, Qt::blue), 6));
    MoviePtr broken = test::addMovie(context(), {{A::name, "Broken"}});
    broken->setImage(A::frontImage, QByteArray("not a picture"));
    movies = {both, broken};

    document = buildReport(breakdownReportFamily(), GroupKind::Genre, movies, {600, {}});
    EXPECT_EQ(test::paragraphsOf(*document),
              (QStringList{"Movies Filtered by Genre: ", "", "Movie Name: Both", "Year: 0",
                           "Run Time: 0", "[100 x 150]   [100 x 150]   ", "", "Movie Name: Broken",
                           "Year: 0", "Run Time: 0", "", "", ""}));
    ASSERT_EQ(document->covers().size(), 2u);
    document->holdCovers();
    for (const ReportCover& cover : document->covers()) {
        const QImage image =
            document->resource(QTextDocument::ImageResource, cover.name).value<QImage>();
        EXPECT_EQ(image.size(), QSize(150, 225));
    }
    const QImage back = document->resource(QTextDocument::ImageResource, document->covers()[1].name)
                            .value<QImage>();
    EXPECT_GT(back.pixelColor(75, 112).blue(), 200);
}

TEST_F(ReportTextTest, MarkupInTheCatalogueStaysText) {
    QTemporaryDir dir;
    const QString picture = dir.filePath("private.png");
    ASSERT_TRUE(QImage(QSize(8, 8), QImage::Format_RGB32).save(picture));
    const QString name = QString("<img src=\"%1\">").arg(picture);
    movies = {test::addMovie(
        context(),
        {{A::name, name}, {A::genre, "<b>Bold</b>"}, {A::notes, "<a href=\"x\">link</a>&amp;"}})};
    document = buildReport(breakdownReportFamily(), GroupKind::Genre, movies, {600, {}});
    EXPECT_EQ(test::paragraphsOf(*document),
              (QStringList{"Movies Filtered by Genre: <b>Bold</b>", "", "Genre: <b>Bold</b>",
                           "Movie Name: " + name, "Year: 0", "Run Time: 0",
                           "Notes: <a href=\"x\">link</a>&amp;", "", "", ""}));
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            EXPECT_FALSE(it.fragment().charFormat().isImageFormat());
            EXPECT_FALSE(it.fragment().charFormat().isAnchor());
            EXPECT_NE(it.fragment().charFormat().fontWeight(), QFont::Bold);
        }
}

}  // namespace
}  // namespace quillon
