#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QCoreApplication>
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
    RecordingScreen(QString name, QStringList* journal) : name_(std::move(name)), journal_(journal) {}
    void viewDidLoad() override { note("load"); }
    void viewWillAppear() override { note("willAppear"); }
    void viewWillDisappear() override { note("willDisappear"); }
    void viewDidDisappear() override { note("didDisappear"); }
    void prepareForSegue(const QString& identifier, ViewController* destination) override {
        note("prepare:" + identifier);
        preparedDestination = destination;
        destinationLoadedAtPrepare = destination->isViewLoaded();
    }
    ViewController* preparedDestination = nullptr;
    bool destinationLoadedAtPrepare = true;

private:
    void note(const QString& event) { journal_->append(name_ + "." + event); }
    QString name_;
    QStringList* journal_;
};

class NavigationTest : public ::testing::Test {
protected:
    void TearDown() override { flushDeletes(); }  // deferred deletes of popped screens
    QStringList journal;
};

TEST_F(NavigationTest, RootLoadsAndAppearsOnce) {
    auto* root = new RecordingScreen("root", &journal);
    NavigationController nav(root);
    EXPECT_EQ(journal, (QStringList{"root.load", "root.willAppear"}));
    EXPECT_EQ(nav.topViewController(), root);
    EXPECT_EQ(root->navigationController(), &nav);
    EXPECT_FALSE(nav.backButton()->isVisibleTo(&nav));
}

TEST_F(NavigationTest, PushAndPopFollowTheLifeCycleOrder) {
    auto* root = new RecordingScreen("root", &journal);
    NavigationController nav(root);
    journal.clear();

    auto* second = new RecordingScreen("second", &journal);
    nav.pushViewController(second);
    EXPECT_EQ(journal, (QStringList{"root.willDisappear", "second.load", "second.willAppear",
                                    "root.didDisappear"}));
    EXPECT_EQ(nav.topViewController(), second);
    EXPECT_TRUE(nav.backButton()->isVisibleTo(&nav));

    journal.clear();
    QPointer<ViewController> popped = second;
    EXPECT_TRUE(nav.popViewController());
    EXPECT_EQ(journal, (QStringList{"second.willDisappear", "root.willAppear",
                                    "second.didDisappear"}));
    EXPECT_EQ(nav.topViewController(), root);
    EXPECT_FALSE(nav.backButton()->isVisibleTo(&nav));
    flushDeletes();
    EXPECT_TRUE(popped.isNull()) << "popped screens are deleted later";

    journal.clear();
    EXPECT_FALSE(nav.popViewController()) << "the root is never popped";
    EXPECT_TRUE(journal.isEmpty());
}


TEST_F(NavigationTest, BackButtonPopsAndTitleFollowsTheTop) {
    auto* root = new RecordingScreen("root", &journal);
    root->setTitle("Menu");
    NavigationController nav(root);
    auto* label = nav.navigationBar()->findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Menu");

    auto* second = new RecordingScreen("second", &journal);
    nav.pushViewController(second);
    second->setTitle("Movies");
    EXPECT_EQ(label->text(), "Movies");

    QTest::mouseClick(nav.backButton(), Qt::LeftButton);
    EXPECT_EQ(nav.topViewController(), root);
    EXPECT_EQ(label->text(), "Menu");
}

TEST_F(NavigationTest, TitleViewAndBarButtonsAreShownOnlyForTheirScreen) {
    auto* root = new RecordingScreen("root", &journal);
    NavigationController nav(root);
    nav.show();
    auto* second = new RecordingScreen("second", &journal);
    auto* add = new QToolButton;
    add->setText("+");
    second->addRightBarButton(add);
    auto* selector = new QLabel("selector");
    second->setTitleView(selector);
    nav.pushViewController(second);
    EXPECT_TRUE(add->isVisible());
    EXPECT_TRUE(selector->isVisible());
    EXPECT_TRUE(nav.navigationBar()->isAncestorOf(add));

    QPointer<QToolButton> addGuard = add;
    nav.popViewController();
    EXPECT_FALSE(addGuard->isVisible());
    flushDeletes();
    EXPECT_TRUE(addGuard.isNull()) << "bar buttons go with their screen";
}

