#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>
#include <QRegularExpression>

#include "ExchangeTestUtil.h"
#include "exchange/CoverCodec.h"
#include "exchange/ExportFormat.h"
#include "exchange/ExportJob.h"
#include "support/TestSupport.h"

namespace quillon::test {
namespace {

using exchange::ExportJob;

QList<QByteArray> linesOf(const QByteArray& file) {
    QList<QByteArray> lines = file.split('\n');
    EXPECT_TRUE(lines.last().isEmpty()) << "every line ends with a line feed";
    lines.removeLast();
    return lines;
}

TEST(ExportFormat, GoldenFilesForEmptyCatalogueEmptyMovieAndNumbers) {
    AppFixture app;
    EXPECT_EQ(exportBytes(app.context()), QByteArray("[QUILLON]\n"));

    Movies::insertInto(app.context());
    MoviePtr negative = insertMovie(app.context(), "Zed", -1, "Ann");
    negative->setRunTime(-32768);
    ASSERT_TRUE(app.context().save().ok);
    EXPECT_EQ(exportBytes(app.context()), QByteArray("[QUILLON]\n"
                                                     "^^^^^^^^^^^0^^0^^\n"
                                                     "^Ann^^^^^^Zed^^^^-32768^^-1^^\n"));
}

TEST(ExportFormat, EveryTextInItsFieldAndImdbNeverWritten) {
    AppFixture app;
    MoviePtr movie = insertMovie(app.context(), "Dog's Day \"uncut\" ", 1999, "Lee");
    const QList<std::pair<Attribute, QString>> texts = {{Attribute::color_blackwhite, "Color"},
                                                        {Attribute::genre, "Drama"},
                                                        {Attribute::leadingActor1, "Al"},
                                                        {Attribute::leadingActor2, "Bo"},
                                                        {Attribute::leadingActress1, "Cy"},
                                                        {Attribute::leadingActress2, "Di"},
                                                        {Attribute::notes, "  long, quiet \\ film"},
                                                        {Attribute::producer, "Ed"},
                                                        {Attribute::rating, "PG"},
                                                        {Attribute::writer, "Fay"},
                                                        {Attribute::imdb, "tt0123456"}};
    for (const auto& [attribute, text] : texts) movie->setText(attribute, text);
    movie->setRunTime(125);
    ASSERT_TRUE(app.context().save().ok);

    const QByteArray file = exportBytes(app.context());
    EXPECT_EQ(file, QByteArray("[QUILLON]\nColor^Lee^Drama^Al^Bo^Cy^Di^Dog's Day \"uncut\" ^"
                               "  long, quiet \\ film^Ed^PG^125^Fay^1999^^\n"));
    EXPECT_FALSE(file.contains("tt0123456"));
}

TEST(ExportFormat, OrderIsNameThenYearThenDirectorCaseSensitive) {
    AppFixture app;
    insertMovie(app.context(), "alien", 1979, "Scott");
    insertMovie(app.context(), "Alien", 1986, "Cameron");
    insertMovie(app.context(), "Alien", 1979, "Scott");
    insertMovie(app.context(), "Alien", 1979, "Anderson");
    insertMovie(app.context(), "Zulu", 1964, "Endfield");
    ASSERT_TRUE(app.context().save().ok);

    QStringList keys;
    for (const QByteArray& line : linesOf(exportBytes(app.context())).mid(1)) {
        const QList<QByteArray> fields = line.split('^');
        keys << QString(fields[7] + " " + fields[13] + " " + fields[1]);
    }
    EXPECT_EQ(keys, QStringList({"Alien 1979 Anderson", "Alien 1979 Scott", "Alien 1986 Cameron",
                                 "Zulu 1964 Endfield", "alien 1979 Scott"}));
}

TEST(ExportFormat, CoversAreReencodedAsJpegAtQualitySixtyAndBadOnesKeptOrReported) {
    AppFixture app;
    const QByteArray front = makeJpeg(120, 180, Qt::red, 100);
    QImage png(40, 60, QImage::Format_RGB32);
    png.fill(Qt::blue);
    QByteArray pngBytes;
    QBuffer pngBuffer(&pngBytes);
    pngBuffer.open(QIODevice::WriteOnly);
    png.save(&pngBuffer, "PNG");
    MoviePtr movie = insertMovie(app.context(), "Covered", 2001, "Ann");
    movie->setImage(Attribute::frontImage, front);
    movie->setImage(Attribute::backImage, pngBytes);
    MoviePtr broken = insertMovie(app.context(), "Broken", 2001, "Ann");
    broken->setImage(Attribute::frontImage, QByteArray("not a picture"));
    // A JPEG no decoder reads travels as stored: nothing of it is lost.
    const QByteArray damagedJpeg = front.left(300) + QByteArray(200, '\x55') + "\xFF\xD9";
    broken->setImage(Attribute::backImage, damagedJpeg);
    ASSERT_TRUE(app.context().save().ok);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ExportJob job(app.context(), &buffer);
    ASSERT_TRUE(job.run().ok);
    ASSERT_EQ(job.problems().size(), 1);
    EXPECT_TRUE(job.problems()[0].startsWith(
        "Broken (2001): front cover left out: it could not be decoded ("))
        << job.problems()[0].toStdString();
    const QList<QByteArray> lines = linesOf(bytes);
    ASSERT_EQ(lines.size(), 3);
    const QList<QByteArray> brokenFields = lines[1].split('^');
    EXPECT_EQ(brokenFields[14], QByteArray());
    EXPECT_EQ(brokenFields[15], damagedJpeg.toBase64());

    const QList<QByteArray> fields = lines[2].split('^');
    ASSERT_EQ(fields.size(), 16);
    for (int index : {14, 15}) {
        const QByteArray jpeg = QByteArray::fromBase64(fields[index]);
        EXPECT_EQ(fields[index], jpeg.toBase64()) << "standard Base64 with padding";
        EXPECT_TRUE(jpeg.startsWith("\xFF\xD8\xFF")) << "a JPEG";
        EXPECT_FALSE(fields[index].contains('\n'));
    }
    const QByteArray reencoded = QByteArray::fromBase64(fields[14]);
    EXPECT_LT(reencoded.size(), front.size()) << "quality 60 shrinks a quality 100 picture";
    QImage expected = QImage::fromData(front);
    QByteArray expectedJpeg;
    QBuffer expectedBuffer(&expectedJpeg);
    expectedBuffer.open(QIODevice::WriteOnly);
    expected.save(&expectedBuffer, "JPG", 60);
    EXPECT_EQ(reencoded, expectedJpeg);
    EXPECT_EQ(QImage::fromData(QByteArray::fromBase64(fields[15])).size(), QSize(40, 60));
}

QByteArray encoded(const QImage& image, const char* format = "JPG") {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 95);
    return bytes;
}

TEST(ExportFormat, CoversComeOutUprightAndLargePicturesExport) {
    AppFixture app;
    QImage wide(40, 20, QImage::Format_RGB32);  // left half red, right half blue
    wide.fill(Qt::blue);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) wide.setPixel(x, y, qRgb(255, 0, 0));
    }
    MoviePtr turned = insertMovie(app.context(), "Turned", 2000, "Ann");
    turned->setImage(Attribute::frontImage, withExifOrientation(encoded(wide), 6));
    QImage huge(6000, 6000, QImage::Format_RGB32);
    huge.fill(Qt::darkGreen);
    MoviePtr big = insertMovie(app.context(), "Huge", 2001, "Ann");
    big->setImage(Attribute::backImage, encoded(huge));
    ASSERT_TRUE(app.context().save().ok);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ExportJob job(app.context(), &buffer);
    ASSERT_TRUE(job.run().ok);
    EXPECT_EQ(job.problems(), QStringList());
    const QList<QByteArray> lines = linesOf(bytes);
    ASSERT_EQ(lines.size(), 3);
    QByteArray hugeCover = QByteArray::fromBase64(lines[1].split('^')[15]);
    QBuffer hugeBuffer(&hugeCover);
    EXPECT_EQ(QImageReader(&hugeBuffer).size(), QSize(6000, 6000));

    // Turned clockwise: the left edge is the top now.
    const QImage upright = QImage::fromData(QByteArray::fromBase64(lines[2].split('^')[14]));
    ASSERT_EQ(upright.size(), QSize(20, 40));
    EXPECT_GT(QColor(upright.pixel(10, 5)).red(), 200);
    EXPECT_GT(QColor(upright.pixel(10, 35)).blue(), 200);
}

