// The export and import screens: work off the main thread, what the user is told, the files
// handed on.
#include <sys/stat.h>

#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include "ExchangeScreenRig.h"
#include "exchange/ExchangeSegues.h"
#include "exchange/ExportViewController.h"
#include "exchange/ImportViewController.h"
#include "formats/DisplayText.h"
#include "formats/ExchangeTestUtil.h"
#include "store/Backups.h"
#include "toolkit/ActivityIndicator.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"

namespace quillon::test {
namespace {

// The export runs beside the window: the bar moves before it ends; the view shows the file with
// covers as markers; one alert tells it is done, naming the covers left out. Save and Email then
// hand on the file, written privately (never through a planted link), or tell why not.
TEST(ExportScreen, ExportsAlongsideThenSavesAndMailsTheFileOrTellsWhyNot) {
    QTemporaryDir temp, elsewhere;
    ScopedEnv folder("XDG_RUNTIME_DIR", temp.path());
    ScreenRig rig;
    for (int i = 0; i < 700; ++i) {
        MoviePtr movie = insertMovie(rig.app.context(), QString::number(i), 2000, "Ann");
        if (i < 3) movie->setImage(Attribute::frontImage, makeJpeg(200, 300, Qt::red));
    }
    insertMovie(rig.app.context(), "Odd", 2000, "Bo")
        ->setImage(Attribute::backImage, QByteArray("not a picture"));
    ASSERT_TRUE(rig.app.context().save().ok);
    auto* screen = rig.open<ExportViewController>("ExportMovies");
    QList<std::pair<int, bool>> seen;  // bar value, and whether the export had ended then
    QObject::connect(screen->ProgressView, &QProgressBar::valueChanged, [&](int value) {
        seen.append({value, screen->SaveButton->isEnabled()});
    });
    screen->ExportButton->click();
    EXPECT_FALSE(screen->ExportButton->isEnabled());
    EXPECT_TRUE(screen->activityIndicator->isAnimating());

    const QString told = rig.alert();
    EXPECT_TRUE(
        told.startsWith("Data Export\nProcess Complete - File Ready to Save to Files or "
                        "Email\nOdd (2000): back cover left out: it could not be decoded ("))
        << told.toStdString();
    ASSERT_GE(seen.size(), 3);
    EXPECT_TRUE(seen[1].first > 0 && seen[1].first < 701) << seen[1].first;
    EXPECT_FALSE(seen[1].second) << "the bar moved before the export ended";
    EXPECT_EQ(seen.last().first, 701);
    EXPECT_FALSE(screen->activityIndicator->isAnimating());
    EXPECT_TRUE(screen->SaveButton->isEnabled() && screen->EmailButton->isEnabled());
    const QByteArray file = screen->DataString.value_or("(none)");
    EXPECT_EQ(file, exportBytes(rig.app.context()));
    const QString shown = screen->ExportTextView->toPlainText();
    EXPECT_EQ(shown, exchange::displayText(file)) << "the import screen would show it so";
    EXPECT_EQ(shown.count("[front cover, "), 3);
    rig.app.devices().clock.advance(5);
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());

    const QString path = ExportViewController::exportFilePath();
    ASSERT_TRUE(path.startsWith(temp.path() + "/"));
    const QString victim = QDir(elsewhere.path()).filePath("victim");
    ASSERT_TRUE(writeBytes(victim, "mine\n"));
    ASSERT_TRUE(QFile::link(victim, path));
    screen->SaveButton->click();
    EXPECT_EQ(contents(victim), "mine\n");
    EXPECT_EQ(contents(path), file);
    RecordingShareSheet& sheet = rig.app.devices().share;
    EXPECT_EQ(sheet.requests.value(0).files, QStringList{path});

    RecordingMail& mail = rig.app.devices().mail;
    screen->EmailButton->click();
    EXPECT_EQ(mail.composed.value(0).attachments.value(0).data, file);
    EXPECT_EQ(mail.composed.value(0).attachments.value(0).fileName, "Quillon.csv");
    for (bool noProgram : {true, false}) {  // no xdg-email, or no mail program behind it
        (noProgram ? mail.canSend : mail.composes) = false;
        screen->EmailButton->click();
        EXPECT_EQ(rig.alert(), "Sending Email\nEmail not Setup or Unavailable");
        mail.canSend = mail.composes = true;
    }

