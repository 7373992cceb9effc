#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/MainMenuViewController.h"
#include "app/MainWindow.h"
#include "exchange/ExportViewController.h"
#include "exchange/ImportExportViewController.h"
#include "exchange/ImportViewController.h"
#include "support/AppHarness.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"

using namespace quillon;

namespace {

QByteArray coverJpeg(QColor colour, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), colour);
    painter.drawText(image.rect(), Qt::AlignCenter, colour.name());
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

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
        movie->setImage(Attribute::frontImage, coverJpeg(Qt::darkRed, 200, 300));
        movie->setImage(Attribute::backImage, coverJpeg(Qt::darkBlue, 200, 300));
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

// Lets the work finish and the clock move on until an alert is up.
AlertController* waitForAlert(test::ManualClock& clock) {
    for (int i = 0; i < 500 && AlertController::presentedAlerts().isEmpty(); ++i) {
        test::pumpEvents(10);
        clock.advance(0.1);
    }
    const auto alerts = AlertController::presentedAlerts();
    return alerts.isEmpty() ? nullptr : alerts.last();
}

template <class Screen>
Screen* openFromMenu(NavigationController& window,
                     QPushButton* ImportExportViewController::*choice) {
    auto* menu = qobject_cast<MainMenuViewController*>(window.topViewController());
    if (!menu) return nullptr;
    QTest::mouseClick(menu->toggleButton(), Qt::LeftButton);
    QTest::mouseClick(menu->ImportExportButton, Qt::LeftButton);
    auto* chooser = qobject_cast<ImportExportViewController*>(window.topViewController());
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
        auto window = phone.window();
        window->show();
        test::pumpEvents();
        auto* exporter = openFromMenu<ExportViewController>(
            *window, &ImportExportViewController::ExportMoviesButton);
        ASSERT_TRUE(exporter);
        QTest::mouseClick(exporter->ExportButton, Qt::LeftButton);
        AlertController* done = waitForAlert(phone.devices().clock);
        ASSERT_TRUE(done);
        EXPECT_EQ(done->message(), "Process Complete - File Ready to Save to Files or Email");
        done->trigger("OK");

        QTest::mouseClick(exporter->SaveButton, Qt::LeftButton);
        const auto& shared = phone.devices().share.requests;
        ASSERT_EQ(shared.size(), 1);
        ASSERT_EQ(shared[0].files.size(), 1);
        ASSERT_TRUE(QFile::copy(shared[0].files[0], saved));  // the user's "Save to Files"
    }

    test::AppHarness tablet;
    auto window = tablet.window();
    window->show();
    test::pumpEvents();
    tablet.devices().picker.next = saved;
    auto* importer = openFromMenu<ImportViewController>(
        *window, &ImportExportViewController::ImportMoviesButton);
    ASSERT_TRUE(importer);
    QTest::mouseClick(importer->LoadFileButton, Qt::LeftButton);
    AlertController* loaded = waitForAlert(tablet.devices().clock);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->message(), "File Loaded and Ready to Import");
    loaded->trigger("OK");
    test::pumpEvents();
    QTest::mouseClick(importer->ImportButton, Qt::LeftButton);
    AlertController* imported = waitForAlert(tablet.devices().clock);
    ASSERT_TRUE(imported);
    EXPECT_EQ(imported->title(), "Data Import");
    EXPECT_EQ(imported->message(),
              "Data Import Completed\n3 added, 0 updated, 0 skipped, 0 failed");
    imported->trigger("OK");
    test::pumpEvents();

    EXPECT_TRUE(qobject_cast<MainMenuViewController*>(window->topViewController()));
    EXPECT_EQ(describe(tablet.context()), before);
    tablet.restart();
    EXPECT_EQ(describe(tablet.context()), before);
}

}  // namespace
