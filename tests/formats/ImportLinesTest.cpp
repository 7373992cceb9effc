// How an import reads its file: the header, line ends, encodings, fields, and damaged, cut or
// unreadable input.
#include "ExchangeTestUtil.h"
#include "formats/Base64.h"

namespace quillon::test {
namespace {

// A file of `text` in UTF-16, little-endian, with its byte-order mark.
QByteArray utf16File(const QString& text) {
    return "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// The header may stand on any line but must be exact; CR LF, concatenated files, byte-order
// marks, UTF-16 and Latin-1 read like plain UTF-8.
TEST(ImportLines, HeaderLineEndsAndEncodings) {
    const QByteArray line = movieLine("X", "1", "Y");
    const QByteArray utf16 =
        utf16File("[QUILLON]\n" + QString::fromUtf8(movieLine("Sechs ß", "2000", "Ann")));
    const struct {
        QByteArray file;
        QStringList added;  // none: the wrong file
    } cases[] = {
        {movieLine("Above", "2000", "Ann") + "[QUILLON]\n" + movieLine("Below", "2001", "Bo"),
         {"Above", "Below"}},
        {"[QUILLON]\r\n" + movieLine("One", "2000", "Ann").replace("\n", "\r\n"), {"One"}},
        {"[QUILLON]\n" + movieLine("Two", "2000", "Ann") + "[QUILLON]\n" +
             movieLine("Three", "2000", "Ann"),
         {"Two", "Three"}},
        {"\xEF\xBB\xBF[QUILLON]\n" + movieLine("Fünf", "2000", "Ann"), {"Fünf"}},
        {utf16, {"Sechs ß"}},
        {"[QUILLON]\n" + QString::fromUtf8(movieLine("Sieben é", "2000", "Ann")).toLatin1(),
         {"Sieben é"}},
        {"", {}},
        {"[quillon]\n" + line, {}},
        {" [QUILLON]\n" + line, {}},
        {"[QUILLON] \n" + line, {}},
        {"\n\n\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.left(30).toStdString());
        AppFixture app;
        const Status status = importBytes(app.context(), c.file).status;
        EXPECT_EQ(exchange::MovieImporter::isWrongFile(status), c.added.isEmpty());
        EXPECT_EQ(names(app.context()), c.added);
    }
}

// A line may be longer than one read, have fewer or more than sixteen fields, or be split by a
// caret in a text, which shifts every later field by one.
TEST(ImportLines, LongShortOverlongAndCaretSplitLines) {
    AppFixture app;
    const QString notes(9 << 20, QChar('n'));
    QByteArray file = "[QUILLON]\r\n" + movieLine("Long", "2000", "Ann", {{8, notes}});
    file.replace("\n", "\r\n");
    file += QByteArray((4 << 20) - 3, '\r') +
            "Color^Bo^Drama\n"
            "^Cy^^^^^^Overlong^^^^90^^2001^^^extra^more\n"
            "^Di^^^^^^Split^A^B^^^95^^2002^^\n";
    EXPECT_EQ(importBytes(app.context(), file).counts.summary(),
              "4 added, 0 updated, 0 skipped, 0 failed");
    const auto movies = app.context().fetch<Movies>();
    ASSERT_EQ(movies.size(), 4u);
    EXPECT_EQ(movies[0]->notes(), notes);
    EXPECT_EQ(movies[1]->genre(), "Drama");
    EXPECT_FALSE(movies[1]->name().has_value());
    EXPECT_EQ(movies[2]->year(), 2001);
    EXPECT_EQ(movies[3]->writer(), "95");
    EXPECT_EQ(movies[3]->runTime(), 0);
}

// The lines before a read failure stay imported, and the import fails saying so, whether the
// device seeks or not, wherever the header stands and wherever the read fails.
TEST(ImportLines, AFileThatCannotBeReadToItsEndFailsAndSaysWhatItKept) {
    const QByteArray two = movieLine("One", "2001", "Ann") + movieLine("Two", "2002", "Bo");
    const QByteArray three = movieLine("Three", "2003", "Cy");
    const QByteArray file = "[QUILLON]\n" + two + three;
    const QStringList kept{"One", "Two"};
    const struct {
        QByteArray file;
        qint64 failAt;
        QString counts;
        QStringList kept;
    } cases[] = {
        {file, 10 + two.size() + 5, "2 added, 0 updated, 0 skipped, 1 failed", kept},  // mid-line
        {file, 10 + two.size(), "2 added, 0 updated, 0 skipped, 0 failed", kept},  // at a line end
        {two + "[QUILLON]\n" + three, two.size() + 14, "2 added, 0 updated, 0 skipped, 1 failed",
         kept},
        {file, 4, "0 added, 0 updated, 0 skipped, 0 failed", {}},  // inside the header
    };
    for (const auto& c : cases) {
        for (const bool sequential : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.failAt << (sequential ? " sequential" : ""));
            AppFixture app;
            FailingDevice device(c.file, c.failAt, sequential);
            EXPECT_EQ(importFrom(app.context(), &device).status.error,
                      "The file could not be read to its end (Input/output error); "
                      "the lines before that stay imported: " +
                          c.counts);
            app.restart();
            EXPECT_EQ(names(app.context()), c.kept);
        }
    }
}

// A line over the cap fails, is named and ends the reading, whatever would follow: more lines,
// or no end at all (zeros, or a wide text, for ever). Above the header it fails the import. A
// line at the cap reads.
TEST(ImportLines, ALineOverTheCapFailsAndEndsTheReading) {
    constexpr qsizetype kCap = 1000;
    const QByteArray one = movieLine("One", "2001", "Ann");
    const qsizetype atCapNotes = kCap + 1 - movieLine("AtCap", "2002", "Bo").size();
    const QByteArray atCap = movieLine("AtCap", "2002", "Bo", {{8, QString(atCapNotes, 'n')}});
    const QByteArray over = movieLine("Over", "2003", "Cy", {{8, QString(kCap, 'n')}});
    const QByteArray utf16 = utf16File("[QUILLON]\n" + QString::fromUtf8(one));
    const QString tooLong =
        "A line of the file is longer than 1000 bytes, more than any movie line can be, so the "
        "file was read no further";
    const QString lineFailed = tooLong + ": that line and any below it were not imported";
    const QByteArray zero(1, '\0');
    const struct {
        QByteArray head, endlessTail;
        QString error;  // empty: the import is done, with `lineFailed` as its one problem
        QStringList added;
    } cases[] = {
        {"[QUILLON]\n" + one + atCap + over + movieLine("After", "2004", "Di"),
         {},
         {},
         {"One", "AtCap"}},
        {"[QUILLON]\n" + one, zero, {}, {"One"}},
        {utf16, QByteArray("x\0", 2), {}, {"One"}},
        {over + "[QUILLON]\n" + one, {}, tooLong + "; nothing was imported", {}},
        {{}, zero, tooLong + "; nothing was imported", {}},
    };
    for (const auto& c : cases) {
        for (const bool sequential : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.added.join(',').toStdString() << ' '
                                            << c.error.size() << (sequential ? " sequential" : ""));
            AppFixture app;
            EndlessDevice device(c.head, c.endlessTail, sequential);
            const Imported imported = importFrom(app.context(), &device, false, kCap);
            EXPECT_EQ(imported.status.error, c.error);
            EXPECT_EQ(imported.problems,
                      c.error.isEmpty() ? QStringList{lineFailed} : QStringList());
            EXPECT_EQ(imported.counts.failed, c.error.isEmpty() ? 1 : 0);
            EXPECT_EQ(names(app.context()), c.added);
        }
    }
}

// A cover field that does not decode to a whole picture changes nothing.
TEST(ImportLines, ACoverThatDoesNotDecodeNeverDestroysAStoredCover) {
    AppFixture app;
    MoviePtr existing = addMovie(app.context(), "Covered", 2000, "Ann");
    const QByteArray front = makeJpeg(20, 30, Qt::red), back = makeJpeg(20, 30, Qt::blue);
    existing->setImage(Attribute::frontImage, front);
    existing->setImage(Attribute::backImage, back);
    ASSERT_TRUE(app.context().save().ok);

    const QByteArray jpeg = makeJpeg(40, 40, Qt::green), good = jpeg.toBase64();
    const QByteArray png = imageBytes(QImage::fromData(jpeg), "PNG");
    for (const QByteArray& bad :
         {jpeg.chopped(30).toBase64(),  // cut short: no end-of-image marker
          png.chopped(12).toBase64(), png.left(png.size() / 2).toBase64(),  // no IEND chunk
          good.chopped(1), good.left(good.size() - 4) + "A===", good.left(8) + "\t" + good.mid(9),
          good.left(40) + "=" + good.mid(41), QByteArray("bm90IGEgcGljdHVyZQ==")}) {
        const Imported imported = importBytes(
            app.context(),
            "[QUILLON]\n" +
                movieLine("Covered", "2000", "Ann", {{14, bad}, {15, bad}, {6, "Eve"}}) +
                movieLine("New", "2000", "Ann", {{14, bad}}));
        EXPECT_EQ(imported.counts.failed, 0);
        // Each cover left out is told, with why.
        const QStringList told{"Covered (2000): front", "Covered (2000): back",
                               "New (2000): front"};
        ASSERT_EQ(imported.problems.size(), told.size()) << bad.left(60).toStdString();
        for (qsizetype i = 0; i < told.size(); ++i) {
            const QString prefix = told[i] + " cover not imported, any stored one kept: ";
            EXPECT_TRUE(imported.problems[i].startsWith(prefix) &&
                        imported.problems[i].size() > prefix.size())
                << imported.problems[i].toStdString();
        }
        EXPECT_EQ(existing->frontImage(), front);
        EXPECT_EQ(existing->backImage(), back);
        EXPECT_EQ(existing->leadingActress2(), "Eve") << "the rest of the line applies";
    }
    const auto added = app.context().fetch<Movies>(Predicate::equals(Attribute::name, "New"));
    EXPECT_FALSE(added.at(0)->hasImage(Attribute::frontImage));
    // A good one is stored as the file's bytes.
    importBytes(app.context(), "[QUILLON]\n" + movieLine("Covered", "2000", "Ann", {{15, good}}));
    EXPECT_EQ(existing->backImage(), jpeg);
}

// Imports every prefix of a valid file, then a few thousand damaged copies, into one store:
// nothing crashes, every line ends saved or taken back, and what the store holds on disk is
// what the context shows. A prefix that ends inside a line is a file cut short: that last line
// fails, also where it ends on whole Base64 quads of a cover.
TEST(ImportLines, TruncatedAndDamagedFilesNeverCrashNorHalfApplyALine) {
    AppFixture source;
    MoviePtr movie = addMovie(source.context(), "Mutant", 1999, "Ann");
    movie->setText(Attribute::notes, "a\nb^c");
    movie->setImage(Attribute::frontImage, makeJpeg(6, 6, Qt::red));
    addMovie(source.context(), "Other", 2000, "Bo")->setRunTime(88);
    ASSERT_TRUE(source.context().save().ok);
    const QByteArray file = exportBytes(source.context());

    AppFixture target;
    exchange::ImportCounts counts;
    auto importChecked = [&](const QByteArray& bytes) {
        const int before = target.context().count(Entity::Movies);
        // Thousands of backups would only slow this down.
        const Imported imported = importBytes(target.context(), bytes, false);
        counts = imported.counts;
        ASSERT_FALSE(target.context().hasChanges()) << bytes.toStdString();
        EXPECT_EQ(target.context().count(Entity::Movies), before + counts.added);
        if (exchange::MovieImporter::isWrongFile(imported.status)) {
            EXPECT_EQ(counts.added + counts.updated + counts.skipped + counts.failed, 0);
        }
    };
    for (qsizetype length = 0; length <= file.size(); ++length) {
        importChecked(file.left(length));
        EXPECT_EQ(counts.failed, length > 10 && file[length - 1] != '\n' ? 1 : 0) << length;
    }

    QRandomGenerator random(20240611);
    const QByteArray alphabet = "^\n\r=+/-0129AQz'\\\"[]";
    for (int round = 0; round < 2000; ++round) {
        QByteArray damaged = file;
        for (int edits = 1 + random.bounded(4); edits > 0 && !damaged.isEmpty(); --edits) {
            const qsizetype at = random.bounded(damaged.size());
            const int kind = random.bounded(4);
            if (kind == 0) damaged[at] = alphabet[random.bounded(alphabet.size())];
            if (kind == 1) damaged[at] = char(random.bounded(256));
            if (kind == 2) damaged.remove(at, random.bounded(1, 40));
            if (kind == 3) damaged.insert(at, damaged.mid(random.bounded(damaged.size()), 30));
        }
        importChecked(damaged);
        if (HasFatalFailure()) return;
    }
    const QStringList shown = dumpMovies(target.context());
    target.restart();
    EXPECT_EQ(dumpMovies(target.context()), shown);
}

TEST(ImportLines, TableBase64DecoderAgreesWithQt) {
    QRandomGenerator random(7);
    for (int length = 0; length < 64; ++length) {
        QByteArray bytes(length, Qt::Uninitialized);
        for (char& c : bytes) c = char(random.bounded(256));
        EXPECT_EQ(exchange::decodeBase64(bytes.toBase64()), bytes);
    }
    for (const char* bad : {"A", "AB", "ABC", "AB=C", "A===", "====", "AB==AB==", "AB C", "AB\nC",
                            "ABC-", "ABC_", "ABCD=", "=ABC"}) {
        EXPECT_FALSE(exchange::decodeBase64(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace quillon::test
