#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "ReportTestUtil.h"
#include "catalogue/ReportText.h"
#include "support/TestSupport.h"

namespace quillon {
namespace {

using A = Attribute;

// "K=text|K=text" as a map.
QHash<QString, QString> keyed(const QString& pairs) {
    QHash<QString, QString> map;
    for (const QString& pair : pairs.split('|'))
        map.insert(pair.section('=', 0, 0), pair.section('=', 1));
    return map;
}

struct Member {
    GroupKind kind;
    QString title;
    QString order;  // the block's lines by their keys below
};

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
    // Each member's report against its title and line order, with the family's labels.
    void checkFamily(const ReportFamily& family, const QString& labelPairs,
                     const std::vector<Member>& members) {
        const auto labels = keyed(labelPairs);
        const auto full = keyed(
            "G=Drama|A1=Ann|A2=Bob|S1=Cat|S2=Dee|N=Heat|Y=1995|R=170|Ra=R|D=Mann|P=Art|W=Wes|No="
            "Long");
        const auto sparse = keyed("N=Ran|Y=0|R=0|D=");
        for (const Member& member : members) {
            SCOPED_TRACE(member.title.toStdString());
            QStringList first, second;
            for (const QString& key : member.order.split(' ')) {
                first << labels[key] + full[key];
                if (sparse.contains(key)) second << labels[key] + sparse[key];
            }
            document = buildReport(family, member.kind, movies, {600, "Picked"});
            const QStringList gap{"", ""};
            const QStringList report = QStringList{member.title, ""} + first + gap + second + gap;
            EXPECT_EQ(test::paragraphsOf(*document), report + QStringList{""});
            // The title and its empty line centred in Arial; the blocks in black Helvetica 12.
            const QTextBlock title = document->begin();
            for (const QTextBlock& block : {title, title.next()}) {
                EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignHCenter);
                EXPECT_EQ(block.charFormat().fontFamilies().toStringList(), QStringList{"Arial"});
                EXPECT_EQ(block.charFormat().fontPointSize(), family.titlePointSize);
            }
            const QTextCharFormat line = title.next().next().begin().fragment().charFormat();
            EXPECT_EQ(title.next().next().blockFormat().alignment(), Qt::AlignLeft);
            EXPECT_EQ(line.font().family() + " " + QString::number(line.font().pointSize()),
                      "Helvetica 12");
            EXPECT_EQ(line.foreground().color(), QColor(Qt::black));
        }
    }

    test::AppFixture fixture;
    std::vector<MoviePtr> movies;
    std::unique_ptr<ReportDocument> document;
};

TEST_F(ReportTextTest, BreakdownReportsFollowTheirMembersTable) {
    checkFamily(
        breakdownReportFamily(),
        "G=Genre: |A1=Actor: |A2=Actor: |S1=Actress: |S2=Actress: |N=Movie Name: |Y=Year: |"
        "R=Run Time: |Ra=Rating: |D=Director: |P=Producer: |W=Writer: |No=Notes: ",
        {{GroupKind::Genre, "Movies Filtered by Genre: Drama", "G A1 A2 S1 S2 N Y R Ra D P W No"},
         {GroupKind::Actor, "Movies Filtered by Actor: Ann", "A1 A2 S1 S2 N Y R Ra D P W G No"},
         {GroupKind::Actress, "Movies Filtered by Actress: Cat", "A1 A2 S1 S2 N Y R Ra D P W G No"},
         {GroupKind::Director, "Movies Filtered by Director: Mann",
          "D A1 A2 S1 S2 N Y R Ra P W G No"},
         {GroupKind::Producer, "Movies Filtered by Producer: Art",
          "P A1 A2 S1 S2 N Y R Ra D W G No"}});
    EXPECT_EQ(breakdownReportFamily().member(GroupKind::Actress).fileName,
              "MoviesFilteredByActress.pdf");
}

TEST_F(ReportTextTest, PrintReportsNumberTheirActorsAndNameThePickedValue) {
    checkFamily(
        printReportFamily(),
        "G=Genre: |A1=Actor 1: |A2=Actor 2: |S1=Actress 1: |S2=Actress 2: |N=Movie Name: |"
        "Y=Year: |D=Director: |P=Producer: ",
        {{GroupKind::Genre, "Movies Filtered by Genre: Drama", "G N Y A1 A2 S1 S2 D P"},
         {GroupKind::Actor, "Movies Filtered by Actor: Picked", "A1 A2 S1 S2 N Y G D P"},
         {GroupKind::Actress, "Movies Filtered by Actress: Picked", "S1 S2 N Y G A1 A2 D P"},
         {GroupKind::Director, "Movies Filtered by Director: Mann", "D N Y G A1 A2 S1 S2 P"},
         {GroupKind::Producer, "Movies Filtered by Producer: Art", "P N Y G A1 A2 S1 S2 D"}});
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
