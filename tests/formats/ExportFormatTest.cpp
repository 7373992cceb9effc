// The export file: its lines, covers and numbers, and a write that fails.
#include <QImageReader>
#include <QImageWriter>

#include "ExchangeTestUtil.h"
#include "images/JpegLayout.h"

namespace quillon::test {
namespace {

using exchange::ExportJob;

// The whole file of a catalogue with every kind of line: the empty movie, the number limits,
// every text in its field (imdb never), the order by name, year and director (case-sensitive),
// and the escaped lines of texts that would split a record (only those). The import reads it
// back as it was.
TEST(ExportFormat, GoldenFileAndItsRoundTrip) {
    AppFixture app;
    EXPECT_EQ(exportBytes(app.context()), QByteArray("[QUILLON]\n"));

    Movies::insertInto(app.context());
    insertMovie(app.context(), "Zed", -1, "Ann")->setRunTime(-32768);
    MoviePtr full = insertMovie(app.context(), "Dog's Day \"uncut\" ", 1999, "Lee");
    for (Attribute a : {Attribute::color_blackwhite, Attribute::genre, Attribute::leadingActor1,
                        Attribute::leadingActor2, Attribute::leadingActress1,
                        Attribute::leadingActress2, Attribute::notes, Attribute::producer,
                        Attribute::rating, Attribute::writer, Attribute::imdb})
        full->setText(a, attributeName(a));
    full->setRunTime(125);
    insertMovie(app.context(), "alien", 1979, "Scott");
    insertMovie(app.context(), "Alien", 1986, "Cameron");
    insertMovie(app.context(), "Alien", 1979, "Scott");
    insertMovie(app.context(), "Alien", 1979, "Anderson");
    MoviePtr split = insertMovie(app.context(), "A^B", 1990, "C\\D");
    split->setText(Attribute::notes, "line one\nline two\r\nend \\n not a break");
    split->setRunTime(-7);
    insertMovie(app.context(), "Plain \\n", 1990, "E");
    ASSERT_TRUE(app.context().save().ok);
    const QByteArray file = exportBytes(app.context());
    EXPECT_EQ(
        file,
        QByteArray(
            "[QUILLON]\n"
            "^^^^^^^^^^^0^^0^^\n"
            "^C\\\\D^^^^^^A\\cB^line one\\nline two\\r\\nend \\\\n not a break^^^-07^^1990^^\n"
            "^Anderson^^^^^^Alien^^^^0^^1979^^\n"
            "^Scott^^^^^^Alien^^^^0^^1979^^\n"
            "^Cameron^^^^^^Alien^^^^0^^1986^^\n"
            "color_blackwhite^Lee^genre^leadingActor1^leadingActor2^leadingActress1^"
            "leadingActress2^Dog's Day \"uncut\" ^notes^producer^rating^125^writer^1999^^\n"
            "^E^^^^^^Plain \\n^^^^0^^1990^^\n"
            "^Ann^^^^^^Zed^^^^-32768^^-1^^\n"
            "^Scott^^^^^^alien^^^^0^^1979^^\n"));

    // Read back, the file gives every text and number exactly; read again, it changes nothing.
    AppFixture target;
    EXPECT_EQ(importBytes(target.context(), file).counts.summary(),
              "9 added, 0 updated, 0 skipped, 0 failed");
    EXPECT_EQ(dumpMovies(target.context()), dumpMovies(app.context()));
    EXPECT_EQ(importBytes(target.context(), file).counts.summary(),
              "0 added, 9 updated, 0 skipped, 0 failed");
    EXPECT_FALSE(target.context().hasChanges());
    target.restart();
    EXPECT_EQ(dumpMovies(target.context()), dumpMovies(app.context()));
}

// Covers travel upright, re-encoded as JPEG at quality 60 in standard Base64, however large; a
// JPEG no decoder reads travels as stored; anything else is left out and reported.
TEST(ExportFormat, CoversAreReencodedUprightOrKeptOrReported) {
    AppFixture app;
    const QByteArray front = makeJpeg(120, 180, Qt::red, 100);
    QImage png(40, 60, QImage::Format_RGB32);
    png.fill(Qt::blue);
    MoviePtr covered = insertMovie(app.context(), "Covered", 2001, "Ann");
    covered->setImage(Attribute::frontImage, front);
    covered->setImage(Attribute::backImage, imageBytes(png, "PNG"));
    MoviePtr broken = insertMovie(app.context(), "Broken", 2001, "Ann");
    broken->setImage(Attribute::frontImage, QByteArray("not a picture"));
    const QByteArray damagedJpeg = front.left(300) + QByteArray(200, '\x55') + "\xFF\xD9";
    broken->setImage(Attribute::backImage, damagedJpeg);
    QImage huge(6000, 6000, QImage::Format_RGB32);
    huge.fill(Qt::darkGreen);
    insertMovie(app.context(), "Huge", 2001, "Ann")
        ->setImage(Attribute::backImage, imageBytes(huge));
    QImage wide(40, 20, QImage::Format_RGB32);  // left half red, right half blue
    wide.fill(Qt::blue);
    QPainter(&wide).fillRect(0, 0, 20, 20, Qt::red);
    insertMovie(app.context(), "Turned", 2000, "Ann")
        ->setImage(Attribute::frontImage, withExifOrientation(imageBytes(wide), 6));
    ASSERT_TRUE(app.context().save().ok);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ExportJob job(app.context(), &buffer);
    ASSERT_TRUE(job.run().ok);
    EXPECT_EQ(job.problems().size(), 1);
    EXPECT_TRUE(job.problems().value(0).startsWith(
        "Broken (2001): front cover left out: it could not be decoded ("));
    const QList<QByteArray> lines = buffer.data().split('\n');  // Broken, Covered, Huge, Turned
    ASSERT_EQ(lines.size(), 6);
    const auto field = [&](int line, int index) { return lines[line].split('^').value(index); };
    EXPECT_EQ(field(1, 14), QByteArray());
    EXPECT_EQ(field(1, 15), damagedJpeg.toBase64());
    EXPECT_EQ(field(2, 14), imageBytes(QImage::fromData(front), "JPG", 60).toBase64());
    EXPECT_EQ(QImage::fromData(QByteArray::fromBase64(field(2, 15)), "JPG").size(), QSize(40, 60));
    QByteArray hugeCover = QByteArray::fromBase64(field(3, 15));
    QBuffer hugeBuffer(&hugeCover);
    EXPECT_EQ(QImageReader(&hugeBuffer).size(), QSize(6000, 6000));
    // Turned clockwise: the left edge is the top now.
    const QImage upright = QImage::fromData(QByteArray::fromBase64(field(4, 14)));
    ASSERT_EQ(upright.size(), QSize(20, 40));
    EXPECT_GT(QColor(upright.pixel(10, 5)).red(), 200);
    EXPECT_GT(QColor(upright.pixel(10, 35)).blue(), 200);
}

// A cover that is already what the encoder makes at quality 60, baseline and upright, travels as
// stored, byte for byte; any other is decoded, turned upright and encoded at quality 60.
TEST(ExportFormat, CoversAlreadyAtTheExportQualityTravelAsStored) {
    const QByteArray q60 = makeJpeg(60, 90, Qt::red, 60);
    QImage greyPicture(60, 90, QImage::Format_Grayscale8);
    greyPicture.fill(90);
    QPainter(&greyPicture).fillRect(0, 0, 30, 90, QColor(200, 200, 200));
    QBuffer progressive;
    progressive.open(QIODevice::WriteOnly);
    QImageWriter writer(&progressive, "JPG");
    writer.setQuality(60);
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(QImage::fromData(q60)));
    struct Case {
        const char* name;
        QByteArray stored;
        bool asStored;
        QSize size;
    } cases[] = {
        {"a q60", q60, true, {60, 90}},
        {"b grey q60", imageBytes(greyPicture, "JPG", 60), true, {60, 90}},
        {"c upright tag", withExifOrientation(q60, 1), true, {60, 90}},
        {"d turned", withExifOrientation(q60, 6), false, {90, 60}},
        {"e q90", makeJpeg(60, 90, Qt::red, 90), false, {60, 90}},
        {"f q59", makeJpeg(60, 90, Qt::red, 59), false, {60, 90}},
        {"g progressive", progressive.data(), false, {60, 90}},
        {"h png", imageBytes(QImage::fromData(q60), "PNG"), false, {60, 90}},
    };
    // Encoding it again would change its bytes: passing it through is what keeps them.
    ASSERT_NE(imageBytes(QImage::fromData(q60), "JPG", 60), q60);
    AppFixture app;
    for (const Case& c : cases)
        insertMovie(app.context(), c.name, 2000, "Ann")->setImage(Attribute::frontImage, c.stored);
    ASSERT_TRUE(app.context().save().ok);
    const QList<QByteArray> lines = exportBytes(app.context()).split('\n');
    ASSERT_EQ(lines.size(), std::size(cases) + 2);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const QByteArray exported = QByteArray::fromBase64(lines[int(i) + 1].split('^').value(14));
        EXPECT_EQ(exported == c.stored, c.asStored);
        QBuffer buffer;
        buffer.setData(exported);
        QImageReader reader(&buffer);
        EXPECT_EQ(reader.format(), "jpeg");
        EXPECT_EQ(reader.transformation(), QImageIOHandler::TransformationNone);
        EXPECT_EQ(reader.size(), c.size) << "upright";
        EXPECT_TRUE(isEncoderJpeg(exported, 60)) << "baseline, at quality 60";
    }
}