TEST(ExportFormat, TextsThatWouldSplitARecordAreEscapedAndOthersLeftAlone) {
    AppFixture app;
    MoviePtr movie = insertMovie(app.context(), "A^B", 1990, "C\\D");
    movie->setText(Attribute::notes, "line one\nline two\r\nend \\n not a break");
    movie->setRunTime(-7);
    MoviePtr plain = insertMovie(app.context(), "Plain \\n", 1990, "E");
    plain->setRunTime(0);
    ASSERT_TRUE(app.context().save().ok);

    const QList<QByteArray> lines = linesOf(exportBytes(app.context()));
    ASSERT_EQ(lines.size(), 3) << "one line per movie";
    EXPECT_EQ(lines[1], QByteArray("^C\\\\D^^^^^^A\\cB^line one\\nline two\\r\\nend \\\\n not a "
                                   "break^^^-07^^1990^^"));
    EXPECT_EQ(lines[2], QByteArray("^E^^^^^^Plain \\n^^^^0^^1990^^")) << "written byte for byte";
    for (const QByteArray& line : lines.mid(1)) EXPECT_EQ(line.count('^'), 15);
}

TEST(ExportFormat, NumbersAndEscapesReadBack) {
    using namespace exchange;
    EXPECT_EQ(readNumber("0"), qint16(0));
    EXPECT_EQ(readNumber("+12"), qint16(12));
    EXPECT_EQ(readNumber("-32768"), qint16(-32768));
    EXPECT_EQ(readNumber("0120"), qint16(120));
    for (const char* bad : {"", "-", "+", "32768", "-32769", "1 ", " 1", "1e3", "12a", "0x1"}) {
        EXPECT_FALSE(readNumber(bad).has_value()) << bad;
    }
    EXPECT_TRUE(marksEscapedLine("00"));
    EXPECT_TRUE(marksEscapedLine("-07"));
    EXPECT_FALSE(marksEscapedLine("0"));
    EXPECT_FALSE(marksEscapedLine("70"));
    EXPECT_FALSE(marksEscapedLine("0a"));
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
    MoviePtr movie = insertMovie(app.context(), "Covered", 2001, "Ann");
    movie->setImage(Attribute::frontImage, makeJpeg(16, 16, Qt::green));
    insertMovie(app.context(), "Second", 2002, "Bo");
    ASSERT_TRUE(app.context().save().ok);
    const QByteArray complete = exportBytes(app.context());

    for (qint64 limit = 0; limit < complete.size(); ++limit) {
        FailDevice device(limit);
        ExportJob job(app.context(), &device);
        const Status status = job.run();
        ASSERT_FALSE(status.ok) << "limit " << limit;
        EXPECT_EQ(status.details, "No space left on device");
        EXPECT_TRUE(complete.startsWith(device.written));
    }
    FailDevice roomy(complete.size());
    ExportJob job(app.context(), &roomy);
    EXPECT_TRUE(job.run().ok);
    EXPECT_EQ(roomy.written, complete);
}

