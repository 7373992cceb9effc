#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/ViewController.h"

using namespace quillon;

namespace {

// deleteLater() is not honoured by processEvents() outside a running event loop.
void flushDeletes() {
    test::pumpEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class AlertTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (AlertController* a : AlertController::presentedAlerts()) delete a;
        flushDeletes();
    }
};

TEST_F(AlertTest, PresentedAlertsListsVisibleAlertsOldestFirst) {
    ViewController screen;
    screen.show();
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
    auto* first = AlertController::ok("First", "one");
    auto* second = AlertController::ok("Second", "two");
    screen.present(first);
    screen.present(second);
    EXPECT_EQ(AlertController::presentedAlerts(), (QList<AlertController*>{first, second}));
    EXPECT_TRUE(first->isModal() || first->windowModality() == Qt::WindowModal);
    EXPECT_EQ(first->parentWidget(), screen.window());

    first->trigger("OK");
    EXPECT_EQ(AlertController::presentedAlerts(), QList<AlertController*>{second});
}

TEST_F(AlertTest, TriggerRunsTheHandlerAfterTheAlertClosed) {
    ViewController screen;
    screen.show();
    auto* alert = new AlertController("Delete?", "Really delete it?");
    bool visibleInHandler = true;
    bool listedInHandler = true;
    int cancelled = 0;
    alert->addAction({"Delete", AlertController::Style::Default, [&] {
                          visibleInHandler = alert->isVisible();
                          listedInHandler = AlertController::presentedAlerts().contains(alert);
                      }});
    alert->addAction({"Cancel", AlertController::Style::Cancel, [&] { ++cancelled; }});
    screen.present(alert);
    EXPECT_EQ(alert->actionTitles(), (QStringList{"Delete", "Cancel"}));
    EXPECT_EQ(alert->title(), "Delete?");
    EXPECT_EQ(alert->message(), "Really delete it?");

    QPointer<AlertController> guard = alert;
    EXPECT_FALSE(alert->trigger("No such action"));
    EXPECT_TRUE(alert->trigger("Delete"));
    EXPECT_FALSE(visibleInHandler);
    EXPECT_FALSE(listedInHandler);
    EXPECT_EQ(cancelled, 0) << "only the pressed action runs";
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
    flushDeletes();
    EXPECT_TRUE(guard.isNull()) << "a closed alert deletes itself";
}

TEST_F(AlertTest, ClickingAButtonPressesItsAction) {
    ViewController screen;
    screen.show();
    auto* alert = new AlertController("Title", "Message");
    QStringList pressed;
    alert->addAction({"A", AlertController::Style::Default, [&] { pressed << "A"; }});
    alert->addAction({"B", AlertController::Style::Default, [&] { pressed << "B"; }});
    screen.present(alert);
    QPushButton* b = nullptr;
    for (QPushButton* button : alert->findChildren<QPushButton*>())
        if (button->text() == "B") b = button;
    ASSERT_NE(b, nullptr);
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(pressed, QStringList{"B"});
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
}

TEST_F(AlertTest, OkAlertShowsTitleAndMessageAndOneOkAction) {
    ViewController screen;
    screen.show();
    auto* alert = AlertController::ok("Missing Title", "Please enter a title.");
    EXPECT_EQ(alert->actionTitles(), QStringList{"OK"});
    screen.present(alert);
    QStringList texts;
    for (QLabel* label : alert->findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains("Missing Title"));
    EXPECT_TRUE(texts.contains("Please enter a title."));
    EXPECT_TRUE(alert->trigger("OK"));
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
}

TEST_F(AlertTest, EscapePressesTheCancelAction) {
    ViewController screen;
    screen.show();
    auto* alert = new AlertController("Title", "Message");
    QStringList pressed;
    alert->addAction({"Go", AlertController::Style::Default, [&] { pressed << "Go"; }});
    alert->addAction({"Cancel", AlertController::Style::Cancel, [&] { pressed << "Cancel"; }});
    screen.present(alert);
    QTest::keyClick(alert, Qt::Key_Escape);
    EXPECT_EQ(pressed, QStringList{"Cancel"});
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
}

TEST_F(AlertTest, TitlesAndMessagesAreShownAsPlainText) {
    ViewController screen;
    screen.show();
    auto* alert = AlertController::ok("<b>Quillon.csv</b>", "<i>a</i> & <br>b");
    screen.present(alert);
    for (const char* name : {"alertTitle", "alertMessage"}) {
        auto* label = alert->findChild<QLabel*>(name);
        ASSERT_TRUE(label) << name;
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
    }
}

}  // namespace