// At both ends of the 16-bit range and around zero, the run-time field reads as its number for
// any reader of the plain format and marks exactly the lines whose texts are escaped; the import
// gives back every text, a backslash before an "n" on a plain line included.
TEST(ExportFormat, RunTimeFieldKeepsItsNumberAndTheEscapeMarkAtTheLimits) {
    AppFixture app;
    for (const qint16 runTime : {-32768, -1, 0, 1, 32767}) {
        for (const bool escaped : {false, true}) {
            MoviePtr movie = insertMovie(
                app.context(), QString("%1 %2").arg(runTime).arg(int(escaped)), 2000, "Ann");
            movie->setRunTime(runTime);
            movie->setText(Attribute::notes, escaped ? "a\nb^c\\n" : "a\\nb");
        }
    }
    ASSERT_TRUE(app.context().save().ok);
    const QByteArray file = exportBytes(app.context());
    const QList<QByteArray> lines = file.split('\n');
    ASSERT_EQ(lines.size(), 12);
    for (const QByteArray& line : lines.mid(1, 10)) {
        const QList<QByteArray> fields = line.split('^');
        ASSERT_EQ(fields.size(), 16) << line.toStdString();
        const QList<QByteArray> name = fields[7].split(' ');
        EXPECT_EQ(exchange::readNumber(fields[11]), name[0].toShort()) << line.toStdString();
        EXPECT_EQ(exchange::marksEscapedLine(fields[11]), name[1] == "1") << line.toStdString();
    }
    AppFixture target;
    EXPECT_EQ(importBytes(target.context(), file).counts.summary(),
              "10 added, 0 updated, 0 skipped, 0 failed");
    EXPECT_EQ(dumpMovies(target.context()), dumpMovies(app.context()));
}

