#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "app/BackupsDialog.h"
#include "app/MainMenuViewController.h"
#include "app/MainWindow.h"
#include "store/Backups.h"
#include "store/Records.h"
#include "support/AppHarness.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"

using namespace quillon;

namespace {

void addMovie(ManagedObjectContext& context, const QString& name) {
    Movies::insertInto(context)->setName(name);
    ASSERT_TRUE(context.save().ok);
}

// The dialog lists what is in Backups/ and puts one back after asking, as the command does:
// the catalogue of the moment backed up first, then the window on the restored one.
TEST(BackupsDialogTest, ListsTheBackupsAndRestoresOneAfterAskingWithTheCatalogueBackedUpFirst) {
    test::AppHarness app;
    addMovie(app.context(), "Alien");
    const QDateTime first(QDate(2026, 12, 1), QTime(9, 30));
    ASSERT_TRUE(backups::make(app.context(), nullptr, first));
    addMovie(app.context(), "Brazil");
    ASSERT_TRUE(backups::make(app.context(), nullptr, first.addDays(1)));
    addMovie(app.context(), "Cube");
    auto window = app.window();
    window->show();
    window->showBackups();
    test::pumpEvents();
    auto* dialog = window->findChild<BackupsDialog*>();
    ASSERT_TRUE(dialog && dialog->isVisible());
    QTreeWidget* list = dialog->list();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(2), "2") << "newest first";
    EXPECT_EQ(list->topLevelItem(1)->text(2), "1");
    EXPECT_TRUE(list->topLevelItem(1)->text(0).contains("2026")) << "the date it was taken";
    EXPECT_FALSE(list->topLevelItem(1)->text(1).isEmpty());

    // An unsaved change is saved first, so the backup of the moment holds it.
    Movies::insertInto(app.context())->setName("Dune");
    list->setCurrentItem(list->topLevelItem(1));
    QTest::mouseClick(dialog->restoreButton(), Qt::LeftButton);
    AlertController* ask = test::onlyAlert();
    ASSERT_TRUE(ask);
    EXPECT_EQ(ask->title(), "Restore Backup?");
    ask->trigger("Cancel");
    test::pumpEvents();
    EXPECT_EQ(app.context().count(Entity::Movies), 4) << "nothing happens on Cancel";

    QTest::mouseClick(dialog->restoreButton(), Qt::LeftButton);
    test::onlyAlert()->trigger("Restore");
    AlertController* told = test::onlyAlert();
    ASSERT_TRUE(told);
    EXPECT_EQ(told->title(), "Backup Restored") << told->message().toStdString();
    told->trigger("OK");
    EXPECT_EQ(app.context().count(Entity::Movies), 1) << "the restored catalogue is open";
    EXPECT_TRUE(qobject_cast<MainMenuViewController*>(window->topViewController()));
    ASSERT_EQ(list->topLevelItemCount(), 3) << "the catalogue before was backed up";
    EXPECT_EQ(list->topLevelItem(0)->text(2), "4");

    QTest::mouseClick(dialog->openFolderButton(), Qt::LeftButton);
    ASSERT_EQ(app.devices().urls.opened.size(), 1);
    EXPECT_EQ(app.devices().urls.opened[0],
              QUrl::fromLocalFile(QDir(app.dataDir()).filePath("Backups")));
}

}  // namespace