// A cover the store cannot read is a failed export, never an empty field in a file that looks
// whole: the job fails naming the movie and writes nothing past it.
TEST(ExportFormat, ACoverTheStoreCannotReadFailsTheExport) {
    AppFixture app;
    QImage noise(200, 200, QImage::Format_RGB32);  // noise keeps the JPEG over many pages
    QRandomGenerator random(3);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, random.generate());
    const QByteArray unreadable = encoded(noise);
    addMovie(app.context(), "Before", 1998, "Ann");
    addMovie(app.context(), "Damaged", 1999, "Ann")->setImage(Attribute::frontImage, unreadable);
    addMovie(app.context(), "Later", 2000, "Ann");
    ASSERT_TRUE(app.context().save().ok);
    app.restart();  // closed, so that the file can be damaged under it
    breakCoverPages(app.dataDir(), unreadable);
    ASSERT_FALSE(HasFatalFailure());

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ExportJob job(app.context(), &buffer);
    const Status status = job.run();
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.error,
              "The export stopped at Damaged (1999): its front cover could not be read from the "
              "catalogue");
    EXPECT_EQ(bytes, "[QUILLON]\n^Ann^^^^^^Before^^^^0^^1998^^\n") << "nothing past it";
}

TEST(ExportFormat, ProgressCountsRecordsOfTheCatalogueAndDisplayTextShortensCovers) {
    AppFixture app;
    for (int i = 0; i < 30; ++i) {
        MoviePtr movie =
            insertMovie(app.context(), QString("Movie %1").arg(i, 2, 10, QChar('0')), 2000, "Ann");
        movie->setImage(Attribute::frontImage,
                        makeJpeg(300, 400, QColor::fromHsv(i * 10, 200, 200)));
    }
    ASSERT_TRUE(app.context().save().ok);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ExportJob job(app.context(), &buffer);
    job.setKeepsDisplayText(true);
    QList<int> steps;
    QObject::connect(&job, &ExportJob::progressed, [&](int done, int total) {
        EXPECT_EQ(total, 30);
        steps << done;
    });
    ASSERT_TRUE(job.run().ok);
    ASSERT_FALSE(steps.isEmpty());
    EXPECT_EQ(steps.last(), 30);
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
    EXPECT_EQ(job.entries().size(), 30u);

    const QStringList shown = job.displayText().split('\n');
    const QList<QByteArray> written = bytes.split('\n');
    ASSERT_EQ(shown.size(), written.size());
    const QByteArray cover = written[1].split('^')[14];
    EXPECT_EQ(shown[1],
              QString::fromUtf8(written[1])
                  .replace(QString::fromLatin1(cover),
                           exchange::coverMarker(exchange::kFrontImageField, cover.size())));
    EXPECT_TRUE(shown[1].contains(QRegularExpression("\\^\\[front cover, \\d+ KB\\]\\^$")));
}

}  // namespace
}  // namespace quillon::test
