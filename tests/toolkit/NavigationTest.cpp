#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include "support/TestSupport.h"
#include "toolkit/NavigationController.h"
#include "toolkit/TabBarController.h"
#include "toolkit/ViewController.h"

using namespace quillon;

namespace {

// A screen that writes every life-cycle call into a shared journal as "name.event".
class RecordingScreen : public ViewController {
public:
    RecordingScreen(QString name, QStringList* journal)
        : name_(std::move(name)), journal_(journal) {}
    void viewDidLoad() override { note("load"); }
    void viewWillAppear() override { note("willAppear"); }
    void viewWillDisappear() override { note("willDisappear"); }
    void viewDidDisappear() override { note("didDisappear"); }
    void prepareForSegue(const QString& identifier, ViewController* destination) override {
        note("prepare:" + identifier + (destination->isViewLoaded() ? " (loaded)" : ""));
    }
    // Arriving at the return point is journalled as "name.arrive".
    void offer(const QString& point) {
        offerReturnPoint(point, [this] { note("arrive"); });
    }

private:
    void note(const QString& event) { journal_->append(name_ + "." + event); }
    QString name_;
    QStringList* journal_;
};

// A screen that may refuse to be taken away by the keys.
class KeptScreen : public RecordingScreen {
public:
    using RecordingScreen::RecordingScreen;
    bool leavesByKey() const override { return !kept; }
    bool kept = true;
};

class NavigationTest : public ::testing::Test {
protected:
    void TearDown() override { test::pumpEvents(); }  // deferred deletes of popped screens
    RecordingScreen* screen(const QString& name) { return new RecordingScreen(name, &journal); }
    QStringList journal;
};

// A segue prepares its destination before that loads, then pushes it; the bar shows the top
// screen's title, or its title view, and its buttons, which die with their screen; the root is
// never popped; an unknown segue is logged and changes nothing.
TEST_F(NavigationTest, SeguesPushTheBarShowsTheTopScreenAndTheUserGoesBack) {
    test::AppFixture app;
    QPointer<QToolButton> add = new QToolButton;
    auto* selector = new QLabel("selector");
    app.storyboard().registerSegue("toSecond", [&](Services&) {
        RecordingScreen* second = screen("second");
        second->addRightBarButton(add);
        second->setTitleView(selector);
        return second;
    });
    auto* root = screen("root");
    NavigationController nav(root);
    nav.setStoryboard(&app.storyboard());
    nav.show();
    EXPECT_EQ(journal, (QStringList{"root.load", "root.willAppear"}));
    auto* title = nav.navigationBar()->findChild<QLabel*>();
    root->setTitle("Menu");
    ASSERT_TRUE(title && title->text() == "Menu");

    journal.clear();
    QPointer<ViewController> second = root->performSegue("toSecond");
    EXPECT_EQ(journal, (QStringList{"root.prepare:toSecond", "root.willDisappear", "second.load",
                                    "second.willAppear", "root.didDisappear"}));
    EXPECT_TRUE(nav.backButton()->isVisible() && add->isVisible() && selector->isVisible());
    EXPECT_TRUE(nav.navigationBar()->isAncestorOf(add) && !title->isVisible());
    journal.clear();
    QTest::mouseClick(nav.backButton(), Qt::LeftButton);
    EXPECT_EQ(journal,
              (QStringList{"second.willDisappear", "root.willAppear", "second.didDisappear"}));
    EXPECT_TRUE(title->isVisible() && !add->isVisible() && !nav.backButton()->isVisible());
    test::pumpEvents();
    EXPECT_TRUE(second.isNull() && add.isNull());
    journal.clear();
    test::LogCapture log;
    EXPECT_FALSE(nav.popViewController());
    EXPECT_EQ(root->performSegue("noSuchSegue"), nullptr);
    EXPECT_TRUE(journal.isEmpty());
    EXPECT_TRUE(log.lines.join("\n").contains("noSuchSegue"));
    // Escape goes back too, but not while the user is typing.
    auto* third = screen("third");
    auto* entry = new QLineEdit(third);
    nav.pushViewController(third);
    QApplication::setActiveWindow(&nav);
    if (!QTest::qWaitForWindowActive(&nav)) GTEST_SKIP() << "no active window on this platform";
    entry->setFocus();
    QTest::keyClick(entry, Qt::Key_Escape);
    EXPECT_EQ(nav.topViewController(), third);
    entry->clearFocus();
    third->setFocus();
    QTest::keyClick(third, Qt::Key_Escape);
    EXPECT_EQ(nav.topViewController(), root);
}

// An unwind pops to the nearest screen below that offers the return point, also into a tab
// container's current tab; a tab container passes the life cycle on to its current tab.
TEST_F(NavigationTest, UnwindsAndTabsFollowTheStack) {
    auto* root = screen("root");
    root->offer("unwindToMenu");
    NavigationController nav(root);
    auto* tabs = new TabBarController;
    auto* genre = screen("genre");
    genre->offer("unwindToGenreTableView");
    tabs->addTab(genre, "Genre");
    tabs->addTab(screen("actor"), "Actor", QIcon());  // no image: harmless
    journal.clear();
    nav.pushViewController(tabs);
    EXPECT_EQ(journal, (QStringList{"root.willDisappear", "genre.load", "genre.willAppear",
                                    "root.didDisappear"}));
    journal.clear();
    tabs->setCurrentIndex(1);
    EXPECT_EQ(journal, (QStringList{"genre.willDisappear", "actor.load", "actor.willAppear",
                                    "genre.didDisappear"}));
    tabs->setCurrentIndex(0);

    auto* list = screen("list");
    auto* form = screen("form");
    auto* picture = screen("picture");
    for (RecordingScreen* vc : {list, form, screen("notes"), picture}) nav.pushViewController(vc);
    list->offer("unwindToList");
    form->offer("unwindToList");
    journal.clear();
    // Several screens go with one appearance of the one arrived at.
    picture->unwind("unwindToList");
    EXPECT_EQ(journal, (QStringList{"picture.willDisappear", "form.willAppear",
                                    "picture.didDisappear", "form.arrive"}));
    // From `form`, which offers the point itself, the search starts below it.
    form->unwind("unwindToList");
    EXPECT_EQ(journal.last(), "list.arrive");
    EXPECT_EQ(nav.viewControllers(), (QList<ViewController*>{root, tabs, list}));

    // A point nobody below offers is logged and changes nothing.
    test::LogCapture log;
    journal.clear();
    list->unwind("unwindToNowhere");
    EXPECT_TRUE(journal.isEmpty());
    EXPECT_EQ(log.lines.size(), 1);

    list->unwind("unwindToGenreTableView");
    EXPECT_EQ(journal.last(), "genre.arrive");
    // A tab screen leaves through the stack entry that holds it; only the current tab goes.
    journal.clear();
    genre->unwind("unwindToMenu");
    EXPECT_EQ(journal, (QStringList{"genre.willDisappear", "root.willAppear", "genre.didDisappear",
                                    "root.arrive"}));
}

// A screen with unsaved input keeps Escape and Alt+Left from taking it away, never the back
// button; a screen at work turns its back off, keys and button alike.
TEST_F(NavigationTest, AScreenKeepsTheBackKeysOrTurnsItsBackOff) {
    NavigationController nav(screen("root"));
    nav.show();
    QApplication::setActiveWindow(&nav);
    if (!QTest::qWaitForWindowActive(&nav)) GTEST_SKIP() << "no active window on this platform";
    auto* first = new KeptScreen("first", &journal);
    auto* second = new KeptScreen("second", &journal);
    nav.pushViewController(first);
    nav.pushViewController(second);
    const auto keys = [&](ViewController* on) {
        on->setFocus();
        QTest::keyClick(on, Qt::Key_Escape);
        QTest::keyClick(on, Qt::Key_Left, Qt::AltModifier);
        return nav.topViewController();
    };
    EXPECT_EQ(keys(second), second);
    QTest::mouseClick(nav.backButton(), Qt::LeftButton);
    EXPECT_EQ(nav.topViewController(), first);
    first->kept = false;
    first->setBackEnabled(false);
    EXPECT_FALSE(nav.backButton()->isEnabled());
    EXPECT_EQ(keys(first), first);
    first->setBackEnabled(true);
    EXPECT_TRUE(nav.backButton()->isEnabled());
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(nav.viewControllers().size(), 1);
}

}  // namespace
