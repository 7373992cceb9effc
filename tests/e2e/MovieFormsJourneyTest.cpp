#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

#include "Journey.h"
#include "movies/AddMovieViewController.h"
#include "movies/CoverPicture.h"
#include "movies/CoverView.h"
#include "movies/EditMoviesViewController.h"
#include "movies/ListMoviesTableViewController.h"
#include "movies/NotesViewController.h"
#include "movies/ViewLargeImagesViewController.h"
#include "toolkit/AlertController.h"
#include "toolkit/ChoiceWheel.h"
#include "toolkit/SearchBar.h"

using namespace quillon;
using enum FormField;

namespace {

// A user adds a movie from the main menu with a PNG cover front and back, finds it in the list,
// opens it, changes the director, writes notes, looks at the covers large and zooms one, removes
// the back cover, and finds all of that stored after a restart.
TEST(MovieFormsJourney, AddFromTheMenuThenFindEditNoteAndRemoveACover) {
    test::AppHarness app;
    auto window = test::showWindow(app);
    const auto top = [&] {
        test::pumpEvents();
        return window->topViewController();
    };
    const auto press = [&](QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QApplication::setActiveWindow(window.get());
        widget->setFocus();
        QTest::keyClick(widget, key, modifiers);
    };
    auto* add = test::openFromMenu<AddMovieViewController>(*window,
                                                           &MainMenuViewController::AddMovieButton);
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->OpenedFrom, "Menu");
    const QStringList typed{"Alien", "1979", "Tom", "", "Sigourney", "", "Ridley", "Carroll"};
    for (int field = 0; field < typed.size(); ++field) {
        add->entry(FormField(field))->setFocus();
        QTest::keyClicks(add->entry(FormField(field)), typed[field]);
    }
    for (auto [field, choice] : {std::pair{Genre, "Horror"}, {Rating, "R"}}) {
        auto* wheel = qobject_cast<ChoiceWheel*>(add->entry(field));
        ASSERT_NE(wheel, nullptr);
        ASSERT_TRUE(wheel->choices().contains(choice)) << choice;
        wheel->pick(int(wheel->choices().indexOf(choice)));
    }
    QTemporaryDir files;
    QImage picture(90, 120, QImage::Format_RGB32);
    for (auto [colour, button] :
         {std::pair{Qt::red, "FrontCoverButton"}, {Qt::blue, "BackCoverButton"}}) {
        picture.fill(colour);
        app.devices().picker.next = files.filePath(button + QString(".png"));
        ASSERT_TRUE(picture.save(app.devices().picker.next));
        QTest::mouseClick(add->findChild<QToolButton*>(button), Qt::LeftButton);
    }
    QSignalSpy added(add, &MovieFormViewController::saveFinished);
    press(add->entry(MovieName), Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(added.wait(20000));
    ASSERT_TRUE(qobject_cast<MainMenuViewController*>(top())) << "back to the menu";

    auto* list = test::openFromMenu<ListMoviesTableViewController>(
        *window, &MainMenuViewController::ListMoviesButton);
    ASSERT_NE(list, nullptr);
    QTest::keyClicks(list->searchBar(), "ali");
    ASSERT_EQ(test::firstLabels(list->tableView()), QStringList{"Movie: Alien"});
    list->tableView()->setFocus();
    list->tableView()->setCurrentIndex(list->tableView()->model()->index(0, 0));
    QTest::keyClick(list->tableView(), Qt::Key_Return);
    auto* edit = qobject_cast<EditMoviesViewController*>(top());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->entry(Genre)->text(), "Horror");
    edit->entry(Director)->setFocus();
    edit->entry(Director)->selectAll();
    QTest::keyClicks(edit->entry(Director), "Ridley Scott");

    QTest::mouseClick(edit->notesButton(), Qt::LeftButton);
    auto* notes = qobject_cast<NotesViewController*>(top());
    ASSERT_NE(notes, nullptr);
    notes->NotesTextView->setFocus();
    QTest::keyClicks(notes->NotesTextView, "In space no one can hear you scream. ");
    press(notes->NotesTextView, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(top(), edit);
    EXPECT_EQ(edit->entry(Director)->text(), "Ridley Scott") << "kept across the notes";

    QTest::mouseDClick(edit->coverView(MovieFormViewController::Front), Qt::LeftButton);
    auto* viewer = qobject_cast<ViewLargeImagesViewController*>(top());
    ASSERT_NE(viewer, nullptr);
    ASSERT_EQ(viewer->numberOfItems(), 2) << "front and back";
    for (int step = 0; step < 15; ++step) press(viewer, Qt::Key_Plus, Qt::ControlModifier);
    const double zoomed = viewer->cellForItem(0)->zoom() * viewer->cellForItem(1)->zoom();
    EXPECT_DOUBLE_EQ(zoomed, MovieCollectionViewCell::maxZoom) << "one cover, up to its limit";
    press(viewer, Qt::Key_Escape, Qt::NoModifier);
    ASSERT_EQ(top(), edit);
    EXPECT_EQ(edit->entry(Director)->text(), "Ridley Scott") << "kept across the viewer";

    QTest::mouseClick(edit->findChild<QToolButton*>("BackRemoveButton"), Qt::LeftButton);
    ASSERT_EQ(AlertController::presentedAlerts().size(), 1);
    AlertController::presentedAlerts()[0]->trigger("Yes");
    EXPECT_FALSE(edit->coverView(MovieFormViewController::Back)->hasPicture());
    press(edit->entry(Director), Qt::Key_Return, Qt::NoModifier);
    ASSERT_EQ(top(), list) << "back to the list";

    window.reset();
    app.restart();
    const auto movies = app.context().fetch<Movies>();
    ASSERT_EQ(movies.size(), 1u);
    const MoviePtr alien = movies[0];
    EXPECT_EQ((QStringList{*alien->name(), *alien->director(), *alien->genre(), *alien->rating(),
                           *alien->notes()}),
              (QStringList{"Alien", "Ridley Scott", "Horror", "R",
                           "In space no one can hear you scream."}));
    EXPECT_EQ(alien->year(), 1979);
    picture.fill(Qt::red);
    EXPECT_EQ(alien->frontImage(), encodeJpeg(picture, kStoredCoverQuality));
    EXPECT_FALSE(alien->hasImage(Attribute::backImage));
}

}  // namespace
