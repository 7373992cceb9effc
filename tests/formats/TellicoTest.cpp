// Tellico collections in and out: a collection written here by hand from the format (both forms of
// its fields, pictures in the zip and inline), every damaged or foreign collection refused with
// nothing changed, and Quillon -> Tellico -> Quillon.
#include <QBuffer>
#include <QCryptographicHash>

#include "InterchangeTestUtil.h"
#include "formats/TellicoCollection.h"
#include "formats/ZipArchive.h"

namespace quillon::test {
namespace {

using exchange::FileFormat;

QByteArray tellicoXml(const QString& entries, const QString& images = {},
                      const QString& doctype = {}, int type = 3, int syntax = 10) {
    return QString(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "%1\n"
               "<tellico xmlns=\"http://periapsis.org/tellico/\" syntaxVersion=\"%2\">\n"
               " <collection title=\"Videos\" type=\"%3\">\n"
               "  <fields>\n"
               "   <field name=\"_default\"/>\n"
               "   <field flags=\"0\" title=\"Back\" category=\"Back\" format=\"4\" "
               "type=\"10\" name=\"back\"/>\n"
               "   <field flags=\"0\" title=\"Location\" category=\"Personal\" format=\"4\" "
               "type=\"1\" name=\"location\"/>\n"
               "  </fields>\n%4\n  <images>%5</images>\n"
               " </collection>\n"
               "</tellico>\n")
        .arg(doctype.isEmpty() ? QString("<!DOCTYPE tellico PUBLIC \"-//Robby Stephenson/DTD "
                                         "Tellico V11.0//EN\" "
                                         "\"http://periapsis.org/tellico/dtd/v11/tellico.dtd\">")
                               : doctype)
        .arg(syntax)
        .arg(type)
        .arg(entries, images)
        .toUtf8();
}

// The container form, pictures in the zip.
const char* kAlien =
    "  <entry id=\"1\">\n"
    "   <title>Alien</title><year>1979</year><certification>R (USA)</certification>\n"
    "   <genres><genre>Horror</genre><genre>Sci-Fi</genre></genres>\n"
    "   <directors><director>Ridley Scott</director></directors>\n"
    "   <casts><cast><column>Sigourney Weaver</column><column>Ripley</column></cast>"
    "<cast><column>Tom Skerritt</column></cast><cast><column>John Hurt</column></cast></casts>\n"
    "   <running-time>117</running-time><color>Color</color>\n"
    "   <plot>In space no one can hear you scream.</plot><comments>Great &amp; grim</comments>\n"
    "   <location>Shelf 2</location><seen>true</seen><id>1</id><cdate>2020-01-01</cdate>\n"
    "   <cover>front.jpeg</cover><back>back.png</back>\n"
    "  </entry>\n";
// The bare form, its picture inline; a linked picture; a picture that is nowhere.
const char* kVertigo =
    "  <entry id=\"2\">\n"
    "   <title>Vertigo</title><year>1958</year><genre>Thriller; Mystery</genre>\n"
    "   <director>Alfred Hitchcock</director>\n"
    "   <cast>James Stewart::Scottie; Kim Novak::Madeleine</cast>\n"
    "   <pur_date><year>2001</year><month>02</month><day>03</day></pur_date>\n"
    "   <cover>inline.jpeg</cover><back>linked.jpeg</back>\n"
    "  </entry>\n"
    "  <entry id=\"3\"><title>Rope</title><year>1948</year><cover>gone.jpeg</cover></entry>\n";

QByteArray zipOf(const QList<std::pair<QString, QByteArray>>& entries) {
    exchange::ZipWriter zip;
    for (const auto& [name, bytes] : entries) EXPECT_TRUE(zip.add(name, bytes, false).ok);
    Status status;
    return zip.finish(&status).value_or(QByteArray());
}

// Entries enough to fill the preview and go on past it.
QString plainEntries(int count) {
    QString entries;
    for (int i = 1; i <= count; ++i)
        entries += QString("  <entry><title>Movie %1</title><year>2000</year></entry>\n").arg(i);
    return entries;
}

QByteArray backPicture() {
    QImage image(20, 30, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    return imageBytes(image, "PNG");
}

QByteArray collection() {
    const QByteArray inlined = makeJpeg(16, 24, Qt::yellow).toBase64();
    const QString images =
        QString(
            "<image format=\"JPEG\" id=\"inline.jpeg\" width=\"16\" height=\"24\">%1</image>"
            "<image format=\"JPEG\" id=\"linked.jpeg\" link=\"true\"/>")
            .arg(QString::fromLatin1(inlined.left(40) + "\n " + inlined.mid(40)));
    return zipOf({{"tellico.xml", tellicoXml(QString(kAlien) + kVertigo, images)},
                  {"images/front.jpeg", makeJpeg(40, 60, Qt::red)},
                  {"images/back.png", backPicture()}});
}

TEST(TellicoImport, ACollectionComesInWithBothFormsOfItsFieldsAndItsPictures) {
    AppFixture app;
    const Imported imported = importWith(app.context(), collection());
    ASSERT_TRUE(imported.status.ok) << imported.status.describe().toStdString();
    EXPECT_EQ(imported.counts.summary(), "3 added, 0 updated, 0 skipped, 0 failed");
    EXPECT_EQ(imported.problems,
              QStringList({"Vertigo (1958): back cover not imported, any stored one kept: the "
                           "picture is linked to linked.jpeg, not held in the collection, and is "
                           "not fetched",
                           "Rope (1948): front cover not imported, any stored one kept: the "
                           "picture gone.jpeg is not in the collection"}));

    const MoviePtr alien = movieNamed(app.context(), "Alien");
    ASSERT_TRUE(alien);
    EXPECT_EQ(alien->year(), 1979);
    EXPECT_EQ(alien->rating(), "R");
    EXPECT_EQ(alien->genre(), "Horror");
    EXPECT_EQ(alien->director(), "Ridley Scott");
    EXPECT_EQ(alien->leadingActor1(), "Sigourney Weaver");
    EXPECT_EQ(alien->leadingActor2(), "Tom Skerritt");
    EXPECT_EQ(alien->runTime(), 117);
    EXPECT_EQ(alien->text(Attribute::color_blackwhite), "Color");
    EXPECT_EQ(alien->notes(),
              "Great & grim\nGenre: Horror; Sci-Fi\nPlot Summary: In space no one can hear you "
              "scream.\nLocation: Shelf 2\nSeen: true\nCast: Sigourney Weaver (Ripley); Tom "
              "Skerritt; John Hurt");
    // Stored as the forms store a new picture: JPEG, the transparent PNG on white.
    EXPECT_TRUE(alien->image(Attribute::frontImage).value_or("").startsWith("\xFF\xD8"));
    EXPECT_EQ(coverLook(alien->image(Attribute::frontImage)), coverLook(makeJpeg(40, 60, Qt::red)));
    EXPECT_TRUE(alien->image(Attribute::backImage).value_or("").startsWith("\xFF\xD8"));
    EXPECT_EQ(coverLook(alien->image(Attribute::backImage)), coverLook(backPicture()));
    // Each cover comes with its own small copy, made from the same picture.
    for (const auto& [side, size] : {std::pair{Attribute::frontImage, QSize(40, 60)},
                                     std::pair{Attribute::backImage, QSize(20, 30)}}) {
        const std::optional<SavedCover> saved = alien->savedCover(side);
        ASSERT_TRUE(saved);
        const std::optional<SmallCover> small = SavedCoverReader().readSmall(*saved);
        ASSERT_TRUE(small);
        EXPECT_EQ(small->coverSize, size);
        EXPECT_EQ(coverLook(small->bytes), coverLook(alien->image(side)));
    }

    const MoviePtr vertigo = movieNamed(app.context(), "Vertigo");
    ASSERT_TRUE(vertigo);
    EXPECT_EQ(vertigo->genre(), "Thriller");
    EXPECT_EQ(vertigo->leadingActor1(), "James Stewart");
    EXPECT_EQ(vertigo->leadingActor2(), "Kim Novak");
    EXPECT_EQ(vertigo->notes(),
              "Genre: Thriller; Mystery\nPurchase Date: 2001-02-03\nCast: James Stewart "
              "(Scottie); Kim Novak (Madeleine)");
    EXPECT_EQ(coverLook(vertigo->image(Attribute::frontImage)),
              coverLook(makeJpeg(16, 24, Qt::yellow)));
    EXPECT_FALSE(vertigo->hasImage(Attribute::backImage));

    const Imported again = importWith(app.context(), tellicoXml(kVertigo));
    EXPECT_EQ(again.counts.summary(), "0 added, 2 updated, 0 skipped, 0 failed")
        << "the bare XML is read too";
}

// A damaged or foreign collection fails before anything changes, its reason naming the line or
// the entry; no entity is expanded, no DTD fetched.
TEST(TellicoImport, DamagedOrForeignCollectionsAreRefusedWithNothingChanged) {
    QByteArray damaged = collection();
    const qsizetype picture = damaged.indexOf(makeJpeg(40, 60, Qt::red).mid(200, 40));
    ASSERT_GT(picture, 0);
    damaged[picture + 10] = char(damaged[picture + 10] ^ 0x55);
    // The same picture damaged, named by an entry past the preview's rows.
    QByteArray damagedLate = zipOf({{"tellico.xml", tellicoXml(plainEntries(12) + kAlien)},
                                    {"images/front.jpeg", makeJpeg(40, 60, Qt::red)},
                                    {"images/back.png", backPicture()}});
    const qsizetype latePicture = damagedLate.indexOf(makeJpeg(40, 60, Qt::red).mid(200, 40));
    ASSERT_GT(latePicture, 0);
    damagedLate[latePicture + 10] = char(damagedLate[latePicture + 10] ^ 0x55);
    const QByteArray laughs =
        "<!DOCTYPE tellico [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>";
    const QByteArray external =
        "<!DOCTYPE tellico [<!ENTITY secret SYSTEM \"file:///etc/hostname\">]>";
    const struct {
        const char* what;
        QByteArray file;
        Status::Code code;
        QString error;  // the start of the failure's text
    } cases[] = {
        {"a book collection", tellicoXml(kAlien, {}, {}, 2), Status::Refused,
         "The file, line 4: the file holds a book collection (type 2), not movies"},
        {"a newer syntax", tellicoXml(kAlien, {}, {}, 3, 13), Status::Refused,
         "The file, line 3: the collection is of syntax version 13, newer than"},
        {"an entity that would expand",
         tellicoXml(QString(kAlien).replace("Alien", "&b;"), {}, laughs), Status::Refused,
         "The file, line 2: the document declares or uses an entity"},
        {"an external entity",
         tellicoXml(QString(kAlien).replace("Alien", "&secret;"), {}, external), Status::Refused,
         "The file, line 2: the document declares or uses an entity"},
        {"an undeclared entity", tellicoXml(QString(kAlien).replace("Alien", "&nope;")),
         Status::Refused, "The file, line 11: the document declares or uses an entity"},
        {"XML cut short", tellicoXml(kAlien).left(700), Status::Corrupt, "The file, line "},
        {"a zip cut short", collection().left(collection().size() / 2), Status::Corrupt,
         "The file is not a sound zip archive: "},
        {"a damaged picture", damaged, Status::Corrupt,
         "images/front.jpeg in the zip archive is damaged: "},
        {"a zip without tellico.xml", zipOf({{"other.xml", tellicoXml(kAlien)}}), Status::Corrupt,
         "The zip archive holds no tellico.xml, so it is not a Tellico collection"},
        {"XML that is no collection", "<?xml version=\"1.0\"?><tellico syntaxVersion=\"11\"/>",
         Status::Corrupt, "The file, line 1: the document holds no collection"},
        {"an entity past the preview's rows",
         tellicoXml(plainEntries(12) + QString(kAlien).replace("Alien", "&nope;")), Status::Refused,
         "The file, line 23: the document declares or uses an entity"},
        {"XML cut short past the preview's rows", tellicoXml(plainEntries(12) + kAlien).left(1500),
         Status::Corrupt, "The file, line "},
        {"a damaged picture past the preview's rows", damagedLate, Status::Corrupt,
         "images/front.jpeg in the zip archive is damaged: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AppFixture app;
        addMovie(app.context(), "Alien", 1979, "Ridley Scott");
        const QStringList before = dumpMovies(app.context());
        exchange::ImportOptions options;
        options.format = FileFormat::Tellico;
        const Imported imported = importWith(app.context(), c.file, options);
        EXPECT_EQ(imported.status.code, c.code);
        EXPECT_TRUE(imported.status.error.startsWith(c.error))
            << imported.status.error.toStdString();
        EXPECT_EQ(dumpMovies(app.context()), before);
        EXPECT_TRUE(imported.backup.isEmpty());
        EXPECT_FALSE(imported.status.describe().contains("aaaaaaaaaa"));
    }
}

// A collection larger than the preview is previewed from its first entries, and comes in whole.
TEST(TellicoImport, ALargeCollectionIsPreviewedFromItsFirstEntriesAndComesInWhole) {
    AppFixture app;
    QByteArray file = tellicoXml(plainEntries(25));
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    const auto import = exchange::makeImport(app.context(), &buffer, {});
    ASSERT_TRUE(import->begin().ok);
    const exchange::ImportPreview preview = import->preview();
    EXPECT_EQ(preview.details, "XML document, syntax version 10");
    ASSERT_EQ(preview.rows.size(), exchange::FileImport::kPreviewRows);
    EXPECT_EQ(preview.rows.back().front(), "Movie 10");
    while (import->applyNext()) {
    }
    EXPECT_TRUE(import->status().ok);
    EXPECT_EQ(import->counts().summary(), "25 added, 0 updated, 0 skipped, 0 failed");
    EXPECT_TRUE(movieNamed(app.context(), "Movie 25"));
}

// Every field Tellico holds comes back: all texts but the colour-less imdb, the numbers, both
// covers as pictures; the cast in its four slots through "actresses".
TEST(TellicoRoundTrip, QuillonToTellicoToQuillonKeepsTextsNumbersCastAndCovers) {
    AppFixture source, target;
    fillAwkwardCatalogue(source.context());
    ASSERT_FALSE(HasFatalFailure());
    const Exported tc = exportAs(FileFormat::Tellico, source.context());
    ASSERT_TRUE(tc.status.ok) << tc.status.describe().toStdString();
    EXPECT_TRUE(tc.problems.isEmpty()) << tc.problems.join('\n').toStdString();

    QBuffer archive(&const_cast<QByteArray&>(tc.bytes));
    archive.open(QIODevice::ReadOnly);
    exchange::ZipReader zip(&archive);
    ASSERT_TRUE(zip.open().ok);
    Status read;
    const QByteArray xml = zip.read("tellico.xml", 1 << 30, &read).value_or(QByteArray());
    EXPECT_TRUE(xml.contains("syntaxVersion=\"11\"") && xml.contains("type=\"3\"") &&
                xml.contains("<field name=\"_default\"/>"));
    EXPECT_FALSE(xml.contains("tt0078748"));
    const QByteArray front =
        *source.context().fetch<Movies>().front()->image(Attribute::frontImage);
    const QString frontName =
        "images/" + QCryptographicHash::hash(front, QCryptographicHash::Md5).toHex() + ".jpeg";
    EXPECT_EQ(zip.read(frontName, 1 << 30, &read), front) << "covers go as they are stored";

    const Imported imported = importWith(target.context(), tc.bytes);
    EXPECT_EQ(imported.counts.summary(), "6 added, 0 updated, 0 skipped, 0 failed");
    EXPECT_TRUE(imported.problems.isEmpty()) << imported.problems.join('\n').toStdString();
    EXPECT_EQ(dumpTexts(target.context()), dumpTexts(source.context()));
    const auto covers = [](ManagedObjectContext& context) {
        QStringList looks;
        for (const MoviePtr& movie : exchange::moviesInExportOrder(context))
            looks << coverLook(movie->image(Attribute::frontImage)) + " / " +
                         coverLook(movie->image(Attribute::backImage));
        return looks;
    };
    EXPECT_EQ(covers(target.context()), covers(source.context()));
    EXPECT_EQ(importWith(target.context(), tc.bytes).counts.summary(),
              "0 added, 6 updated, 0 skipped, 0 failed");
}

// An entry is held only up to its cap, also when its sizes in the archive understate it, as a
// crafted archive's may; nothing beyond the cap is inflated into memory.
TEST(ZipReader, ReadsAnEntryOnlyUpToItsCapWhateverItsHeadersSay) {
    const QByteArray big(3 << 20, 'a');
    exchange::ZipWriter writer;
    ASSERT_TRUE(writer.add("big.bin", big, true).ok);
    Status made;
    const QByteArray archive = writer.finish(&made).value_or(QByteArray());
    ASSERT_TRUE(made.ok);
    QByteArray understated = archive;
    // The uncompressed size in the local header (offset 22) and the central one (offset 24).
    for (const auto& [signature, offset] : {std::pair{"PK\x03\x04", 22}, {"PK\x01\x02", 24}}) {
        const qsizetype at = understated.indexOf(signature);
        ASSERT_GE(at, 0);
        const char small[4] = {100, 0, 0, 0};
        understated.replace(at + offset, 4, QByteArray(small, 4));
    }
    const struct {
        const char* what;
        QByteArray archive;
        qint64 limit;
        Status::Code code;
        QString error;
    } cases[] = {
        {"within its cap", archive, 3 << 20, Status::Ok, ""},
        {"over its cap", archive, 1 << 20, Status::TooBig,
         "big.bin in the zip archive is larger than 1 MB, more than is read"},
        {"over its cap, its sizes understated", understated, 1 << 20, Status::TooBig,
         "big.bin in the zip archive is larger than 1 MB, more than is read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QBuffer device;
        device.setData(c.archive);
        ASSERT_TRUE(device.open(QIODevice::ReadOnly));
        exchange::ZipReader zip(&device);
        ASSERT_TRUE(zip.open().ok);
        Status read;
        const std::optional<QByteArray> bytes = zip.read("big.bin", c.limit, &read);
        EXPECT_EQ(read.code, c.code);
        EXPECT_EQ(read.error, c.error);
        EXPECT_EQ(bytes.has_value(), c.code == Status::Ok);
        if (bytes) {
            EXPECT_EQ(*bytes, big);
        }
    }
}

}  // namespace
}  // namespace quillon::test