    QFile::remove(path);
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    screen->SaveButton->click();
    EXPECT_EQ(rig.alert(), "Data Export\n" + path +
                               " is not a regular file (a device, a pipe or a folder); nothing "
                               "was written");
    screen->EmailButton->click();
    EXPECT_TRUE(rig.alert().startsWith("Sending Email\n" + path));
    EXPECT_EQ(mail.composed.size(), 2);
    EXPECT_EQ(sheet.requests.size(), 1);
}

// Nothing picked or an unreadable file loads nothing (one alert is up, for the file picked
// last). A loaded file is shown as the export screen shows it; while it imports there is no way
// out; its outcome is told (lines imported or failed, the wrong file, a failed backup), then the
// screen returns to the menu.
TEST(ImportScreen, LoadsAFileImportsItWithNoWayOutTellsTheOutcomeAndReturns) {
    const QString cover = QString::fromLatin1(makeJpeg(300, 400, Qt::red).toBase64());
    const struct {
        QString fileName;
        QByteArray file;
        bool blockBackups;
        QString told;  // the start of the alert's text
        int movies;
    } cases[] = {
        {"Quillon.csv", "[QUILLON]\n" + movieLine("Dog's Day", "1975", "Lumet", {{14, cover}}),
         false, "Data Import\nData Import Completed\n1 added, 0 updated, 0 skipped, 0 failed", 1},
        {"Quillon.csv", "[QUILLON]\n" + movieLine("One", "2000", "Ann") + "^Ann^^^^^^Tw", false,
         "Data Import\nData Import Completed\n1 added, 0 updated, 0 skipped, 1 failed\nThe last "
         "line ends without a line feed, so the file may be cut short: that line was not imported",
         1},
        {"list.txt", "Kept^Ann\n[quillon]\n", false,
         "Data Import\nlist.txt Is The Incorrect Import File", 0},
        {"Quillon.csv", "[QUILLON]\n" + movieLine("New", "2001", "Bo"), true,
         "Data Import\nThe catalogue could not be backed up, so nothing was imported: ", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.told.toStdString());
        ScreenRig rig;
        ASSERT_TRUE(!c.blockBackups || writeBytes(backups::folder(rig.app.dataDir()), "file"));
        auto* screen = rig.open<ImportViewController>("ImportMovies");
        QTemporaryDir files;
        ASSERT_TRUE(writeBytes(files.filePath(c.fileName), c.file));
        for (const QString& picked :
             {QString(), files.filePath("missing.csv"), files.filePath(c.fileName)}) {
            rig.app.devices().picker.next = picked;
            screen->LoadFileButton->click();
        }
        EXPECT_EQ(rig.log.lines.size(), 1) << "the failed read is logged";
        EXPECT_FALSE(screen->LoadFileButton->isEnabled());
        EXPECT_EQ(screen->ImportTextView->toPlainText(), exchange::displayText(c.file));
        EXPECT_EQ(rig.alert(), "Data Import\nFile Loaded and Ready to Import");
        screen->ImportButton->click();
        // The wrong file is told at once; anything else is read with the way out hidden.
        EXPECT_NE(rig.navigation->backButton()->isVisible(),
                  AlertController::presentedAlerts().isEmpty());
        const QString told = rig.alert(false);
        EXPECT_TRUE(told.startsWith(c.told)) << told.toStdString();
        EXPECT_TRUE(rig.navigation->backButton()->isVisible());
        EXPECT_EQ(rig.app.context().count(Entity::Movies), c.movies);
        EXPECT_EQ(rig.returns, 0);
        rig.alert();
        EXPECT_EQ(rig.returns, 1);
    }
}

// A pipe is refused with an alert, and nothing waits on it. A line over the cap ends what is
// shown and what is imported, and the outcome names it; a long file is shown only in part.
TEST(ImportScreen, RefusesAPipeStopsAtALineOverTheCapAndShowsOnlyTheStart) {
    QTemporaryDir files;
    const QString pipe = files.filePath("pipe"), sparse = files.filePath("sparse.csv");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QByteArray one = movieLine("One", "2000", "Ann");
    QFile file(sparse);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[QUILLON]\n" + one + "^Bo^");
    ASSERT_TRUE(file.resize(64 << 20));  // zeros without a line feed
    file.close();
    const QString tooLong =
        "A line of the file is longer than 4096 bytes, more than any movie line can be, so the "
        "file was read no further";
    {
        ScreenRig rig;
        auto* screen = rig.open<ImportViewController>("ImportMovies");
        screen->maxLineBytes = 4096;
        rig.app.devices().picker.next = pipe;
        screen->LoadFileButton->click();
        EXPECT_EQ(rig.alert(), "Data Import\n" + pipe +
                                   " is not a regular file (a device, a pipe or a folder); "
                                   "nothing was imported");
        EXPECT_TRUE(screen->LoadFileButton->isEnabled() && !screen->ImportButton->isEnabled());

        rig.app.devices().picker.next = sparse;
        screen->LoadFileButton->click();
        EXPECT_EQ(rig.alert(), "Data Import\nFile Loaded and Ready to Import");
        EXPECT_EQ(screen->ImportTextView->toPlainText(),
                  "[QUILLON]\n" + exchange::displayLine(one.chopped(1)) + "\n[" + tooLong + ".]");
        screen->ImportButton->click();
        EXPECT_EQ(rig.alert(false),
                  "Data Import\nData Import Completed\n1 added, 0 updated, 0 skipped, 1 failed\n" +
                      tooLong + ": that line and any below it were not imported");
        EXPECT_EQ(names(rig.app.context()), QStringList{"One"});
    }
    ScreenRig rig;
    auto* screen = rig.open<ImportViewController>("ImportMovies");
    const QByteArray longFile = "[QUILLON]\n" + one.repeated(100000);
    ASSERT_TRUE(writeBytes(files.filePath("long.csv"), longFile));
    rig.app.devices().picker.next = files.filePath("long.csv");
    screen->LoadFileButton->click();
    EXPECT_EQ(rig.alert(), "Data Import\nFile Loaded and Ready to Import");
    const QString shown = screen->ImportTextView->toPlainText();
    EXPECT_LT(shown.size(), longFile.size() / 2);
    EXPECT_TRUE(shown.startsWith("[QUILLON]\n" + QString::fromUtf8(one.repeated(10))));
    EXPECT_TRUE(
        shown.endsWith("\n[The rest of the file is not shown here; Import reads all of it.]"));
}

}  // namespace
}  // namespace quillon::test
