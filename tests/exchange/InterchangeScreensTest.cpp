// The import screen's preview of other programs' files, its cancel, and the export screen's
// formats.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include "ExchangeScreenRig.h"
#include "exchange/ExchangeSegues.h"
#include "exchange/ExportViewController.h"
#include "exchange/ImportPreviewView.h"
#include "exchange/ImportViewController.h"
#include "formats/ExchangeTestUtil.h"
#include "formats/ZipArchive.h"
#include "store/Backups.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"

namespace quillon::test {
namespace {

using exchange::ColumnTarget;

// The exchange screens' rig, with a file loaded into the import screen.
struct Rig : ScreenRig {
    ImportViewController* load(const QString& path) {
        auto* screen = open<ImportViewController>("ImportMovies");
        app.devices().picker.next = path;
        screen->LoadFileButton->click();
        EXPECT_EQ(alert(), "Data Import\nFile Loaded and Ready to Import");
        return screen;
    }
    // Waits for the dry run to tell its counts.
    QString counted(ImportViewController* screen) {
        pumpEvents();  // a choice made is read again first
        for (int i = 0;
             i < 500 && !screen->PreviewView->countsLabel->text().startsWith("A dry run:"); ++i)
            pumpEvents(10);
        return screen->PreviewView->countsLabel->text();
    }
};

QStringList row(const QTableWidget* table, int r) {
    QStringList cells;
    for (int c = 0; c < table->columnCount(); ++c)
        cells << (table->item(r, c) ? table->item(r, c)->text() : QString("[box]"));
    return cells;
}

void choose(ImportPreviewView* preview, int column, ColumnTarget target) {
    QComboBox* box = preview->columnBox(column);
    ASSERT_TRUE(box);
    box->setCurrentIndex(box->findData(int(target)));
    pumpEvents();
}

// A spreadsheet whose headers name no field: the preview shows its first ten rows and says why
// it cannot be imported yet; columns remapped there are counted by a dry run, imported so, and
// remembered for the next file with the same header.
TEST(ImportPreview, RemappedColumnsAreCountedImportedAndRememberedForTheSameHeader) {
    QTemporaryDir files;
    QByteArray csv = "Film;Jahr;Regie;Ort\r\n";
    for (int i = 0; i < 12; ++i)
        csv += QString("Film %1;19%2;Regie %1;Regal %1\r\n").arg(i).arg(50 + i).toUtf8();
    ASSERT_TRUE(writeBytes(files.filePath("filme.csv"), csv));
    ASSERT_TRUE(writeBytes(files.filePath("more.csv"), "Film;Jahr;Regie;Ort\nNeu;2001;R;X\n"));
    Rig rig;
    auto* screen = rig.load(files.filePath("filme.csv"));
    ImportPreviewView* preview = screen->PreviewView;
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->formatLabel->text(),
              "Format: Spreadsheet CSV (UTF-8, separated by semicolons)\nNo column holds the "
              "movies' names: choose the column that does (--map COLUMN=name)");
    EXPECT_EQ(preview->table->rowCount(), 11) << "the fields, then ten rows";
    EXPECT_EQ(row(preview->table, 1), (QStringList{"Film 0", "1950", "Regie 0", "Regal 0"}));
    EXPECT_EQ(preview->columnBox(3)->currentText(), "(ignore)");
    EXPECT_EQ(preview->columnBox(3)->accessibleName(), "Field for column Ort");

    choose(preview, 0, ColumnTarget::Name);
    choose(preview, 1, ColumnTarget::Year);
    choose(preview, 2, ColumnTarget::Director);
    EXPECT_EQ(rig.counted(screen), "A dry run: 12 added, 0 updated, 0 skipped, 0 failed");
    EXPECT_EQ(rig.app.context().count(Entity::Movies), 0);
    screen->ImportButton->click();
    EXPECT_EQ(rig.alert(),
              "Data Import\nData Import Completed\n12 added, 0 updated, 0 skipped, 0 failed");
    const auto found =
        rig.app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Film 3"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]->year(), 1953);
    EXPECT_EQ(found[0]->director(), "Regie 3");
    EXPECT_EQ(found[0]->notes(), "Ort: Regal 3");

