#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "app/MainWindow.h"
#include "app/WindowPlacement.h"
#include "platform/UserDefaults.h"
#include "support/AppHarness.h"
#include "support/TestSupport.h"

using namespace quillon;

namespace {

TEST(WindowPlacementTest, TheFirstStartFitsTheScreenAndAKeptPlaceComesBackOnAScreen) {
    struct FirstStart {
        QSize available, expected;
    };
    for (const FirstStart& c :
         {FirstStart{{1920, 1050}, {1100, 760}}, FirstStart{{1280, 800}, {1088, 680}},
          FirstStart{{300, 400}, {320, 480}}})
        EXPECT_EQ(firstStartSize(c.available), c.expected) << c.available.width();

    const QList<QRect> screens = {{0, 0, 1920, 1050}, {1920, 0, 1280, 1000}};
    struct Kept {
        const char* what;
        QRect saved, expected;
    };
    for (const Kept& c : {
             Kept{"as it was", {100, 80, 1000, 700}, {100, 80, 1000, 700}},
             Kept{"on the screen it overlaps most", {2900, 500, 800, 600}, {2400, 400, 800, 600}},
             Kept{"screen gone: centred on the first",
                  {5000, 100, 1000, 700},
                  {460, 175, 1000, 700}},
             Kept{"larger than its screen", {1900, -50, 2000, 1200}, {1920, 0, 1280, 1000}},
             Kept{"never below the least size", {10, 10, 100, 100}, {10, 10, 320, 480}},
         })
        EXPECT_EQ(placeOnScreens(c.saved, screens), c.expected) << c.what;
}

TEST(WindowPlacementTest, TheWindowOpensAtADesktopSizeAndReopensWhereItWasLeft) {
    test::AppHarness app;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    auto window = app.window();
    window->show();
    test::pumpEvents();
    EXPECT_EQ(window->size(), firstStartSize(screen.size()));
    EXPECT_TRUE(screen.contains(window->geometry()));
    EXPECT_EQ(window->minimumSize(), QSize(320, 480));

    const QRect left(screen.topLeft() + QPoint(20, 30), QSize(500, 490));
    window->setGeometry(left);
    test::pumpEvents();
    window->close();
    window.reset();
    auto again = app.window();
    again->show();
    test::pumpEvents();
    EXPECT_EQ(again->geometry(), left);

    // A place on a screen that is gone comes back on the one there is.
    standardUserDefaults()->setValue("window/geometry", QRect(-9000, -9000, 600, 500));
    auto moved = app.window();
    EXPECT_TRUE(screen.contains(moved->geometry()));
    EXPECT_EQ(moved->size(), QSize(600, 500));
}

}  // namespace
