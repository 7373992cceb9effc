#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "groups/CustomTabBarController.h"
#include "groups/GroupSegues.h"
#include "groups/GroupTabTableViewController.h"
#include "support/TestSupport.h"
#include "toolkit/Appearance.h"
#include "toolkit/NamedImage.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"

using namespace quillon;

namespace {

class GroupTabBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerGroupSegues(app.storyboard());
        menu = new ViewController;
        menu->offerReturnPoint("unwindToMenu", [this] { ++arrivals; });
        nav = std::make_unique<NavigationController>(menu);
        nav->setStoryboard(&app.storyboard());
        nav->resize(430, 860);
        nav->show();
    }
    void TearDown() override {
        nav.reset();
        test::pumpEvents();
    }
    customTabBar* openTabs() {
        menu->performSegue("TabBarController");
        return qobject_cast<customTabBar*>(nav->topViewController());
    }

    test::AppFixture app;
    std::unique_ptr<NavigationController> nav;
    ViewController* menu = nullptr;
    int arrivals = 0;
};

QImage drawn(const QIcon& icon, qreal scale, QIcon::Mode mode, QIcon::State state) {
    return icon.pixmap(QSize(28, 28), scale, mode, state).toImage();
}

// Share of the picture's inked pixels that stand out from the black bar by 3:1 or more.
double shareReadableOnBlack(const QImage& picture) {
    int inked = 0;
    int readable = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            if (pixel.alpha() < 128) continue;
            ++inked;
            if (appearance::contrastRatio(pixel, Qt::black) >= 3.0) ++readable;
        }
    return inked ? double(readable) / inked : 0;
}

// Each tab shows its own named picture, drawn for the scale factor (sharp at 2x, not enlarged),
// readable on the black bar, and the same when selected: in its own colours, never tinted.
TEST_F(GroupTabBarTest, EachTabShowsItsNamedImageInItsOwnColoursAtEveryScale) {
    customTabBar* tabs = openTabs();
    ASSERT_TRUE(tabs);
    const char* names[] = {"genre", "man", "woman", "director", "producer"};
    QList<QImage> seen;
    for (int index = 0; index < 5; ++index) {
        SCOPED_TRACE(names[index]);
        const QIcon icon = tabs->tabWidget()->tabIcon(index);
        ASSERT_FALSE(icon.isNull());
        const QImage normal = drawn(icon, 2.0, QIcon::Normal, QIcon::Off);
        EXPECT_EQ(normal.size(), QSize(56, 56));
        EXPECT_EQ(normal, drawn(namedImage(names[index]), 2.0, QIcon::Normal, QIcon::Off));
        for (QIcon::Mode mode : {QIcon::Normal, QIcon::Active, QIcon::Selected})
            EXPECT_EQ(drawn(icon, 2.0, mode, QIcon::On), normal) << "mode " << mode;
        EXPECT_EQ(drawn(icon, 1.0, QIcon::Normal, QIcon::Off).size(), QSize(28, 28));
        EXPECT_GE(shareReadableOnBlack(normal), 0.6);
        EXPECT_FALSE(seen.contains(normal));
        seen << normal;
    }
    EXPECT_TRUE(namedImage("no such picture").isNull());
}

// The five tabs share the bar without scrolling down to the narrowest window; from a phone's
// width up each caption is whole beneath its image.
TEST_F(GroupTabBarTest, EveryTabFitsTheBarWithItsImageAndCaption) {
    customTabBar* tabs = openTabs();
    ASSERT_TRUE(tabs);
    for (int width : {320, 430, 1200}) {
        SCOPED_TRACE(width);
        nav->resize(width, 860);
        test::pumpEvents();
        const QTabBar* bar = tabs->tabWidget()->tabBar();
        const QFontMetrics caption(bar->font());
        for (int index = 0; index < bar->count(); ++index) {
            const QRect tab = bar->tabRect(index);
            EXPECT_TRUE(bar->rect().contains(tab)) << bar->tabText(index).toStdString();
            EXPECT_GE(tab.width(), bar->iconSize().width());
            EXPECT_GE(tab.height(), bar->iconSize().height() + caption.height());
            if (width >= 430) {
                EXPECT_GE(tab.width(), caption.horizontalAdvance(bar->tabText(index)));
            }
        }
    }
}

// Escape (after clearing a search) and Alt+Left leave the group tabs for the menu, as the tabs'
// own back button does, whichever tab is shown.
TEST_F(GroupTabBarTest, EscapeAndAltLeftGoBackToTheMenu) {
    QApplication::setActiveWindow(nav.get());
    if (!QTest::qWaitForWindowActive(nav.get()))
        GTEST_SKIP() << "no active window on this platform";
    struct Case {
        int tab;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* search;
    } cases[] = {{0, Qt::Key_Escape, Qt::NoModifier, ""},
                 {3, Qt::Key_Escape, Qt::NoModifier, "Pacino"},
                 {1, Qt::Key_Left, Qt::AltModifier, "Reno"},
                 {4, Qt::Key_Left, Qt::AltModifier, ""}};
    int expectedArrivals = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        customTabBar* tabs = openTabs();
        ASSERT_TRUE(tabs);
        tabs->setCurrentIndex(c.tab);
        SearchBar* search = tabs->tab(GroupKind(c.tab))->searchBar();
        search->setFocus();
        QTest::keyClicks(search, c.search);
        const bool clearsFirst = c.key == Qt::Key_Escape && *c.search;
        QTest::keyClick(search, c.key, c.modifiers);
        if (clearsFirst) {
            EXPECT_EQ(search->text(), "");
            EXPECT_EQ(nav->topViewController(), tabs);
            QTest::keyClick(search, c.key, c.modifiers);
        }
        EXPECT_EQ(nav->topViewController(), menu);
        EXPECT_EQ(arrivals, ++expectedArrivals);
        test::pumpEvents();
    }
}

}  // namespace
