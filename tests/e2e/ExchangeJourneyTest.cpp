#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTabBar>

#include "Journey.h"
#include "exchange/ExportViewController.h"
#include "exchange/ImportExportViewController.h"
#include "exchange/ImportPreviewView.h"
#include "exchange/ImportViewController.h"
#include "groups/CustomTabBarController.h"
#include "groups/GroupTabTableViewController.h"
#include "movies/ListMoviesTableViewController.h"
#include "toolkit/AlertController.h"

using namespace quillon;

namespace {

void fillCatalogue(ManagedObjectContext& context) {
    const QList<QStringList> rows = {
        {"Dog's Day Afternoon", "1975", "Sidney Lumet", "Crime", "Al Pacino"},
        {"Vertigo", "1958", "Alfred Hitchcock", "Thriller", "James Stewart"},
        {"Vertigo", "1958", "Another ^ Director", "Remake", "Nobody"},
    };
    for (const QStringList& row : rows) {
        MoviePtr movie = Movies::insertInto(context);
        movie->setName(row[0]);
        movie->setYear(qint16(row[1].toInt()));
        movie->setText(Attribute::director, row[2]);
        movie->setText(Attribute::genre, row[3]);
        movie->setText(Attribute::leadingActor1, row[4]);
        movie->setText(Attribute::notes, "Seen twice.\nOwned on DVD.");
        movie->setText(Attribute::rating, "PG");
        movie->setRunTime(qint16(100 + row[0].size()));
        movie->setImage(Attribute::frontImage, test::jpegOf({200, 300}, Qt::darkRed));
        movie->setImage(Attribute::backImage, test::jpegOf({200, 300}, Qt::darkBlue));
    }
    ASSERT_TRUE(context.save().ok);
}

// Texts and numbers of every movie, and the size of each cover picture.
QStringList describe(ManagedObjectContext& context) {
    QStringList rows;
    for (const MoviePtr& movie : context.fetch<Movies>(
             std::nullopt,
             {{Attribute::name, true}, {Attribute::year, true}, {Attribute::director, true}})) {
        QStringList fields;
        for (int a = 0; a < int(Attribute::frontImage); ++a) {
            const Attribute attribute = Attribute(a);
            if (isTextAttribute(attribute))
                fields << movie->text(attribute).value_or("-");
            else
                fields << QString::number(movie->number(attribute));
        }
        for (Attribute cover : {Attribute::frontImage, Attribute::backImage}) {
            const QImage image = QImage::fromData(movie->image(cover).value_or(QByteArray()));
            fields << QString("%1x%2").arg(image.width()).arg(image.height());
        }
        rows << fields.join('|');
    }
    return rows;
}

// Lets the work finish and the clock move on until an alert is up; answers it with OK.
QString answerAlert(test::ManualClock& clock) {
    for (int i = 0; i < 500 && AlertController::presentedAlerts().isEmpty(); ++i) {
        test::pumpEvents(10);
        clock.advance(0.1);
    }
    const auto alerts = AlertController::presentedAlerts();
    if (alerts.isEmpty()) return "no alert";
    const QString text = alerts.last()->title() + ": " + alerts.last()->message();
    alerts.last()->trigger("OK");
    test::pumpEvents();
    return text;
}

// The import-export chooser, from the main menu, and one of its two choices.
template <class Screen>
Screen* openFromMenu(NavigationController& window,
                     QPushButton* ImportExportViewController::*choice) {
    auto* chooser = test::openFromMenu<ImportExportViewController>(
        window, &MainMenuViewController::ImportExportButton);
    if (!chooser) return nullptr;
    QTest::mouseClick(chooser->*choice, Qt::LeftButton);
    return qobject_cast<Screen*>(window.topViewController());
}

TEST(ExchangeJourney, ExportOnOneDeviceImportOnAnotherGivesTheSameCatalogue) {
    QTemporaryDir cloudDrive;
    const QString saved = QDir(cloudDrive.path()).filePath("Quillon.csv");
    QStringList before;
    {
        test::AppHarness phone;
        fillCatalogue(phone.context());
        before = describe(phone.context());
        auto window = test::showWindow(phone);
        auto* exporter = openFromMenu<ExportViewController>(
            *window, &ImportExportViewController::ExportMoviesButton);
        ASSERT_TRUE(exporter);
        QTest::mouseClick(exporter->ExportButton, Qt::LeftButton);
        EXPECT_EQ(answerAlert(phone.devices().clock),
                  "Data Export: Process Complete - File Ready to Save to Files or Email");

        QTest::mouseClick(exporter->SaveButton, Qt::LeftButton);
        const auto& shared = phone.devices().share.requests;
        ASSERT_EQ(shared.size(), 1);
        ASSERT_EQ(shared[0].files.size(), 1);
        ASSERT_TRUE(QFile::copy(shared[0].files[0], saved));  // the user's "Save to Files"
    }

    test::AppHarness tablet;
    auto window = test::showWindow(tablet);
    tablet.devices().picker.next = saved;
    auto* importer = openFromMenu<ImportViewController>(
        *window, &ImportExportViewController::ImportMoviesButton);
    ASSERT_TRUE(importer);
    QTest::mouseClick(importer->LoadFileButton, Qt::LeftButton);
    EXPECT_EQ(answerAlert(tablet.devices().clock), "Data Import: File Loaded and Ready to Import");
    QTest::mouseClick(importer->ImportButton, Qt::LeftButton);
    EXPECT_EQ(answerAlert(tablet.devices().clock),
              "Data Import: Data Import Completed\n3 added, 0 updated, 0 skipped, 0 failed");

    EXPECT_TRUE(qobject_cast<MainMenuViewController*>(window->topViewController()));
    EXPECT_EQ(describe(tablet.context()), before);
    window.reset();
    tablet.restart();
    EXPECT_EQ(describe(tablet.context()), before);
}

// A collector brings a spreadsheet from another cataloguer in through the menu, finds the movies
// listed and grouped, and takes the catalogue out as a spreadsheet again, which reads back the
// same.
TEST(ExchangeJourney, ASpreadsheetComesInIsListedAndGroupedAndGoesOutAgain) {
    QTemporaryDir folder;
    const QString peer = QDir(folder.path()).filePath("my movies.csv");
    QFile file(peer);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "\xEF\xBB\xBFTitle;Year;Director(s);Starring;Genre(s)\r\n"
        "Alien;1979;Ridley Scott;Sigourney Weaver:Ripley|Tom Skerritt;Horror, Sci-Fi\r\n"
        "Blade Runner;1982;Ridley Scott;Harrison Ford;Sci-Fi\r\n"
        "Witness;1985;Peter Weir;Harrison Ford;Thriller\r\n");
    file.close();