TEST(ExportFormat, NumbersAndEscapesReadBack) {
    using namespace exchange;
    for (const auto& [field, number] : std::initializer_list<std::pair<const char*, qint16>>{
             {"0", 0}, {"+12", 12}, {"-32768", -32768}, {"0120", 120}})
        EXPECT_EQ(readNumber(field), number) << field;
    for (const char* bad : {"", "-", "+", "32768", "-32769", "1 ", " 1", "1e3", "12a", "0x1"})
        EXPECT_FALSE(readNumber(bad).has_value()) << bad;
    for (const auto& [field, marks] : std::initializer_list<std::pair<const char*, bool>>{
             {"00", true}, {"-07", true}, {"0", false}, {"70", false}, {"0a", false}})
        EXPECT_EQ(marksEscapedLine(field), marks) << field;
    for (const QString& text : {QString("a^b\nc\rd\\e"), QString("\\n\\\\c\\"), QString("\\"),
                                QString("\\q"), QString()}) {
        EXPECT_EQ(unescapeText(escapeText(text)), text);
        EXPECT_FALSE(needsEscaping(escapeText(text)));
    }
    EXPECT_EQ(unescapeText("tail\\"), "tail\\");
    EXPECT_EQ(unescapeText("\\q"), "\\q");
}

TEST(ExportFormat, AFailedWriteIsReportedAtEveryByte) {
    AppFixture app;
    insertMovie(app.context(), "Covered", 2001, "Ann")
        ->setImage(Attribute::frontImage, makeJpeg(16, 16, Qt::green));
    insertMovie(app.context(), "Second", 2002, "Bo");
    ASSERT_TRUE(app.context().save().ok);
    const QByteArray complete = exportBytes(app.context());

    for (qint64 limit = 0; limit <= complete.size(); ++limit) {
        FailingDevice device({}, limit);
        const Status status = ExportJob(app.context(), &device).run();
        EXPECT_EQ(status.ok, limit == complete.size()) << "limit " << limit;
        EXPECT_EQ(status.details, status.ok ? "" : "No space left on device");
        const QByteArray written = device.data();
        EXPECT_EQ(written, complete.left(status.ok ? complete.size() : written.size()));
    }
}

}  // namespace
}  // namespace quillon::test
