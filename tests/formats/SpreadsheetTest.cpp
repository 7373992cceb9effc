// Spreadsheets in and out: a peer's CSV into the catalogue, the merge rule, nothing dropped
// without a word, a dry run, and Quillon -> CSV -> Quillon without loss.
#include "InterchangeTestUtil.h"
#include "formats/ZipArchive.h"
#include "store/Backups.h"

namespace quillon::test {
namespace {

using exchange::ColumnTarget;
using exchange::FileFormat;

// A peer's export: semicolons, a byte-order mark, Windows line ends, lists and a cast with roles,
// columns we have no attribute for, covers by path, a quoted cell with a line break.
QByteArray peerSpreadsheet() {
    return "\xEF\xBB\xBF"
           "Title;Year;Director(s);Actors;Actresses;Runtime;MPAA Rating;Genre(s);Comments;"
           "Location;Cover\r\n"
           "Alien;1979;Ridley Scott;Sigourney Weaver:Ripley|Tom Skerritt:Dallas|John Hurt:Kane;;"
           "1:57;R (USA);Horror, Sci-Fi;Great;Shelf 2;covers/alien.jpg\r\n"
           "\"Dr. Strangelove; or How I Learned\";1964;Stanley Kubrick;Peter Sellers;;95;;Comedy;"
           "\"line one\r\nline two\";;missing.jpg\r\n"
           "Vertigo;1958;Alfred Hitchcock;James Stewart;Kim Novak, Barbara Bel Geddes;2 hours;"
           "PG;Thriller;;;notes.txt\r\n"
           ";;;;;;;;;;\r\n"
           "Alien;1979;Ridley Scott;;;;;;Seen twice;;\r\n"
           "Cut;2000;\"Some";
}

TEST(SpreadsheetImport, APeersFileComesInWithNothingDroppedWithoutAWord) {
    AppFixture app;
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir("covers"));
    ASSERT_TRUE(writeBytes(folder.filePath("covers/alien.jpg"), makeJpeg(30, 45, Qt::green)));
    ASSERT_TRUE(writeBytes(folder.filePath("notes.txt"), "not a picture"));
    exchange::ImportOptions options;
    options.folder = folder.path();

    const Imported imported = importWith(app.context(), peerSpreadsheet(), options);
    ASSERT_TRUE(imported.status.ok) << imported.status.describe().toStdString();
    EXPECT_EQ(imported.counts.summary(), "3 added, 1 updated, 0 skipped, 1 failed");
    ASSERT_EQ(imported.problems.size(), 3) << imported.problems.join('\n').toStdString();
    EXPECT_TRUE(
        imported.problems[0].startsWith("Dr. Strangelove; or How I Learned (1964): front cover not "
                                        "imported, any stored one kept: "))
        << imported.problems[0].toStdString();
    EXPECT_TRUE(imported.problems[1].startsWith(
        "Vertigo (1958): front cover not imported, any stored one kept: "));
    EXPECT_EQ(imported.problems[2],
              "Line 8: the file ends inside a quoted cell, so it may be cut short: that row was "
              "not imported");
    EXPECT_FALSE(imported.backup.isEmpty());

    const MoviePtr alien = movieNamed(app.context(), "Alien");
    ASSERT_TRUE(alien);
    EXPECT_EQ(alien->year(), 1979);
    EXPECT_EQ(alien->director(), "Ridley Scott");
    EXPECT_EQ(alien->leadingActor1(), "Sigourney Weaver");
    EXPECT_EQ(alien->leadingActor2(), "Tom Skerritt");
    EXPECT_EQ(alien->runTime(), 117);
    EXPECT_EQ(alien->rating(), "R");
    EXPECT_EQ(alien->genre(), "Horror");
    EXPECT_EQ(alien->notes(), "Seen twice") << "the second row updated the first";
    EXPECT_EQ(coverLook(alien->image(Attribute::frontImage)),
              coverLook(makeJpeg(30, 45, Qt::green)));

    const MoviePtr strangelove = movieNamed(app.context(), "Dr. Strangelove; or How I Learned");
    ASSERT_TRUE(strangelove);
    EXPECT_EQ(strangelove->notes(), "line one\r\nline two");
    EXPECT_EQ(strangelove->leadingActor1(), "Peter Sellers");

