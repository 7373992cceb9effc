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

class AlertTest : public ::testing::Test {
protected:
    AlertTest() { screen.show(); }
    void TearDown() override {
        for (AlertController* a : AlertController::presentedAlerts()) delete a;
        flushDeletes();
    }
    // deleteLater() is not honoured by processEvents() outside a running event loop.
    static void flushDeletes() {
        test::pumpEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // An alert with the actions "Go" and "Cancel" that write their titles into `pressed`.
    AlertController* presentGoOrCancel() {
        auto* alert = new AlertController("Title", "Message");
        alert->addAction({"Go", AlertController::Style::Default, [this] { pressed << "Go"; }});
        alert->addAction(
            {"Cancel", AlertController::Style::Cancel, [this] { pressed << "Cancel"; }});
        screen.present(alert);
        return alert;
    }

    ViewController screen;
    QStringList pressed;
};

// An action's handler runs after its alert closed and left the list of presented alerts.
TEST_F(AlertTest, TriggerRunsOnlyThePressedHandlerAfterTheAlertClosed) {
    auto* first = AlertController::ok("First", "one");
    auto* alert = new AlertController("Delete?", "Really delete it?");
    bool visibleInHandler = true;
    bool listedInHandler = true;
    int cancelled = 0;
    alert->addAction({"Delete", AlertController::Style::Default, [&] {
                          visibleInHandler = alert->isVisible();
                          listedInHandler = AlertController::presentedAlerts().contains(alert);
                      }});
    alert->addAction({"Cancel", AlertController::Style::Cancel, [&] { ++cancelled; }});
    screen.present(first);
    screen.present(alert);
    EXPECT_EQ(AlertController::presentedAlerts(), (QList<AlertController*>{first, alert}));
    EXPECT_TRUE(alert->isModal() || alert->windowModality() == Qt::WindowModal);
    EXPECT_EQ(alert->parentWidget(), screen.window());

    QPointer<AlertController> guard = alert;
    EXPECT_FALSE(alert->trigger("No such action"));
    EXPECT_TRUE(alert->trigger("Delete"));
    EXPECT_FALSE(visibleInHandler);
    EXPECT_FALSE(listedInHandler);
    EXPECT_EQ(cancelled, 0);
    EXPECT_EQ(AlertController::presentedAlerts(), QList<AlertController*>{first});
    flushDeletes();
    EXPECT_TRUE(guard.isNull()) << "a closed alert deletes itself";
}

TEST_F(AlertTest, AClickOrEscapePressesAnAction) {
    AlertController* alert = presentGoOrCancel();
    QPushButton* go = nullptr;
    for (QPushButton* button : alert->findChildren<QPushButton*>())
        if (button->text() == "Go") go = button;
    ASSERT_NE(go, nullptr);
    QTest::mouseClick(go, Qt::LeftButton);
    QTest::keyClick(presentGoOrCancel(), Qt::Key_Escape);
    EXPECT_EQ(pressed, (QStringList{"Go", "Cancel"}));
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
}

TEST_F(AlertTest, TitleAndMessageAreShownAsPlainText) {
    auto* alert = AlertController::ok("<b>Quillon.csv</b>", "<i>a</i> & <br>b");
    EXPECT_EQ(alert->actionTitles(), QStringList{"OK"});
    screen.present(alert);
    for (const auto& [name, text] : {std::pair{"alertTitle", "<b>Quillon.csv</b>"},
                                     std::pair{"alertMessage", "<i>a</i> & <br>b"}}) {
        auto* label = alert->findChild<QLabel*>(name);
        ASSERT_TRUE(label) << name;
        EXPECT_EQ(label->text(), text);
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
    }
}

}  // namespace
