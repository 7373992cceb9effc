#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "support/TestSupport.h"
#include "toolkit/UndoNotice.h"

using namespace quillon;

namespace {

TEST(UndoNoticeTest, ItHidesByItselfAndItsButtonOrTheUndoKeyRunsTheUndo) {
    QWidget screen;
    auto* layout = new QVBoxLayout(&screen);
    layout->addStretch();
    auto* notice = new UndoNotice(&screen);
    layout->addWidget(notice);
    int undos = 0;
    notice->setUndoAction([&] { return ++undos > 0; });
    screen.resize(320, 400);
    screen.show();
    QApplication::setActiveWindow(&screen);
    test::pumpEvents();
    EXPECT_FALSE(notice->isVisible());

    notice->present("Deleted \u201C" + QString(200, QChar('x')) + "\u201D");
    test::pumpEvents();
    EXPECT_TRUE(notice->isVisible());
    EXPECT_LE(notice->width(), screen.width()) << "a long name never widens the screen";
    const QLabel* label = notice->findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_TRUE(label->text().startsWith("Deleted \u201Cx")) << label->text().toStdString();
    QTimer* timer = notice->findChild<QTimer*>();
    ASSERT_TRUE(timer && timer->isActive());
    QMetaObject::invokeMethod(timer, "timeout");  // the few seconds are over
    EXPECT_FALSE(notice->isVisible());
    EXPECT_EQ(undos, 0);

    notice->present("Deleted \u201CHeat\u201D");
    QTest::mouseClick(notice->undoButton(), Qt::LeftButton);
    EXPECT_EQ(undos, 1);
    EXPECT_FALSE(notice->isVisible());
    QTest::keyClick(&screen, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(undos, 2) << "the key works after the bar hid";
}

}  // namespace