TEST_F(NavigationTest, EscapeGoesBackUnlessTheUserIsTyping) {
    auto* root = new RecordingScreen("root", &journal);
    NavigationController nav(root);
    auto* second = new RecordingScreen("second", &journal);
    auto* entry = new QLineEdit(second);
    nav.pushViewController(second);
    nav.show();
    QApplication::setActiveWindow(&nav);
    if (!QTest::qWaitForWindowActive(&nav)) GTEST_SKIP() << "no active window on this platform";
    entry->setFocus();
    QTest::keyClick(entry, Qt::Key_Escape);
    EXPECT_EQ(nav.topViewController(), second);
    entry->clearFocus();
    second->setFocus();
    QTest::keyClick(second, Qt::Key_Escape);
    EXPECT_EQ(nav.topViewController(), root);
}

TEST_F(NavigationTest, NavigationBarHiddenChangesAtOnce) {
    NavigationController nav(new RecordingScreen("root", &journal));
    nav.show();
    nav.setNavigationBarHidden(true, true);
    EXPECT_TRUE(nav.isNavigationBarHidden());
    EXPECT_FALSE(nav.navigationBar()->isVisible());
    nav.setNavigationBarHidden(false, true);
    EXPECT_FALSE(nav.isNavigationBarHidden());
    EXPECT_TRUE(nav.navigationBar()->isVisible());
}

TEST_F(NavigationTest, PerformSeguePreparesBeforeTheDestinationLoads) {
    SegueRegistry::registerSegue("toSecond", [this] { return new RecordingScreen("second", &journal); });
    auto* root = new RecordingScreen("root", &journal);
    NavigationController nav(root);
    journal.clear();

    ViewController* destination = root->performSegue("toSecond");
    ASSERT_NE(destination, nullptr);
    EXPECT_EQ(root->preparedDestination, destination);
    EXPECT_FALSE(root->destinationLoadedAtPrepare);
    EXPECT_EQ(journal, (QStringList{"root.prepare:toSecond", "root.willDisappear", "second.load",
                                    "second.willAppear", "root.didDisappear"}));
    EXPECT_EQ(nav.topViewController(), destination);
    EXPECT_EQ(destination->navigationController(), &nav);
}

TEST_F(NavigationTest, UnknownSegueIsLoggedAndReturnsNull) {
    test::LogCapture log;
    auto* root = new RecordingScreen("root", &journal);
    NavigationController nav(root);
    journal.clear();
    EXPECT_EQ(root->performSegue("noSuchSegue"), nullptr);
    EXPECT_TRUE(journal.isEmpty());
    EXPECT_EQ(nav.viewControllers().size(), 1);
    ASSERT_FALSE(log.lines.isEmpty());
    EXPECT_TRUE(log.lines.join("\n").contains("noSuchSegue"));
}

TEST_F(NavigationTest, UnwindPopsToTheNearestScreenOfferingThePoint) {
    QStringList arrivals;
    auto* root = new RecordingScreen("root", &journal);
    root->offerReturnPoint("unwindToList", [&] { arrivals << "root"; });
    NavigationController nav(root);
    auto* list = new RecordingScreen("list", &journal);
    list->offerReturnPoint("unwindToList", [&] { arrivals << "list"; });
    nav.pushViewController(list);
    auto* form = new RecordingScreen("form", &journal);
    form->offerReturnPoint("unwindToList", [&] { arrivals << "form"; });  // the sender itself
    nav.pushViewController(form);
    auto* notes = new RecordingScreen("notes", &journal);
    nav.pushViewController(notes);
    journal.clear();

    // From `notes` the nearest below offering the point is `form`.
    notes->unwind("unwindToList");
    EXPECT_EQ(arrivals, QStringList{"form"});
    EXPECT_EQ(nav.topViewController(), form);

    // From `form` (which offers it too) the search starts below it: `list`.
    arrivals.clear();
    journal.clear();
    form->unwind("unwindToList");
    EXPECT_EQ(arrivals, QStringList{"list"});
    EXPECT_EQ(nav.viewControllers(), (QList<ViewController*>{root, list}));
    EXPECT_EQ(journal, (QStringList{"form.willDisappear", "list.willAppear", "form.didDisappear"}));
}

