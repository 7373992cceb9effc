#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPdfDocument>
#include <QSignalSpy>
#include <QTabBar>
#include <QTextDocument>

#include "Journey.h"
#include "groups/BreakdownTableViewController.h"
#include "groups/CustomTabBarController.h"
#include "groups/GroupTabTableViewController.h"
#include "handover/ReturnPoints.h"
#include "movies/EditMoviesViewController.h"
#include "reports/PrintMoviesViewController.h"

using namespace quillon;

namespace {

QString pdfText(const QString& path) {
    QPdfDocument pdf;
    if (pdf.load(path) != QPdfDocument::Error::None) return {};
    QString text;
    for (int page = 0; page < pdf.pageCount(); ++page) text += pdf.getAllText(page).text() + '\n';
    return text;
}

// A user opens the grouped views from the main menu, picks an actor, opens one of the actor's
// movies, changes its director and comes back to the same actor's movies, then shares the
// breakdown's PDF report and prints the print report.
TEST(GroupsJourney, TabBreakdownEditComeBackReportAndPrint) {
    test::AppHarness app;
    for (auto [name, actor, director] : {std::tuple{"Alien", "Tom Skerritt", "Ridley Scott"},
                                         {"Blade Runner", "Harrison Ford", "Ridley Scott"},
                                         {"Witness", "Harrison Ford", "Peter Weir"}}) {
        MoviePtr movie = Movies::insertInto(app.context());
        movie->setName(name);
        movie->setYear(1982);
        movie->setText(Attribute::leadingActor1, actor);
        movie->setText(Attribute::director, director);
        movie->setImage(Attribute::frontImage, test::jpegOf({60, 90}, Qt::darkGreen));
    }
    ASSERT_TRUE(app.context().save().ok);
    auto window = test::showWindow(app);
    const auto top = [&] {
        test::pumpEvents();
        return window->topViewController();
    };
    auto* tabs =
        test::openFromMenu<customTabBar>(*window, &MainMenuViewController::ListMoviesByGroupButton);
    ASSERT_NE(tabs, nullptr);
    QTabBar* bar = tabs->tabWidget()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    GroupTabTableViewController* actors = tabs->tab(GroupKind::Actor);
    ASSERT_EQ(tabs->currentIndex(), 1);
    test::pumpEvents();
    EXPECT_EQ(actors->headerLabel()->text(), "# Actor's = 2");
    ASSERT_EQ(test::firstLabels(actors->tableView()),
              (QStringList{"Harrison Ford", "Tom Skerritt"}));

    test::pick(actors->tableView(), 0);
    auto* breakdown = qobject_cast<BreakdownTableViewController*>(top());
    ASSERT_NE(breakdown, nullptr);
    const auto names = [&] {
        QStringList out;
        for (const MoviePtr& movie : breakdown->query().rows()) out << *movie->name();
        return out;
    };
    ASSERT_EQ(names(), (QStringList{"Blade Runner", "Witness"}));

    test::pick(breakdown->tableView(), 1);
    auto* edit = qobject_cast<EditMoviesViewController*>(top());
    ASSERT_NE(edit, nullptr);
    QLineEdit* director = edit->entry(FormField::Director);
    director->setFocus();
    director->selectAll();
    QTest::keyClicks(director, "Peter Weir (dir.)");
    QSignalSpy saved(edit, &MovieFormViewController::saveFinished);
    QTest::keyClick(director, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(saved.size(), 1);
    ASSERT_EQ(top(), breakdown) << "the edit form returns to its breakdown";
    EXPECT_EQ(names(), (QStringList{"Blade Runner", "Witness"})) << "still the picked actor";

    QTest::mouseClick(breakdown->PrintButton(), Qt::LeftButton);
    ASSERT_EQ(app.devices().share.requests.size(), 1);
    const QStringList files = app.devices().share.requests[0].files;
    ASSERT_EQ(files.size(), 1);
    const QString report = pdfText(files[0]);
    EXPECT_TRUE(report.contains("Movies Filtered by Actor: Harrison Ford")) << report.toStdString();
    EXPECT_TRUE(report.contains("Peter Weir (dir.)")) << "the edited movie, as saved";
    EXPECT_FALSE(report.contains("Alien"));

    breakdown->setFocus();
    QTest::keyClick(breakdown, Qt::Key_P, Qt::ControlModifier);
    auto* print = qobject_cast<PrintMoviesViewController*>(top());
    ASSERT_NE(print, nullptr);
    ASSERT_EQ(app.devices().printer.documents.size(), 1u) << "the print dialog is offered";
    const QString printed = app.devices().printer.documents[0]->toPlainText();
    EXPECT_TRUE(printed.contains("Blade Runner") && printed.contains("Witness"));
    EXPECT_FALSE(printed.contains("Alien"));
}

// Each breakdown opens a picked movie in the edit form, which saves and comes back to that
// breakdown, still listing the value picked in the tab. The pick copies the movie but for its
// notes: those handed over before stay.
TEST(GroupsJourney, EachBreakdownOpensTheEditFormAndComesBackToItsValue) {
    test::AppHarness app;
    MoviePtr heat = Movies::insertInto(app.context());
    heat->setName("Heat");
    heat->setText(Attribute::notes, "Heat's notes");
    for (Attribute a : {Attribute::genre, Attribute::leadingActor2, Attribute::leadingActress1,
                        Attribute::director, Attribute::producer})
        heat->setText(a, "V");
    Movies::insertInto(app.context())->setName("Other");
    ASSERT_TRUE(app.context().save().ok);
    auto* root = new ViewController;
    root->offerReturnPoint(kUnwindToMenu, [] {});
    NavigationController nav(root);
    nav.setStoryboard(&app.app().storyboard());
    nav.show();
    QApplication::setActiveWindow(&nav);
    SelectionState& selection = app.services().selection;
    for (const GroupKindFacts& kind : kGroupKindTable) {
        SCOPED_TRACE(kind.commandName);
        selection.SelectedNotes = "typed before";
        writePickedValue(kind.kind, "V", selection);
        auto* breakdown = qobject_cast<BreakdownTableViewController*>(
            root->performSegue(kind.tab.breakdownSegue));
        ASSERT_NE(breakdown, nullptr);
        test::pick(breakdown->tableView(), 0);
        auto* edit = qobject_cast<EditMoviesViewController*>(nav.topViewController());
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->entry(FormField::MovieName)->text(), "Heat");
        EXPECT_EQ(selection.SelectedNotes, "typed before");
        const QString year = QString::number(1990 + int(kind.kind));
        QLineEdit* entry = edit->entry(FormField::Year);
        entry->setFocus();
        entry->selectAll();
        QTest::keyClicks(entry, year);
        QSignalSpy saved(edit, &MovieFormViewController::saveFinished);
        QTest::keyClick(entry, Qt::Key_S, Qt::ControlModifier);
        ASSERT_EQ(saved.size(), 1);
        ASSERT_EQ(nav.topViewController(), breakdown);
        EXPECT_EQ(breakdown->title(), "V");
        const QStringList rows = test::firstLabels(breakdown->tableView());
        ASSERT_EQ(rows.size(), 1);
        EXPECT_TRUE(breakdown->tableView()
                        ->model()
                        ->index(0, 0)
                        .data(LabelTextsRole)
                        .toStringList()
                        .join('|')
                        .contains("Year: " + year));
        nav.popToViewController(root);
    }
}

}  // namespace
