#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "ReportTestUtil.h"
#include "catalogue/ReportText.h"
#include "support/TestSupport.h"

namespace quillon {
namespace {

using A = Attribute;

// "family size colour" of a text format.
QString styleOf(const QTextCharFormat& format) {
    const QBrush brush = format.foreground();
    QString colour = brush.color() == QColor(Qt::black) ? "black" : brush.color().name();
    if (brush.style() == Qt::NoBrush) colour = "no colour";
    return QString("%1 %2 %3")
        .arg(format.font().family())
        .arg(format.font().pointSize())
        .arg(colour);
}

QString alignmentOf(const QTextBlock& block) {
    const Qt::Alignment alignment = block.blockFormat().alignment();
    if (alignment == Qt::AlignHCenter) return "centre";
    return alignment == Qt::AlignLeft ? "left" : QString::number(alignment);
}

// The document, a line per paragraph: its alignment, its style and its text; a fragment of
// another style carries its own in braces.
QString styledParagraphsOf(const QTextDocument& document) {
    QString lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString style = styleOf(block.charFormat());
        lines += alignmentOf(block) + " " + style + " |";
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString own = styleOf(it.fragment().charFormat());
            lines += (own == style ? " " : " {" + own + "}") + it.fragment().text();
        }
        lines += '\n';
    }
    return lines;
}

class ReportTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Every field set, then one with most fields absent and an empty director.
        movies = {test::addMovie(context(),
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
                                 1995, 170),
                  test::addMovie(context(), {{A::name, "Ran"}, {A::director, ""}})};
    }
    ManagedObjectContext& context() { return fixture.context(); }

    test::AppFixture fixture;
    std::vector<MoviePtr> movies;
    std::unique_ptr<ReportDocument> document;
};

// The title is the first movie's director; a number line is always written, a text line only
// where the movie has the text (an empty one writes its label alone).
TEST_F(ReportTextTest, TheBreakdownReportOfADirector) {
    document = buildReport(breakdownReportFamily(), GroupKind::Director, movies, {600, "Picked"});
    EXPECT_EQ(styledParagraphsOf(*document),
              R"(centre Arial 21 black | Movies Filtered by Director: Mann
centre Arial 21 black |
left Helvetica 12 black | Director: Mann
left Helvetica 12 black | Actor: Ann
left Helvetica 12 black | Actor: Bob
left Helvetica 12 black | Actress: Cat
left Helvetica 12 black | Actress: Dee
left Helvetica 12 black | Movie Name: Heat
left Helvetica 12 black | Year: 1995
left Helvetica 12 black | Run Time: 170
left Helvetica 12 black | Rating: R
left Helvetica 12 black | Producer: Art
left Helvetica 12 black | Writer: Wes
left Helvetica 12 black | Genre: Drama
left Helvetica 12 black | Notes: Long
left Helvetica 12 black |
left Helvetica 12 black |
left Helvetica 12 black | Director: 
left Helvetica 12 black | Movie Name: Ran
left Helvetica 12 black | Year: 0
left Helvetica 12 black | Run Time: 0
left Helvetica 12 black |
left Helvetica 12 black |
left Helvetica 12 black |
)");
}

// The title is the name picked in the tab; the actors are numbered.
TEST_F(ReportTextTest, ThePrintReportOfAnActor) {
    document = buildReport(printReportFamily(), GroupKind::Actor, movies, {600, "Picked"});
    EXPECT_EQ(styledParagraphsOf(*document),
              R"(centre Arial 17 black | Movies Filtered by Actor: Picked
centre Arial 17 black |
left Helvetica 12 black | Actor 1: Ann
left Helvetica 12 black | Actor 2: Bob
left Helvetica 12 black | Actress 1: Cat
left Helvetica 12 black | Actress 2: Dee
left Helvetica 12 black | Movie Name: Heat
left Helvetica 12 black | Year: 1995
left Helvetica 12 black | Genre: Drama
left Helvetica 12 black | Director: Mann
left Helvetica 12 black | Producer: Art
left Helvetica 12 black |
left Helvetica 12 black |
left Helvetica 12 black | Movie Name: Ran
left Helvetica 12 black | Year: 0
left Helvetica 12 black | Director: 
left Helvetica 12 black |
left Helvetica 12 black |
left Helvetica 12 black |
)");
}

TEST_F(ReportTextTest, CoversStandUprightASixthOfTheViewWideKeptAtTwiceThatSize) {
    // A saved front cover, a back cover turned by its EXIF tag and not saved yet, and a movie
    // whose only cover is no picture.
    MoviePtr both = test::addMovie(context(), {{A::name, "Both"}});
    both->setImage(A::frontImage, test::jpegOf({400, 600}, Qt::red));
    ASSERT_TRUE(fixture.saveContext());
    both->setImage(A::backImage, test::withExifOrientation(test::jpegOf({900, 600}, Qt::blue), 6));
    MoviePtr broken = test::addMovie(context(), {{A::name, "Broken"}});
    broken->setImage(A::frontImage, QByteArray("not a picture"));

    document = buildReport(breakdownReportFamily(), GroupKind::Genre, {both, broken}, {600, {}});
    EXPECT_EQ(test::paragraphsOf(*document).mid(4, 5),
              (QStringList{"Run Time: 0", "[100 x 150]   [100 x 150]   ", "", "Movie Name: Broken",
                           "Year: 0"}));
    ASSERT_EQ(document->covers().size(), 2u);
    document->holdCovers();
    QList<QImage> held;
    for (const ReportCover& cover : document->covers())
        held << document->resource(QTextDocument::ImageResource, cover.name).value<QImage>();
    EXPECT_EQ(held[0].size(), QSize(150, 225));
    EXPECT_EQ(held[1].size(), QSize(150, 225));
    EXPECT_GT(held[1].pixelColor(75, 112).blue(), 200);
}

TEST_F(ReportTextTest, MarkupInTheCatalogueStaysText) {
    QTemporaryDir dir;
    const QString picture = dir.filePath("private.png");
    ASSERT_TRUE(QImage(QSize(8, 8), QImage::Format_RGB32).save(picture));
    const QString name = QString("<img src=\"%1\">").arg(picture);
    movies = {test::addMovie(context(), {{A::name, name}, {A::genre, "<b>B</b>&amp;"}})};
    document = buildReport(breakdownReportFamily(), GroupKind::Genre, movies, {600, {}});
    EXPECT_EQ(test::paragraphsOf(*document),
              (QStringList{"Movies Filtered by Genre: <b>B</b>&amp;", "", "Genre: <b>B</b>&amp;",
                           "Movie Name: " + name, "Year: 0", "Run Time: 0", "", "", ""}));
}

}  // namespace
}  // namespace quillon
