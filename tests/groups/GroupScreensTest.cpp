#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "groups/BreakdownTableViewController.h"
#include "groups/CustomTabBarController.h"
#include "groups/GroupSegues.h"
#include "groups/GroupTabTableViewController.h"
#include "handover/DetailItem.h"
#include "handover/ReturnPoints.h"
#include "support/TestSupport.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"

using namespace quillon;

namespace {

// Stands in for the edit form: takes the movie handed over.
struct EditForm : ViewController, MovieDetailReceiver {
    void setDetailItem(const MoviePtr& movie) override { detail = movie; }
    MoviePtr detail;
};

// Stands in for the print screen: reads the selection when it loads, as the real one does.
struct PrintScreen : ViewController {
    explicit PrintScreen(std::function<void()> load) : load_(std::move(load)) {}
    void viewDidLoad() override { load_(); }
    std::function<void()> load_;
};

class GroupScreensTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerGroupSegues(app.storyboard());
        for (const GroupKindFacts& kind : kGroupKindTable)
            app.storyboard().registerSegue(kind.breakdown.editSegue, [this](Services&) {
                form = new EditForm;
                return form;
            });
        app.storyboard().registerSegue(kPrintReportSegue, [this](Services&) {
            return new PrintScreen([this] { printed = app.selection(); });
        });
        auto* menu = new ViewController;
        menu->offerReturnPoint(kUnwindToMenu, [] {});
        nav = std::make_unique<NavigationController>(menu);
        nav->setStoryboard(&app.storyboard());
        nav->resize(430, 860);
        nav->show();
        QApplication::setActiveWindow(nav.get());
    }
    void TearDown() override {
        nav.reset();
        test::pumpEvents();
    }
    MoviePtr add(const char* name, const char* actor1, const char* actor2,
                 OptionalText genre = {}) {
        auto m = Movies::insertInto(app.context());
        m->setName(name);
        m->setText(Attribute::leadingActor1, actor1);
        m->setText(Attribute::leadingActor2, actor2);
        m->setText(Attribute::genre, genre);
        return m;
    }
    template <class Screen>
    Screen* top() const {
        return qobject_cast<Screen*>(nav->topViewController());
    }
    // The label texts of every row.
    static QStringList rows(TableView* table) {
        QStringList out;
        for (int r = 0; r < table->model()->rowCount(); ++r)
            out << table->model()->index(r, 0).data(LabelTextsRole).toStringList().join("|");
        return out;
    }

    test::AppFixture app;
    std::unique_ptr<NavigationController> nav;
    EditForm* form = nullptr;
    std::optional<SelectionState> printed;
};