TEST_F(NavigationTest, UnwindSkipsSeveralScreensWithOneAppearance) {
    int arrived = 0;
    auto* root = new RecordingScreen("root", &journal);
    root->offerReturnPoint("unwindToMenu", [&] { ++arrived; });
    NavigationController nav(root);
    nav.pushViewController(new RecordingScreen("a", &journal));
    nav.pushViewController(new RecordingScreen("b", &journal));
    auto* c = new RecordingScreen("c", &journal);
    nav.pushViewController(c);
    journal.clear();
    c->unwind("unwindToMenu");
    EXPECT_EQ(arrived, 1);
    EXPECT_EQ(nav.viewControllers().size(), 1);
    EXPECT_EQ(journal, (QStringList{"c.willDisappear", "root.willAppear", "c.didDisappear"}));
}

TEST_F(NavigationTest, UnknownUnwindIsHarmless) {
    test::LogCapture log;
    auto* root = new RecordingScreen("root", &journal);
    NavigationController nav(root);
    auto* top = new RecordingScreen("top", &journal);
    nav.pushViewController(top);
    journal.clear();
    top->unwind("unwindToNowhere");
    EXPECT_EQ(nav.topViewController(), top);
    EXPECT_TRUE(journal.isEmpty());
    EXPECT_FALSE(log.lines.isEmpty());

    // A screen outside any navigation stack can unwind too; nothing happens.
    RecordingScreen loose("loose", &journal);
    loose.unwind("unwindToMenu");
    EXPECT_TRUE(journal.isEmpty());
}

TEST_F(NavigationTest, UnwindFromATabScreenAndIntoATabScreen) {
    QStringList arrivals;
    auto* root = new RecordingScreen("root", &journal);
    root->offerReturnPoint("unwindToMenu", [&] { arrivals << "menu"; });
    NavigationController nav(root);
    auto* tabs = new TabBarController;
    auto* genre = new RecordingScreen("genre", &journal);
    genre->offerReturnPoint("unwindToGenreTableView", [&] { arrivals << "genre"; });
    auto* actor = new RecordingScreen("actor", &journal);
    tabs->addTab(genre, "Genre");
    tabs->addTab(actor, "Actor");
    nav.pushViewController(tabs);
    EXPECT_EQ(genre->navigationController(), &nav);

    // A screen pushed above the tab container returns into the current tab.
    auto* edit = new RecordingScreen("edit", &journal);
    nav.pushViewController(edit);
    edit->unwind("unwindToGenreTableView");
    EXPECT_EQ(arrivals, QStringList{"genre"});
    EXPECT_EQ(nav.topViewController(), tabs);

    // A tab screen leaves through the stack entry that holds it.
    arrivals.clear();
    genre->unwind("unwindToMenu");
    EXPECT_EQ(arrivals, QStringList{"menu"});
    EXPECT_EQ(nav.topViewController(), root);
}

TEST_F(NavigationTest, TabContainerForwardsTheLifeCycleToItsCurrentTab) {
    auto* root = new RecordingScreen("root", &journal);
    NavigationController nav(root);
    auto* tabs = new TabBarController;
    tabs->addTab(new RecordingScreen("t0", &journal), "0");
    tabs->addTab(new RecordingScreen("t1", &journal), "1", QIcon());  // no image: harmless
    journal.clear();
    nav.pushViewController(tabs);
    EXPECT_TRUE(journal.contains("t0.load"));
    EXPECT_TRUE(journal.contains("t0.willAppear"));
    EXPECT_FALSE(journal.contains("t1.load"));

    journal.clear();
    tabs->setCurrentIndex(1);
    EXPECT_EQ(journal, (QStringList{"t0.willDisappear", "t1.load", "t1.willAppear",
                                    "t0.didDisappear"}));

    journal.clear();
    nav.popViewController();
    EXPECT_TRUE(journal.contains("t1.willDisappear"));
    EXPECT_TRUE(journal.contains("t1.didDisappear"));
    EXPECT_FALSE(journal.contains("t0.willDisappear"));
}

}  // namespace