    test::AppHarness app;
    auto window = test::showWindow(app);
    app.devices().picker.next = peer;
    auto* importer = openFromMenu<ImportViewController>(
        *window, &ImportExportViewController::ImportMoviesButton);
    ASSERT_TRUE(importer);
    QTest::mouseClick(importer->LoadFileButton, Qt::LeftButton);
    EXPECT_EQ(answerAlert(app.devices().clock), "Data Import: File Loaded and Ready to Import");
    EXPECT_EQ(importer->PreviewView->formatLabel->text(),
              "Format: Spreadsheet CSV (UTF-8, separated by semicolons)");
    EXPECT_EQ(importer->PreviewView->columnBox(3)->currentText(), "Cast");
    QTest::mouseClick(importer->ImportButton, Qt::LeftButton);
    EXPECT_EQ(answerAlert(app.devices().clock),
              "Data Import: Data Import Completed\n3 added, 0 updated, 0 skipped, 0 failed");
    ASSERT_TRUE(qobject_cast<MainMenuViewController*>(window->topViewController()));

    auto* list = test::openFromMenu<ListMoviesTableViewController>(
        *window, &MainMenuViewController::ListMoviesButton);
    ASSERT_TRUE(list);
    EXPECT_EQ(test::firstLabels(list->tableView()),
              (QStringList{"Movie: Alien", "Movie: Blade Runner", "Movie: Witness"}));
    window->popViewController();
    test::pumpEvents();
    auto* tabs =
        test::openFromMenu<customTabBar>(*window, &MainMenuViewController::ListMoviesByGroupButton);
    ASSERT_TRUE(tabs);
    QTabBar* bar = tabs->tabWidget()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    test::pumpEvents();
    EXPECT_EQ(test::firstLabels(tabs->tab(GroupKind::Actor)->tableView()),
              (QStringList{"Harrison Ford", "Sigourney Weaver", "Tom Skerritt"}));
    window->popViewController();
    test::pumpEvents();

    auto* exporter = openFromMenu<ExportViewController>(
        *window, &ImportExportViewController::ExportMoviesButton);
    ASSERT_TRUE(exporter);
    exporter->FormatBox->setCurrentIndex(exporter->FormatBox->findText("Spreadsheet CSV"));
    QTest::mouseClick(exporter->ExportButton, Qt::LeftButton);
    EXPECT_TRUE(answerAlert(app.devices().clock).startsWith("Data Export: Process Complete"));
    QTest::mouseClick(exporter->SaveButton, Qt::LeftButton);
    const auto& shared = app.devices().share.requests;
    ASSERT_EQ(shared.size(), 1);
    QFile out(shared[0].files.value(0));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(),
              "\xEF\xBB\xBFMovie Name,Year,Leading Actor,Second Actor,Leading Actress,Second "
              "Actress,Director,Producer,Writer,Rating,Run Time,Genre,Notes,Color\r\n"
              "Alien,1979,Sigourney Weaver,Tom Skerritt,,,Ridley Scott,,,,,Horror,\"Genre(s): "
              "Horror; Sci-Fi\nStarring: Sigourney Weaver (Ripley); Tom Skerritt\",\r\n"
              "Blade Runner,1982,Harrison Ford,,,,Ridley Scott,,,,,Sci-Fi,,\r\n"
              "Witness,1985,Harrison Ford,,,,Peter Weir,,,,,Thriller,,\r\n");
}

}  // namespace
