#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>

#include "ExchangeFakes.h"
#include "ExchangeTestUtil.h"
#include "exchange/ExchangeSegues.h"
#include "exchange/ImportViewController.h"
#include "store/Backups.h"
#include "support/RefuseWrites.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"

namespace quillon::test {
namespace {

class ImportScreen : public ::testing::Test {
protected:
    void SetUp() override {
        registerExchangeSegues();
        root = new ViewController;
        root->offerReturnPoint("unwindToMenu", [this] { ++arrivals; });
        navigation = std::make_unique<NavigationController>(root);
        navigation->resize(420, 800);
        navigation->show();
        screen = static_cast<ImportViewController*>(root->performSegue("ImportMovies"));
    }
    void TearDown() override {
        for (AlertController* alert : AlertController::presentedAlerts()) alert->close();
        navigation.reset();
        pumpEvents();
    }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = QDir(files.path()).filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    void load(const QString& path) {
        picker->next = path;
        screen->LoadFileButton->click();
    }
    // Clicks Import and waits for the result alert; returns its message.
    QString importAndWait() {
        if (screen->ImportButton->isEnabled()) screen->ImportButton->click();
        for (int i = 0; i < 500 && AlertController::presentedAlerts().isEmpty(); ++i)
            pumpEvents(10);
        const auto alerts = AlertController::presentedAlerts();
        if (alerts.size() != 1) return "alerts: " + QString::number(alerts.size());
        EXPECT_EQ(alerts[0]->title(), "Data Import");
        EXPECT_EQ(alerts[0]->actionTitles(), QStringList{"OK"});
        return alerts[0]->message();
    }
    void dismissAlert() {
        ASSERT_EQ(AlertController::presentedAlerts().size(), 1);
        AlertController::presentedAlerts()[0]->trigger("OK");
        pumpEvents();
    }

