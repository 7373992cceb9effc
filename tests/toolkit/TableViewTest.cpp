#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

#include "support/TestSupport.h"
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
    void swipe(int row, int fromX, int toX) {
        const int y = rowCentre(row).y();
        QTest::mousePress(table.viewport(), Qt::LeftButton, {}, QPoint(fromX, y));
        QTest::mouseMove(table.viewport(), QPoint((fromX + toX) / 2, y));
        QTest::mouseRelease(table.viewport(), Qt::LeftButton, {}, QPoint(toX, y + 5));
    }
    static QList<int> rows(const QSignalSpy& spy) {
        QList<int> rows;
        for (const QList<QVariant>& call : spy) rows << call.at(0).toInt();
        return rows;
    }

    QStandardItemModel model;
    TableView table;
    QSignalSpy selected{&table, &TableView::rowSelected};
    QSignalSpy deleted{&table, &TableView::deleteRequested};
};

TEST_F(TableViewTest, AClickEnterOrSelectRowSelectsTheRow) {
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, rowCentre(2));
    EXPECT_EQ(table.currentIndex().row(), 2);
    table.setCurrentIndex(model.index(3, 0));
    QTest::keyClick(&table, Qt::Key_Return);
    table.selectRow(4);
    EXPECT_EQ(table.currentIndex().row(), 4);
    table.selectRow(99);
    EXPECT_EQ(rows(selected), (QList<int>{2, 3, 4}));
    EXPECT_TRUE(deleted.isEmpty());
}

TEST_F(TableViewTest, OnlyThePlainDeleteKeyAMenuItemOrALongSwipeRequestDeletion) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool deletes;
    } cases[] = {
        {Qt::Key_Delete, Qt::NoModifier, true},     {Qt::Key_Delete, Qt::KeypadModifier, true},
        {Qt::Key_Backspace, Qt::NoModifier, false},  // still typing a search text
        {Qt::Key_Delete, Qt::ShiftModifier, false}, {Qt::Key_Delete, Qt::ControlModifier, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QKeySequence(QKeyCombination(c.modifiers, c.key)).toString().toStdString());
        deleted.clear();
        table.setCurrentIndex(model.index(1, 0));
        QTest::keyClick(&table, c.key, c.modifiers);
        EXPECT_EQ(rows(deleted), c.deletes ? QList<int>{1} : QList<int>{});
    }
    deleted.clear();

    QMenu* menu = table.buildContextMenu(4);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().first()->text(), "delete");
    menu->actions().first()->trigger();
    delete menu;
    // A real right-click opens that menu over the row under the pointer.
    QContextMenuEvent event(QContextMenuEvent::Mouse, rowCentre(0),
                            table.viewport()->mapToGlobal(rowCentre(0)));
    QCoreApplication::sendEvent(table.viewport(), &event);
    QMenu* shown = table.findChild<QMenu*>();
    ASSERT_NE(shown, nullptr);
    shown->actions().first()->trigger();
    shown->close();

    swipe(1, 350, 100);
    swipe(2, 350, 300);  // a short drag is neither a swipe nor a tap
    EXPECT_EQ(rows(deleted), (QList<int>{4, 0, 1}));
    EXPECT_TRUE(selected.isEmpty());

    table.setRowsDeletable(false);
    QTest::keyClick(&table, Qt::Key_Delete);
    EXPECT_EQ(table.buildContextMenu(1), nullptr);
    swipe(1, 350, 50);
    EXPECT_EQ(deleted.size(), 3);
}

TEST_F(TableViewTest, PaintsTheThumbnailCentredInItsBoxAndSurvivesAFadedRemoval) {
    QImage cover(40, 80, QImage::Format_RGB32);
    cover.fill(Qt::blue);
    model.item(0)->setData(cover, Qt::DecorationRole);
    table.setThumbnailWidth(60);
    table.setDarkMode(true);
    const QImage shot = table.viewport()->grab().toImage();
    const QRect row0 = table.visualRect(model.index(0, 0));
    EXPECT_EQ(shot.pixelColor(row0.left() + 2 + 10 + 30, row0.center().y()).rgb(),
              QColor(Qt::blue).rgb());

    table.fadeRow(0);
    model.removeRow(0);
    test::pumpEvents(300);
    EXPECT_EQ(model.rowCount(), 4);
}

}  // namespace
