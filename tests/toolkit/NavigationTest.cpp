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

// deleteLater() is not honoured by processEvents() outside a running event loop.
void flushDeletes() {
    test::pumpEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

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
        note("prepare:" + identifier);
        destinationLoadedAtPrepare = destination->isViewLoaded();
    }
    bool destinationLoadedAtPrepare = true;

private:
    void note(const QString& event) { journal_->append(name_ + "." + event); }
    QString name_;
    QStringList* journal_;
};

class NavigationTest : public ::testing::Test {
protected:
    void TearDown() override { flushDeletes(); }  // deferred deletes of popped screens
    RecordingScreen* screen(const QString& name) { return new RecordingScreen(name, &journal); }
    QStringList journal;
};

// A segue prepares its destination before that loads, then pushes it.
TEST_F(NavigationTest, SeguesAndPopsFollowTheLifeCycleOrder) {
    test::AppFixture app;
    app.storyboard().registerSegue("toSecond", [this](Services&) { return screen("second"); });
    auto* root = screen("root");
    NavigationController nav(root);
    nav.setStoryboard(&app.storyboard());
    EXPECT_EQ(journal, (QStringList{"root.load", "root.willAppear"}));
    EXPECT_EQ(root->navigationController(), &nav);
    EXPECT_FALSE(nav.backButton()->isVisibleTo(&nav));

    journal.clear();
    QPointer<ViewController> second = root->performSegue("toSecond");
    EXPECT_FALSE(root->destinationLoadedAtPrepare);
    EXPECT_EQ(journal, (QStringList{"root.prepare:toSecond", "root.willDisappear", "second.load",
                                    "second.willAppear", "root.didDisappear"}));
    EXPECT_EQ(nav.topViewController(), second);
    EXPECT_TRUE(nav.backButton()->isVisibleTo(&nav));

    journal.clear();
    EXPECT_TRUE(nav.popViewController());
    EXPECT_EQ(journal,
              (QStringList{"second.willDisappear", "root.willAppear", "second.didDisappear"}));
    EXPECT_EQ(nav.topViewController(), root);
    EXPECT_FALSE(nav.backButton()->isVisibleTo(&nav));
    flushDeletes();
    EXPECT_TRUE(second.isNull()) << "popped screens are deleted later";

    journal.clear();
    test::LogCapture log;
    EXPECT_FALSE(nav.popViewController()) << "the root is never popped";
    EXPECT_EQ(root->performSegue("noSuchSegue"), nullptr);
    EXPECT_TRUE(journal.isEmpty());
    EXPECT_EQ(nav.viewControllers().size(), 1);
    EXPECT_TRUE(log.lines.join("\n").contains("noSuchSegue"));
}

// The bar shows the top screen's title, or its title view, and its buttons; they go back to
// their screen when another comes on top, and die with it.
TEST_F(NavigationTest, TheBarShowsWhatTheTopScreenLendsItAndTakesTheUserBack) {
    auto* root = screen("root");
    NavigationController nav(root);
    nav.show();
    auto* label = nav.navigationBar()->findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    root->setTitle("Menu");
    EXPECT_EQ(label->text(), "Menu");
    auto* second = screen("second");
    auto* add = new QToolButton;
    second->addRightBarButton(add);
    auto* selector = new QLabel("selector");
    second->setTitleView(selector);
    nav.pushViewController(second);
    EXPECT_TRUE(add->isVisible());
    EXPECT_TRUE(selector->isVisible());
    EXPECT_FALSE(label->isVisible());
    EXPECT_TRUE(nav.navigationBar()->isAncestorOf(add));

    QPointer<QToolButton> addGuard = add;
    QTest::mouseClick(nav.backButton(), Qt::LeftButton);
    EXPECT_EQ(nav.topViewController(), root);
    EXPECT_TRUE(label->isVisible());
    EXPECT_FALSE(addGuard->isVisible());
    flushDeletes();
    EXPECT_TRUE(addGuard.isNull()) << "bar buttons go with their screen";

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

TEST_F(NavigationTest, UnwindPopsToTheNearestScreenBelowOfferingThePoint) {
    QStringList arrivals;
    auto* root = screen("root");
    NavigationController nav(root);
    auto* list = screen("list");
    auto* form = screen("form");
    for (const auto& [vc, name] : {std::pair{list, "list"}, std::pair{form, "form"}}) {
        vc->offerReturnPoint("unwindToList", [&arrivals, name] { arrivals << name; });
        nav.pushViewController(vc);
    }
    nav.pushViewController(screen("notes"));
    auto* picture = screen("picture");
    nav.pushViewController(picture);
    journal.clear();

    // Several screens go with one appearance of the one arrived at.
    picture->unwind("unwindToList");
    EXPECT_EQ(arrivals, QStringList{"form"});
    EXPECT_EQ(journal,
              (QStringList{"picture.willDisappear", "form.willAppear", "picture.didDisappear"}));

    // From `form`, which offers the point itself, the search starts below it.
    form->unwind("unwindToList");
    EXPECT_EQ(arrivals, (QStringList{"form", "list"}));
    EXPECT_EQ(nav.viewControllers(), (QList<ViewController*>{root, list}));

    // A point nobody below offers is logged and changes nothing, as is a loose screen's.
    test::LogCapture log;
    journal.clear();
    list->unwind("unwindToNowhere");
    RecordingScreen("loose", &journal).unwind("unwindToList");
    EXPECT_EQ(nav.topViewController(), list);
    EXPECT_TRUE(journal.isEmpty());
    EXPECT_EQ(log.lines.size(), 2);
}

TEST_F(NavigationTest, ATabContainerPassesOnTheLifeCycleAndTheReturnPoints) {
    QStringList arrivals;
    auto* root = screen("root");
    root->offerReturnPoint("unwindToMenu", [&] { arrivals << "menu"; });
    NavigationController nav(root);
    auto* tabs = new TabBarController;
    auto* genre = screen("genre");
    genre->offerReturnPoint("unwindToGenreTableView", [&] { arrivals << "genre"; });
    tabs->addTab(genre, "Genre");
    tabs->addTab(screen("actor"), "Actor", QIcon());  // no image: harmless
    journal.clear();
    nav.pushViewController(tabs);
    EXPECT_EQ(genre->navigationController(), &nav);
    EXPECT_TRUE(journal.contains("genre.load") && journal.contains("genre.willAppear"));
    EXPECT_FALSE(journal.contains("actor.load"));
    journal.clear();
    tabs->setCurrentIndex(1);
    EXPECT_EQ(journal, (QStringList{"genre.willDisappear", "actor.load", "actor.willAppear",
                                    "genre.didDisappear"}));
    tabs->setCurrentIndex(0);

    // A screen pushed above the tab container returns into the current tab.
    auto* edit = screen("edit");
    nav.pushViewController(edit);
    edit->unwind("unwindToGenreTableView");
    EXPECT_EQ(arrivals, QStringList{"genre"});
    EXPECT_EQ(nav.topViewController(), tabs);

    // A tab screen leaves through the stack entry that holds it; only the current tab goes.
    journal.clear();
    genre->unwind("unwindToMenu");
    EXPECT_EQ(arrivals, (QStringList{"genre", "menu"}));
    EXPECT_EQ(nav.topViewController(), root);
    EXPECT_TRUE(journal.contains("genre.willDisappear") && journal.contains("genre.didDisappear"));
    EXPECT_FALSE(journal.contains("actor.willDisappear"));
}

}  // namespace