    screen = rig.load(files.filePath("more.csv"));
    EXPECT_EQ(screen->PreviewView->columnBox(0)->currentData().toInt(), int(ColumnTarget::Name));
    EXPECT_EQ(rig.counted(screen), "A dry run: 1 added, 0 updated, 0 skipped, 0 failed");
    screen->PreviewView->notesBox->setChecked(false);
    EXPECT_EQ(rig.counted(screen), "A dry run: 1 added, 0 updated, 0 skipped, 0 failed");
    screen->ImportButton->click();
    rig.alert();
    const auto neu = rig.app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Neu"));
    ASSERT_EQ(neu.size(), 1u);
    EXPECT_FALSE(neu[0]->notes().has_value()) << "the box took the unmapped column out";
}

// A cancelled import keeps what it applied (saved, and counted in the message), and the backup.
TEST(ImportScreen, ACancelledImportKeepsTheMoviesAlreadyInSaysHowManyAndKeepsTheBackup) {
    QTemporaryDir files;
    QByteArray csv = "Title,Year\n";
    for (int i = 0; i < 40000; ++i) csv += "Movie " + QByteArray::number(i) + ",2000\n";
    ASSERT_TRUE(writeBytes(files.filePath("many.csv"), csv));
    Rig rig;
    auto* screen = rig.load(files.filePath("many.csv"));
    QObject::connect(screen->ProgressView, &QProgressBar::valueChanged, [screen](int value) {
        if (value > 0 && screen->CancelButton->isEnabled()) screen->CancelButton->click();
    });
    screen->ImportButton->click();
    EXPECT_TRUE(screen->CancelButton->isVisible() && screen->ProgressView->isVisible());
    const QString told = rig.alert();
    const int movies = rig.app.context().count(Entity::Movies);
    EXPECT_GT(movies, 0);
    EXPECT_LT(movies, 40000);
    const QStringList backups = backups::list(rig.app.dataDir());
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(told, QString("Data Import\nImport Cancelled\nThe movies read before it stopped are "
                            "in: %1 added, 0 updated, 0 skipped, 0 failed\nThe backup made before "
                            "the import is kept: %2")
                        .arg(movies)
                        .arg(backups[0]));
    EXPECT_FALSE(rig.app.context().hasChanges());
    rig.app.restart();
    EXPECT_EQ(rig.app.context().count(Entity::Movies), movies);
}

// A Tellico collection is previewed with its fields' fixed places.
TEST(ImportPreview, ShowsACollectionsFieldsWhereTheyGo) {
    QTemporaryDir files;
    exchange::ZipWriter zip;
    ASSERT_TRUE(zip.add("tellico.xml",
                        "<tellico syntaxVersion=\"11\"><collection type=\"3\"><entry>"
                        "<title>Alien</title><studio>Fox</studio></entry></collection></tellico>",
                        true)
                    .ok);
    Status written;
    ASSERT_TRUE(writeBytes(files.filePath("videos.tc"), zip.finish(&written).value_or("")));
    Rig rig;
    auto* screen = rig.load(files.filePath("videos.tc"));
    ImportPreviewView* preview = screen->PreviewView;
    EXPECT_EQ(preview->formatLabel->text(),
              "Format: Tellico collection (Zip archive, syntax version 11, 1 movies)");
    EXPECT_FALSE(preview->separatorBox->isVisible());
    EXPECT_TRUE(preview->notesBox->isVisible());
    EXPECT_EQ(row(preview->table, 0), (QStringList{"Movie Name", "(ignore)"}));
    EXPECT_EQ(row(preview->table, 1), (QStringList{"Alien", "Fox"}));
    EXPECT_EQ(rig.counted(screen), "A dry run: 1 added, 0 updated, 0 skipped, 0 failed");
}

// The export screen writes the format chosen beside its buttons, under that format's name, and
// says what the format leaves out.
TEST(ExportScreen, WritesTheFormatChosenUnderItsName) {
    QTemporaryDir temp;
    ScopedEnv folder("XDG_RUNTIME_DIR", temp.path());
    const struct {
        exchange::FileFormat format;
        QByteArray starts;
        QString told;
        QString file;
    } cases[] = {
        {exchange::FileFormat::Csv, "\xEF\xBB\xBFMovie Name,Year,",
         "Data Export\nProcess Complete - File Ready to Save to Files or Email\nCovers are not "
         "written to a spreadsheet; export a Quillon file or a Tellico collection to keep them.",
         "Quillon Movies.csv"},
        {exchange::FileFormat::Tellico, "PK\x03\x04",
         "Data Export\nProcess Complete - File Ready to Save to Files or Email",
         "Quillon Movies.tc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        Rig rig;
        addMovie(rig.app.context(), "Alien", 1979, "Ridley Scott")
            ->setImage(Attribute::frontImage, makeJpeg(20, 30, Qt::red));
        ASSERT_TRUE(rig.app.context().save().ok);
        auto* screen = rig.open<ExportViewController>("ExportMovies");
        screen->FormatBox->setCurrentIndex(screen->FormatBox->findData(int(c.format)));
        screen->ExportButton->click();
        EXPECT_FALSE(screen->FormatBox->isEnabled());
        EXPECT_EQ(rig.alert(), c.told);
        EXPECT_TRUE(screen->DataString.value_or("").startsWith(c.starts));
        screen->SaveButton->click();
        const QString path = ExportViewController::exportFilePath(c.format);
        EXPECT_TRUE(path.endsWith("/" + c.file));
        EXPECT_EQ(rig.app.devices().share.requests.value(0).files, QStringList{path});
        EXPECT_EQ(contents(path), screen->DataString.value_or(""));
        screen->EmailButton->click();
        EXPECT_EQ(rig.app.devices().mail.composed.value(0).attachments.value(0).fileName, c.file);
    }
}

}  // namespace
}  // namespace quillon::test