    const MoviePtr vertigo = movieNamed(app.context(), "Vertigo");
    ASSERT_TRUE(vertigo);
    EXPECT_EQ(vertigo->leadingActress1(), "Kim Novak");
    EXPECT_EQ(vertigo->leadingActress2(), "Barbara Bel Geddes");
    EXPECT_EQ(vertigo->runTime(), 0);
    EXPECT_EQ(vertigo->notes(), "Runtime: 2 hours") << "a number that does not read is kept";
    EXPECT_FALSE(vertigo->hasImage(Attribute::frontImage));

    // The first Alien row, read again without the notes of unmapped columns, and with its
    // location mapped to the writer.
    QByteArray first = peerSpreadsheet().left(peerSpreadsheet().indexOf("\r\n\"Dr."));
    options.unmappedInNotes = false;
    importWith(app.context(), first, options);
    EXPECT_EQ(alien->notes(),
              "Great\nGenre(s): Horror; Sci-Fi\nActors: Sigourney Weaver (Ripley); Tom Skerritt "
              "(Dallas); John Hurt (Kane)");
    options.unmappedInNotes = true;
    options.columnMap.insert(exchange::columnKey(" LOCATION"), ColumnTarget::Writer);
    options.columnMap.insert(exchange::columnKey("Comments"), ColumnTarget::Ignore);
    importWith(app.context(), first, options);
    EXPECT_EQ(alien->writer(), "Shelf 2");
    EXPECT_EQ(alien->notes(),
              "Genre(s): Horror; Sci-Fi\nComments: Great\nActors: Sigourney Weaver (Ripley); Tom "
              "Skerritt (Dallas); John Hurt (Kane)");
}

// A dry run counts exactly what the import then does, tells the same reasons, and changes
// nothing: no movie, no backup.
TEST(SpreadsheetImport, ADryRunCountsWhatTheImportDoesAndChangesNothing) {
    AppFixture app;
    addMovie(app.context(), "Twin", 2000, "Ann");
    addMovie(app.context(), "Twin", 2000, "Ann");
    addMovie(app.context(), "Kept", 1990, "Bo");
    QTemporaryDir folder;
    const QByteArray jpeg = makeJpeg(30, 45, Qt::green);
    ASSERT_TRUE(writeBytes(folder.filePath("whole.jpg"), jpeg));
    ASSERT_TRUE(writeBytes(folder.filePath("cut.jpg"), jpeg.left(jpeg.size() / 2)));
    ASSERT_TRUE(writeBytes(folder.filePath("text.jpg"), "not a picture"));
    const QByteArray file =
        "Movie Name,Year,Director,Run Time,Cover\n"
        "Twin,2000,Ann,90,whole.jpg\nKept,1990,Bo,80,cut.jpg\nNew,2001,Cy,x,text.jpg\n"
        "New,2001,Cy,70\nNo year,,Dee,\nNo year,,Dee,\nCut,1,\"";
    const QStringList before = dumpMovies(app.context());
    exchange::ImportOptions options;
    options.folder = folder.path();
    options.dryRun = true;
    const Imported dry = importWith(app.context(), file, options);
    EXPECT_EQ(dumpMovies(app.context()), before);
    EXPECT_TRUE(dry.backup.isEmpty());
    EXPECT_TRUE(backups::list(app.dataDir()).isEmpty());

    options.dryRun = false;
    const Imported real = importWith(app.context(), file, options);
    EXPECT_EQ(dry.counts.summary(), "2 added, 3 updated, 1 skipped, 1 failed");
    EXPECT_EQ(real.counts.summary(), dry.counts.summary());
    EXPECT_EQ(real.problems.size(), 3);
    EXPECT_EQ(real.problems, dry.problems);
    EXPECT_EQ(movieNamed(app.context(), "New")->runTime(), 70);
    EXPECT_EQ(movieNamed(app.context(), "New")->notes(), "Run Time: x");
    EXPECT_EQ(movieNamed(app.context(), "No year")->year(), 0);
}

// Every text the spreadsheet holds comes back as it was: line breaks, quotes, apostrophes,
// cells a spreadsheet would run as formulas, other scripts; numbers to their limits.
TEST(SpreadsheetRoundTrip, QuillonToCsvToQuillonKeepsEveryTextAndNumber) {
    AppFixture source, target;
    fillAwkwardCatalogue(source.context());
    ASSERT_FALSE(HasFatalFailure());
    for (const QChar delimiter : {u',', u';'}) {
        SCOPED_TRACE(QString(delimiter).toStdString());
        exchange::ExportOptions options;
        options.delimiter = delimiter;
        const Exported csv = exportAs(FileFormat::Csv, source.context(), options);
        ASSERT_TRUE(csv.status.ok);
        EXPECT_TRUE(csv.bytes.startsWith("\xEF\xBB\xBFMovie Name" +
                                         QByteArray(1, char(delimiter.unicode())) + "Year"));
        EXPECT_FALSE(csv.bytes.contains("tt0078748")) << "imdb never travels";
        EXPECT_TRUE(csv.bytes.contains("'=SUM(A1:A9)")) << "a formula-like cell is guarded";
        EXPECT_EQ(csv.bytes.count("\r\n") - csv.bytes.count("Line two\r\n"), 7)
            << "each row ends with CR LF";

        const Imported first = importWith(target.context(), csv.bytes);
        EXPECT_EQ(first.counts.summary(), "6 added, 0 updated, 0 skipped, 0 failed");
        EXPECT_EQ(dumpTexts(target.context()), dumpTexts(source.context()));
        const Imported again = importWith(target.context(), csv.bytes);
        EXPECT_EQ(again.counts.summary(), "0 added, 6 updated, 0 skipped, 0 failed");
        EXPECT_EQ(dumpTexts(target.context()), dumpTexts(source.context()));
        for (const MoviePtr& movie : target.context().fetch<Movies>())
            target.context().deleteObject(movie);
        ASSERT_TRUE(target.context().save().ok);
    }
}

// What is a Quillon file, a Tellico collection or a spreadsheet, by content alone.
TEST(FormatDetection, TellsTheFormatByContent) {
    exchange::ZipWriter zip;
    ASSERT_TRUE(zip.add("tellico.xml", "<tellico/>", true).ok);
    Status finished;
    const QByteArray archive = zip.finish(&finished).value_or(QByteArray());
    const struct {
        const char* what;
        QByteArray bytes;
        FileFormat format;
    } cases[] = {
        {"our header line", "[QUILLON]\r\n^Ann^", FileFormat::Quillon},
        {"our header after a mark", "\xEF\xBB\xBF[QUILLON]\n", FileFormat::Quillon},
        {"our header further down", "^^^^^^^Alien^^^^^^1979^^\n[QUILLON]\n", FileFormat::Quillon},
        {"a zip", archive, FileFormat::Tellico},
        {"Tellico's XML",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE tellico>\n<tellico syntaxVersion=\"11\">",
         FileFormat::Tellico},
        {"other XML", "<?xml version=\"1.0\"?><movies/>", FileFormat::Csv},
        {"a spreadsheet", "Title,Year\nAlien,1979\n", FileFormat::Csv},
        {"a spreadsheet holding our header in a cell", "Title,Notes\nA,\"x\n[QUILLON]\n\"\n",
         FileFormat::Csv},
        {"nothing", "", FileFormat::Csv},
    };
    for (const auto& c : cases) {
        QByteArray bytes = c.bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_EQ(exchange::detectFormat(&buffer), c.format) << c.what;
        EXPECT_EQ(buffer.pos(), 0) << c.what;
    }
}

TEST(SpreadsheetImport, AFileWithoutAMovieColumnIsTheWrongFileAndChangesNothing) {
    AppFixture app;
    const Imported imported = importWith(app.context(), "Shade,Size\nred,9\n");
    EXPECT_EQ(imported.status.code, Status::Corrupt);
    EXPECT_EQ(imported.status.error,
              "No column holds the movies' names: choose the column that does (--map "
              "COLUMN=name)");
    EXPECT_EQ(app.context().count(Entity::Movies), 0);
    exchange::ImportOptions options;
    options.columnMap.insert("shade", ColumnTarget::Name);
    EXPECT_EQ(importWith(app.context(), "Shade,Size\nred,9\n", options).counts.summary(),
              "1 added, 0 updated, 0 skipped, 0 failed");
    EXPECT_EQ(movieNamed(app.context(), "red")->notes(), "Size: 9");
}

}  // namespace
}  // namespace quillon::test