// From the tab container to a breakdown, into the edit form and back, sorted and printed: the
// breakdown keeps listing the actor picked in the tab, whatever the opened movie carried.
TEST_F(GroupScreensTest, ATabPickOpensItsBreakdownWhichKeepsThePickedValue) {
    add("Heat", "Pacino", "De Niro");
    auto alien = add("alien", "De Niro", "Pacino");
    add("Ronin", "De Niro", "Reno");
    add("Other", "Reno", "Pacino");
    nav->topViewController()->performSegue(kTabBarSegue);
    auto* tabs = top<customTabBar>();
    ASSERT_TRUE(tabs);
    EXPECT_TRUE(nav->isNavigationBarHidden());
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i) titles << tabs->tabWidget()->tabText(i);
    EXPECT_EQ(titles, (QStringList{"Genre", "Actor", "Actress", "Director", "Producer"}));
    EXPECT_EQ(tabs->tab(GroupKind::Genre)->headerLabel()->text(), "# Genre's = 0");
    tabs->setCurrentIndex(1);
    auto* actors = tabs->tab(GroupKind::Actor);
    EXPECT_STREQ(actors->metaObject()->className(), "quillon::ActorTabTableViewController");
    EXPECT_EQ(actors->headerLabel()->text(), "# Actor's = 3");
    EXPECT_EQ(rows(actors->tableView()), (QStringList{"De Niro|3", "Pacino|3", "Reno|2"}));

    actors->tableView()->selectRow(0);
    auto* breakdown = top<ActorBreakdownTableViewController>();
    ASSERT_TRUE(breakdown);
    EXPECT_FALSE(nav->isNavigationBarHidden());
    EXPECT_EQ(breakdown->title(), "De Niro");
    EXPECT_EQ(app.selection().SelectedActorName, "De Niro");
    EXPECT_EQ(breakdown->headerLabel()->text(), "# of Movies: 3");
    QTest::keyClicks(breakdown->searchBar(), "n");
    EXPECT_EQ(rows(breakdown->tableView()),
              (QStringList{"Ronin|Actor: De Niro   Year: 0  Run Time: 0 min.|Actress's: , ",
                           "alien|Actor: De Niro   Year: 0  Run Time: 0 min.|Actress's: , "}));

    breakdown->tableView()->selectRow(1);
    ASSERT_TRUE(form);
    EXPECT_EQ(form->detail, alien);
    EXPECT_EQ(app.selection().CallingScreen, "ActorBreakdown");
    EXPECT_EQ(app.selection().SelectedActor2, "Pacino");
    // The form changes the movie and comes back: the list, still searched, loses it alone.
    alien->setText(Attribute::leadingActor1, "Nobody");
    form->unwind(groupKindFacts(GroupKind::Actor).breakdown.returnPoint);
    ASSERT_EQ(nav->topViewController(), breakdown);
    EXPECT_EQ(breakdown->headerLabel()->text(), "# of Movies: 1");
    breakdown->searchBar()->clear();
    breakdown->sortButton()->click();
    EXPECT_EQ(breakdown->headerLabel()->text(), "# of Movies: 2");
    EXPECT_TRUE(rows(breakdown->tableView()).first().startsWith("Ronin|"));
    EXPECT_FALSE(app.selection().SharedSortAsc);

    app.selection().CallingScreen = "Menu";
    QTest::keyClick(breakdown->tableView(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_TRUE(printed);
    EXPECT_EQ(printed->SelectedActor1, "De Niro");
    EXPECT_EQ(printed->SelectedActor2, "De Niro");
    EXPECT_EQ(printed->CallingScreen, "ActorBreakdown");
    nav->popViewController();
    nav->popViewController();
    EXPECT_EQ(nav->topViewController(), tabs);
    EXPECT_TRUE(nav->isNavigationBarHidden());
    EXPECT_EQ(rows(actors->tableView()).first(), "De Niro|2") << "counts are live";
    actors->backButton()->click();
    EXPECT_EQ(nav->viewControllers().size(), 1);
}

// A row shows the decoded front cover, or the placeholder picture for a movie without one or
// with one that is not a picture.
TEST_F(GroupScreensTest, BreakdownRowsShowTheCoverOrThePlaceholder) {
    const QByteArray jpeg = test::jpegOf({300, 450}, Qt::red);
    add("A", "x", "y", "Drama")->setImage(Attribute::frontImage, jpeg);
    add("B", "x", "y", "Drama");
    add("C", "x", "y", "Drama")->setImage(Attribute::frontImage, QByteArray("not a picture"));
    app.selection().SelectedGenre = "Drama";
    auto* breakdown = BreakdownTableViewController::create(GroupKind::Genre, app.services());
    nav->pushViewController(breakdown);
    // The covers come in while the item-model rules are checked.
    QAbstractItemModelTester tester(breakdown->tableView()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QImage placeholder = BreakdownTableViewController::placeholder();
    ASSERT_FALSE(placeholder.isNull()) << "the program's own picture \"movies\"";
    const auto cover = [&](int row) {
        return breakdown->tableView()
            ->model()
            ->index(row, 0)
            .data(Qt::DecorationRole)
            .value<QImage>();
    };
    EXPECT_EQ(cover(1), placeholder);
    for (int i = 0; i < 200 && (cover(0).isNull() || cover(2).isNull()); ++i) test::pumpEvents(10);
    EXPECT_EQ(cover(2), placeholder);
    const QImage thumbnail = cover(0);
    ASSERT_FALSE(thumbnail.isNull());
    EXPECT_LE(thumbnail.height(), 58);
    const QColor centre = thumbnail.pixelColor(thumbnail.rect().center());
    EXPECT_TRUE(centre.red() > 200 && centre.green() < 60) << "the cover itself";
}

// Values and counts are shown and read out as they are: counts beyond 16 bits, "%" in a value.
TEST_F(GroupScreensTest, ValuesAndCountsAreShownAndReadOutAsTheyAre) {
    for (int i = 0; i < 32770; ++i)
        Movies::insertInto(app.context())->setText(Attribute::genre, "Drama");
    Movies::insertInto(app.context())->setText(Attribute::genre, "100% %1 %2");
    auto* genres = GroupTabTableViewController::create(GroupKind::Genre, app.services());
    nav->pushViewController(genres);
    QAbstractItemModelTester tester(genres->tableView()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(rows(genres->tableView()), (QStringList{"100% %1 %2|1", "Drama|32770"}));
    const QAbstractItemModel* model = genres->tableView()->model();
    EXPECT_EQ(model->index(0, 0).data(Qt::AccessibleTextRole).toString(),
              QString("100% %1 %2: 1 movies"));
    EXPECT_EQ(model->index(1, 0).data(Qt::AccessibleTextRole).toString(),
              QString("Drama: 32770 movies"));
}

}  // namespace
