#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

#include "support/TestSupport.h"
#include "toolkit/Appearance.h"
#include "toolkit/TableView.h"

using namespace quillon;

namespace {

class TableViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 5; ++i) {
            auto* item = new QStandardItem;
            item->setData(QStringList{QString("Movie %1").arg(i), "Drama"}, LabelTextsRole);
            model.appendRow(item);
        }
        table.setModel(&model);
        table.resize(400, 600);
        table.show();
        test::pumpEvents();
    }
    void TearDown() override { test::pumpEvents(); }

    QPoint rowCentre(int row) { return table.visualRect(model.index(row, 0)).center(); }

    QStandardItemModel model;
    TableView table;
};

TEST_F(TableViewTest, ClickSelectsTheRow) {
    QSignalSpy selected(&table, &TableView::rowSelected);
    QSignalSpy deleted(&table, &TableView::deleteRequested);
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, rowCentre(2));
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).toInt(), 2);
    EXPECT_EQ(deleted.count(), 0);
    EXPECT_EQ(table.currentIndex().row(), 2);
}

TEST_F(TableViewTest, EnterSelectsTheCurrentRow) {
    QSignalSpy selected(&table, &TableView::rowSelected);
    table.setCurrentIndex(model.index(3, 0));
    QTest::keyClick(&table, Qt::Key_Return);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).toInt(), 3);
}

TEST_F(TableViewTest, OnlyThePlainDeleteKeyRequestsDeletionOfTheCurrentRow) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool deletes;
    } cases[] = {
        {Qt::Key_Delete, Qt::NoModifier, true},      // the one delete key
        {Qt::Key_Delete, Qt::KeypadModifier, true},  // also on the keypad
        {Qt::Key_Backspace, Qt::NoModifier, false},  // still typing a search text
        {Qt::Key_Delete, Qt::ShiftModifier, false},  // a cut elsewhere
        {Qt::Key_Delete, Qt::ControlModifier, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QKeySequence(QKeyCombination(c.modifiers, c.key)).toString().toStdString());
        QSignalSpy deleted(&table, &TableView::deleteRequested);
        table.setCurrentIndex(model.index(1, 0));
        QTest::keyClick(&table, c.key, c.modifiers);
        ASSERT_EQ(deleted.count(), c.deletes ? 1 : 0);
        if (c.deletes) {
            EXPECT_EQ(deleted.at(0).at(0).toInt(), 1);
        }
    }
}

TEST_F(TableViewTest, ContextMenuHasOneDeleteItem) {
    QSignalSpy deleted(&table, &TableView::deleteRequested);
    QMenu* menu = table.buildContextMenu(4);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().first()->text(), "delete");
    menu->actions().first()->trigger();
    ASSERT_EQ(deleted.count(), 1);
    EXPECT_EQ(deleted.at(0).at(0).toInt(), 4);
    delete menu;

    // A real right-click opens that menu over the row under the pointer.
    QContextMenuEvent event(QContextMenuEvent::Mouse, rowCentre(0),
                            table.viewport()->mapToGlobal(rowCentre(0)));
    QCoreApplication::sendEvent(table.viewport(), &event);
    QMenu* shown = table.findChild<QMenu*>();
    ASSERT_NE(shown, nullptr);
    shown->actions().first()->trigger();
    shown->close();
    ASSERT_EQ(deleted.count(), 2);
    EXPECT_EQ(deleted.at(1).at(0).toInt(), 0);
}

TEST_F(TableViewTest, LeftwardSwipeRequestsDeletionAndIsNotASelection) {
    QSignalSpy selected(&table, &TableView::rowSelected);
    QSignalSpy deleted(&table, &TableView::deleteRequested);
    const QPoint start(350, rowCentre(1).y());
    const QPoint end(100, rowCentre(1).y() + 5);
    QTest::mousePress(table.viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(table.viewport(), QPoint(250, start.y()));
    QTest::mouseRelease(table.viewport(), Qt::LeftButton, {}, end);
    ASSERT_EQ(deleted.count(), 1);
    EXPECT_EQ(deleted.at(0).at(0).toInt(), 1);
    EXPECT_EQ(selected.count(), 0);

    // A short drag is neither a swipe nor a tap.
    QTest::mousePress(table.viewport(), Qt::LeftButton, {}, start);
    QTest::mouseRelease(table.viewport(), Qt::LeftButton, {}, QPoint(300, start.y()));
    EXPECT_EQ(deleted.count(), 1);
    EXPECT_EQ(selected.count(), 0);
}

TEST_F(TableViewTest, NoDeleteRoutesWhenRowsAreNotDeletable) {
    table.setRowsDeletable(false);
    QSignalSpy deleted(&table, &TableView::deleteRequested);
    table.setCurrentIndex(model.index(1, 0));
    QTest::keyClick(&table, Qt::Key_Delete);
    EXPECT_EQ(table.buildContextMenu(1), nullptr);
    QTest::mousePress(table.viewport(), Qt::LeftButton, {}, QPoint(350, rowCentre(1).y()));
    QTest::mouseRelease(table.viewport(), Qt::LeftButton, {}, QPoint(50, rowCentre(1).y()));
    EXPECT_EQ(deleted.count(), 0);
}

TEST_F(TableViewTest, SelectRowSetsTheCurrentRowAndReports) {
    QSignalSpy selected(&table, &TableView::rowSelected);
    table.selectRow(4);
    EXPECT_EQ(table.currentIndex().row(), 4);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).toInt(), 4);
    table.selectRow(99);
    EXPECT_EQ(selected.count(), 1);
}

TEST_F(TableViewTest, PaintsTheRowLookWithThumbnailAndSurvivesAFadedRemoval) {
    QImage cover(40, 80, QImage::Format_RGB32);
    cover.fill(Qt::blue);
    model.item(0)->setData(cover, Qt::DecorationRole);
    table.setThumbnailWidth(60);
    table.setDarkMode(true);
    const QImage shot = table.viewport()->grab().toImage();
    const QRect row0 = table.visualRect(model.index(0, 0));
    // Inside the row, away from texts and thumbnail: the list-row background.
    const QColor inside = shot.pixelColor(row0.right() - 20, row0.bottom() - 8);
    EXPECT_EQ(inside.rgb(), appearance::listRowBackground().rgb());
    // The thumbnail is centred in its box at the left.
    const QColor thumb = shot.pixelColor(row0.left() + 2 + 10 + 30, row0.center().y());
    EXPECT_EQ(thumb.rgb(), QColor(Qt::blue).rgb());

    table.fadeRow(0);
    model.removeRow(0);
    test::pumpEvents(300);
    EXPECT_EQ(model.rowCount(), 4);
}

}  // namespace
