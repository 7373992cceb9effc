#include <gtest/gtest.h>

#include <QApplication>
#include <QCameraDevice>
#include <QLabel>
#include <QMediaDevices>
#include <QPushButton>
#include <QTest>

#include "platform/Camera.h"
#include "support/TestSupport.h"

namespace quillon::test {
namespace {

QWidget* captureWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == "cameraCapture" && widget->isVisible()) return widget;
    return nullptr;
}

// Without a camera on the machine that runs the tests only the ways out can be tried; they are
// the same with one.
TEST(DesktopCameraTest, EndsExactlyOnceWhenTheUserCancels) {
    DesktopCamera camera;
    EXPECT_EQ(camera.isAvailable(), !QMediaDevices::videoInputs().isEmpty());

    QWidget form;
    form.show();
    struct Ending {
        const char* how;
        std::function<void(QWidget*)> act;
    };
    const Ending endings[] = {
        {"Escape", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }},
        {"Cancel",
         [](QWidget* w) {
             QTest::mouseClick(w->findChild<QPushButton*>("cameraCancel"), Qt::LeftButton);
         }},
        {"closing the window", [](QWidget* w) { w->close(); }},
    };
    for (const Ending& ending : endings) {
        int taken = 0, cancelled = 0;
        camera.capture(
            &form, [&](const QImage&) { ++taken; }, [&] { ++cancelled; });
        QWidget* window = captureWindow();
        ASSERT_NE(window, nullptr) << ending.how;
        if (QMediaDevices::videoInputs().isEmpty()) {
            EXPECT_EQ(window->findChild<QLabel*>("cameraStatus")->text(),
                      "There is no camera available");
            EXPECT_FALSE(window->findChild<QPushButton*>("cameraShutter")->isEnabled());
        }
        // The outcome comes after the window has gone, never inside the user's action.
        ending.act(window);
        EXPECT_EQ(cancelled, 0) << ending.how;
        pumpEvents();
        EXPECT_EQ(captureWindow(), nullptr) << ending.how;
        EXPECT_EQ(cancelled, 1) << ending.how;
        EXPECT_EQ(taken, 0) << ending.how;
    }
}

// One capture at a time: the window is modal to the form, and a capture asked for while it is
// open is cancelled, the one under way going on.
TEST(DesktopCameraTest, OneCaptureAtATime) {
    DesktopCamera camera;
    QWidget form;
    form.show();
    int firstCancelled = 0, secondCancelled = 0;
    camera.capture(
        &form, [](const QImage&) {}, [&] { ++firstCancelled; });
    camera.capture(
        &form, [](const QImage&) {}, [&] { ++secondCancelled; });
    pumpEvents();
    int windows = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        windows += widget->objectName() == "cameraCapture" && widget->isVisible();
    EXPECT_EQ(windows, 1);
    QWidget* window = captureWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowModality(), Qt::WindowModal);
    EXPECT_EQ(secondCancelled, 1);
    EXPECT_EQ(firstCancelled, 0);
    window->close();
    pumpEvents();
    EXPECT_EQ(firstCancelled, 1);
    EXPECT_EQ(secondCancelled, 1);
}

TEST(DesktopCameraTest, SaysNothingToAFormThatIsGone) {
    DesktopCamera camera;
    int outcomes = 0;
    auto form = std::make_unique<QWidget>();
    form->show();
    camera.capture(
        form.get(), [&](const QImage&) { ++outcomes; }, [&] { ++outcomes; });
    ASSERT_NE(captureWindow(), nullptr);
    form.reset();
    pumpEvents();
    EXPECT_EQ(captureWindow(), nullptr);
    EXPECT_EQ(outcomes, 0);
}

}  // namespace
}  // namespace quillon::test
