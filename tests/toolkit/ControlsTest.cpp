#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/KeySelector.h"
#include "toolkit/MainQueue.h"
#include "toolkit/TableView.h"
#include "toolkit/UndoNotice.h"
#include "toolkit/ViewController.h"

using namespace quillon;

namespace {

// A click, Escape (the cancel action, else the only one) or trigger() presses an action, whose
// handler runs once the alert has closed; a closed alert deletes itself. Texts are never markup.
TEST(AlertTest, ActionsRunAfterTheAlertClosedAndTextsArePlain) {
    ViewController screen;
    screen.show();
    QStringList pressed;
    const auto presentGoOrCancel = [&] {
        auto* alert = new AlertController("<b>Quillon.csv</b>", "<i>a</i> & <br>b");
        alert->addAction({"Go", AlertController::Style::Default, [&pressed, alert] {
                              pressed << (alert->isVisible() ? "Go while shown" : "Go");
                          }});
        alert->addAction({"Cancel", AlertController::Style::Cancel, [&] { pressed << "Cancel"; }});
        screen.present(alert);
        return alert;
    };
    QPointer<AlertController> first = AlertController::ok("Title", "one");
    screen.present(first);
    QPointer<AlertController> alert = presentGoOrCancel();
    EXPECT_EQ(AlertController::presentedAlerts(), (QList<AlertController*>{first, alert}));
    EXPECT_EQ(alert->parentWidget(), screen.window());
    for (const char* name : {"alertTitle", "alertMessage"}) {
        auto* label = alert->findChild<QLabel*>(name);
        EXPECT_TRUE(label && label->textFormat() == Qt::PlainText) << name;
    }
    EXPECT_TRUE(alert->trigger("Go"));
    EXPECT_EQ(AlertController::presentedAlerts(), QList<AlertController*>{first});
    QPushButton* go = presentGoOrCancel()->findChildren<QPushButton*>().value(0);
    ASSERT_TRUE(go && go->text() == "Go");
    QTest::mouseClick(go, Qt::LeftButton);
    QTest::keyClick(presentGoOrCancel(), Qt::Key_Escape);
    QTest::keyClick(first, Qt::Key_Escape);
    EXPECT_EQ(pressed, (QStringList{"Go", "Go", "Cancel"}));
    test::pumpEvents();
    EXPECT_TRUE(alert.isNull() && first.isNull());
}

// Its button and the undo key are pressed in the movie list's tests.
TEST(UndoNoticeTest, ALongNameIsShortenedAndTheBarHidesByItselfWithoutUndoing) {
    QWidget screen;
    auto* notice = new UndoNotice(&screen);
    (new QVBoxLayout(&screen))->addWidget(notice);
    int undos = 0;
    notice->setUndoAction([&] { return ++undos > 0; });
    screen.resize(320, 400);
    screen.show();
    notice->present("Deleted \u201C" + QString(200, QChar('x')) + "\u201D");
    test::pumpEvents();
    EXPECT_LE(notice->width(), screen.width()) << "a long name never widens the screen";
    const QLabel* label = notice->findChild<QLabel*>();
    ASSERT_TRUE(label && label->textFormat() == Qt::PlainText);
    QTimer* timer = notice->findChild<QTimer*>();
    ASSERT_TRUE(timer && timer->isActive());
    QMetaObject::invokeMethod(timer, "timeout");  // the few seconds are over
    EXPECT_FALSE(notice->isVisible());
    EXPECT_EQ(undos, 0);
}

// A click on another item reports it; neither a click on the selected one nor selecting it does.
TEST(KeySelectorTest, ValueChangedOnlyWhenTheIndexChanges) {
    KeySelector selector({"Title", "Year", "Genre"});
    selector.show();
    QSignalSpy changed(&selector, &KeySelector::valueChanged);
    const QList<QAbstractButton*> buttons = selector.findChildren<QAbstractButton*>();
    ASSERT_EQ(buttons.size(), 3);
    selector.setSelectedIndex(0);
    for (const int i : {2, 1, 1}) QTest::mouseClick(buttons.at(i), Qt::LeftButton);
    EXPECT_EQ(selector.selectedIndex(), 1);
    EXPECT_EQ(changed, (QList<QVariantList>{{2}, {1}}));
}

// Work runs after the current event, in order, delayed work later, none whose context died.
TEST(MainQueueTest, RunsLaterInSchedulingOrderWhileItsContextLives) {
    QStringList order;
    const auto note = [&order](const char* what) { return [&order, what] { order << what; }; };
    Clock clock;
    QObject context;
    auto* gone = new QObject;
    clock.runAfter(0.05, note("late1"), nullptr);
    mainQueue::async(note("a"));
    clock.runAfter(0.05, note("late2"), &context);
    mainQueue::async(note("b"), &context);
    clock.runAfter(0, note("c"), nullptr);
    mainQueue::async(note("dropped"), gone);
    clock.runAfter(0.02, note("dropped"), gone);
    delete gone;
    EXPECT_TRUE(order.isEmpty()) << "nothing runs before the current event ends";
    test::pumpEvents();
    EXPECT_EQ(order, (QStringList{"a", "b", "c"}));
    test::pumpEvents(150);
    EXPECT_EQ(order, (QStringList{"a", "b", "c", "late1", "late2"}));
}

// selectRow() selects a row; only the plain Delete key, the menu item or a long leftward swipe
// asks to delete one, and none of them once rows may not be deleted. (A click and Enter are
// pressed in the lists' tests.)
TEST(TableViewTest, PaintsThumbnailsAndRoutesSelectionAndDeletion) {
    QStandardItemModel model;
    for (int i = 0; i < 5; ++i) model.appendRow(new QStandardItem(QString("Movie %1").arg(i)));
    model.item(0)->setData(test::filledImage({40, 80}, Qt::blue), Qt::DecorationRole);
    TableView table;
    table.setModel(&model);
    table.setThumbnailWidth(60);
    table.resize(400, 600);
    table.show();
    test::pumpEvents();
    QSignalSpy selected(&table, &TableView::rowSelected);
    QSignalSpy deleted(&table, &TableView::deleteRequested);
    const auto rowCentre = [&](int row) { return table.visualRect(model.index(row, 0)).center(); };
    const auto swipe = [&](int row, int fromX, int toX) {
        const int y = rowCentre(row).y();
        QTest::mousePress(table.viewport(), Qt::LeftButton, {}, QPoint(fromX, y));
        QTest::mouseMove(table.viewport(), QPoint((fromX + toX) / 2, y));
        QTest::mouseRelease(table.viewport(), Qt::LeftButton, {}, QPoint(toX, y + 5));
    };
    // The thumbnail is centred in its box at the row's left.
    const QImage shot = table.viewport()->grab().toImage();
    const QRect row0 = table.visualRect(model.index(0, 0));
    EXPECT_EQ(shot.pixelColor(row0.left() + 2 + 10 + 30, row0.center().y()).rgb(),
              QColor(Qt::blue).rgb());
    table.selectRow(4);
    table.selectRow(99);
    table.setCurrentIndex(model.index(1, 0));
    QTest::keyClick(&table, Qt::Key_Backspace);  // still typing a search text
    QTest::keyClick(&table, Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(&table, Qt::Key_Delete, Qt::KeypadModifier);  // the only one of the three
    // A real right-click opens the menu of the row under the pointer; its one item deletes.
    QContextMenuEvent event(QContextMenuEvent::Mouse, rowCentre(4),
                            table.viewport()->mapToGlobal(rowCentre(4)));
    QCoreApplication::sendEvent(table.viewport(), &event);
    QMenu* shown = table.findChild<QMenu*>();
    ASSERT_TRUE(shown && shown->actions().size() == 1);
    shown->actions().first()->trigger();
    shown->close();
    swipe(1, 350, 100);
    swipe(2, 350, 300);  // a short drag is neither a swipe nor a tap
    EXPECT_EQ(deleted, (QList<QVariantList>{{1}, {4}, {1}}));
    EXPECT_EQ(selected, QList<QVariantList>{{4}});
    table.setRowsDeletable(false);
    QTest::keyClick(&table, Qt::Key_Delete);
    EXPECT_EQ(table.buildContextMenu(1), nullptr);
    swipe(1, 350, 50);
    EXPECT_EQ(deleted.size(), 3);
    // In a wide window the rows keep a readable width, centred; a click beside them is ignored.
    EXPECT_EQ(table.visualRect(model.index(0, 0)).width(), table.contentsRect().width());
    table.resize(1400, 600);
    test::pumpEvents();
    const QRect row = table.visualRect(model.index(0, 0));
    EXPECT_EQ(row.width(), 640);
    EXPECT_NEAR(table.viewport()->mapTo(&table, row.center()).x(),
                table.contentsRect().center().x(), 1);
    QTest::mouseClick(&table, Qt::LeftButton, {}, QPoint(20, 30));
    EXPECT_EQ(selected.count(), 1);
}

}  // namespace