    AppFixture app;
    LogCapture log;
    QTemporaryDir files;
    Installed<DocumentPicker, ScriptedPicker> picker;
    ViewController* root = nullptr;
    ImportViewController* screen = nullptr;
    std::unique_ptr<NavigationController> navigation;
    int arrivals = 0;
};

TEST_F(ImportScreen, LoadsWaitingForAFile) {
    EXPECT_EQ(screen->title(), "Import Movies");
    EXPECT_TRUE(screen->LoadFileButton->isEnabled());
    EXPECT_FALSE(screen->ImportButton->isEnabled());
    EXPECT_EQ(screen->wrongFile, false);
    EXPECT_EQ(screen->HelpTextView->toPlainText(),
              "YOU CAN ONLY IMPORT THE FILE CREATED BY THIS APP.\n1: Select the file you saved to "
              "your iCloud drive\n2: Import the file into your device");

    load("");  // cancelled
    load(QDir(files.path()).filePath("missing.csv"));
    EXPECT_EQ(picker->picks, 2);
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
    EXPECT_FALSE(screen->ImportButton->isEnabled());
    EXPECT_TRUE(screen->LoadFileButton->isEnabled());
    EXPECT_FALSE(screen->document.has_value());
    EXPECT_EQ(log.lines.size(), 1) << "the failed read is logged";
}

TEST_F(ImportScreen, LoadsShowsAndImportsAFileThenReturnsToTheMenu) {
    AppFixture source;
    MoviePtr movie = addMovie(source.context(), "Dog's Day", 1975, "Lumet");
    movie->setImage(Attribute::frontImage, makeJpeg(300, 400, Qt::red));
    movie->setText(Attribute::notes, "one\ntwo");
    ASSERT_TRUE(source.context().save().ok);
    const QByteArray file = exportBytes(source.context());
    const QStringList expected = dumpMovies(source.context());
    app.restart();  // the source fixture took over the shared delegate; take it back

    load(writeFile("Quillon.csv", file));
    EXPECT_EQ(screen->filename, "Quillon.csv");
    EXPECT_EQ(screen->document, file);
    EXPECT_FALSE(screen->LoadFileButton->isEnabled());
    EXPECT_TRUE(screen->ImportButton->isEnabled());
    const QString shown = screen->ImportTextView->toPlainText();
    EXPECT_TRUE(shown.startsWith("[QUILLON]\n^Lumet^"));
    EXPECT_TRUE(shown.contains("^[front cover, ")) << shown.toStdString();
    EXPECT_LT(shown.size(), 200);
    ASSERT_EQ(AlertController::presentedAlerts().size(), 1);
    EXPECT_EQ(AlertController::presentedAlerts()[0]->message(), "File Loaded and Ready to Import");
    dismissAlert();
    EXPECT_EQ(arrivals, 0);

    screen->ImportButton->click();
    EXPECT_FALSE(navigation->backButton()->isVisible()) << "no way out while importing";
    EXPECT_EQ(importAndWait(), "Data Import Completed\n1 added, 0 updated, 0 skipped, 0 failed");
    EXPECT_EQ(backups::list(app.dataDir()).size(), 1) << "the store was copied first";
    EXPECT_TRUE(navigation->backButton()->isVisible());
    EXPECT_FALSE(screen->ImportButton->isEnabled());
    EXPECT_FALSE(screen->LoadFileButton->isEnabled());
    const QStringList imported = dumpMovies(app.context());
    ASSERT_EQ(imported.size(), 1);
    auto withoutFrontCover = [](const QString& row) {  // the file holds it re-encoded
        QStringList fields = row.split('|');
        fields.removeAt(fields.size() - 2);
        return fields;
    };
    EXPECT_EQ(withoutFrontCover(imported[0]), withoutFrontCover(expected[0]));
    EXPECT_TRUE(app.context().fetch<Movies>()[0]->hasImage(Attribute::frontImage));
    dismissAlert();
    EXPECT_EQ(arrivals, 1);
    EXPECT_EQ(navigation->topViewController(), root);
}

TEST_F(ImportScreen, WrongFileNamesTheFileAndChangesNothing) {
    addMovie(app.context(), "Kept", 2000, "Ann");
    load(writeFile("list.txt", "Kept^Ann\n[quillon]\n"));
    dismissAlert();
    EXPECT_EQ(importAndWait(), "list.txt Is The Incorrect Import File");
    EXPECT_EQ(screen->wrongFile, true);
    EXPECT_EQ(app.context().count(Entity::Movies), 1);
    dismissAlert();
    EXPECT_EQ(arrivals, 1);
}

TEST_F(ImportScreen, SkippedAndFailedLinesAreCountedInTheMessage) {
    addMovie(app.context(), "Twin", 2000, "Ann");
    addMovie(app.context(), "Twin", 2000, "Ann");
    refuseWrites(app.dataDir(), Entity::Movies, "INSERT", "NEW.name = 'boom'");
    load(writeFile("Quillon.csv",
                   "[QUILLON]\n^Ann^^^^^^Twin^^^^1^^2000^^\n"
                   "^Ann^^^^^^boom^^^^1^^2000^^\n^Ann^^^^^^New^^^^1^^2000^^\n"));
    dismissAlert();
    const QStringList message = importAndWait().split('\n');
    ASSERT_EQ(message.size(), 3);
    EXPECT_EQ(message[0], "Data Import Completed");
    EXPECT_EQ(message[1], "1 added, 0 updated, 1 skipped, 1 failed");
    EXPECT_TRUE(message[2].startsWith("boom (2000): ")) << message[2].toStdString();
    EXPECT_TRUE(message[2].contains(kRefusedByTest));
    EXPECT_EQ(app.context().count(Entity::Movies), 3);
    EXPECT_FALSE(app.context().hasChanges());
}

TEST_F(ImportScreen, AFileCutShortSaysWhyItsLastLineFailed) {
    load(writeFile("Quillon.csv", "[QUILLON]\n^Ann^^^^^^One^^^^1^^2000^^\n^Ann^^^^^^Tw"));
    dismissAlert();
    EXPECT_EQ(importAndWait(),
              "Data Import Completed\n1 added, 0 updated, 0 skipped, 1 failed\nThe last line ends "
              "without a line feed, so the file may be cut short: that line was not imported");
    EXPECT_EQ(app.context().count(Entity::Movies), 1);
}

TEST_F(ImportScreen, AFailedBackupStopsTheImportBeforeAnythingChanges) {
    MoviePtr kept = addMovie(app.context(), "Kept", 2000, "Ann");
    QFile blocker(backups::folder(app.dataDir()));  // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    load(writeFile("Quillon.csv",
                   "[QUILLON]\nx^Ann^^^^^^Kept^^^^1^^2000^^\n"
                   "^Bo^^^^^^New^^^^1^^2001^^\n"));
    dismissAlert();
    EXPECT_TRUE(importAndWait().startsWith(
        "The catalogue could not be backed up, so nothing was imported: "));
    EXPECT_EQ(app.context().count(Entity::Movies), 1);
    EXPECT_FALSE(kept->text(Attribute::color_blackwhite).has_value());
    dismissAlert();
    EXPECT_EQ(arrivals, 1);
}

}  // namespace
}  // namespace quillon::test
