#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "movies/AddMovieViewController.h"
#include "movies/CoverPicture.h"
#include "movies/CoverView.h"
#include "movies/EditMoviesViewController.h"
#include "movies/ListMoviesTableViewController.h"
#include "movies/MovieSegues.h"
#include "movies/NotesViewController.h"
#include "support/RefuseWrites.h"
#include "support/TestSupport.h"
#include "toolkit/Appearance.h"
#include "toolkit/ChoiceWheel.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"

using namespace quillon;
using enum FormField;

namespace {

constexpr auto Front = MovieFormViewController::Front;
constexpr auto Back = MovieFormViewController::Back;

// Exactly `length` characters with a letter at each end and, between, what a screen could cut
// or change: line breaks of every kind, tabs, no-break spaces, characters beyond 16 bits,
// right-to-left script, "%1" and markup.
QString longText(qsizetype length) {
    const QString piece = QString::fromUtf8(
        "word\tline\r\nbreak\rand\nno\u00a0break\u2028\U0001F3AC \u0645\u0631\u062D %1 <b>&amp; ");
    QString text = "A";
    while (text.size() + piece.size() < length) text += piece;
    return text + QString(length - text.size(), QLatin1Char('z'));
}

// The movie list with the movie screens behind it, in a shown window.
class MovieFormsTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerMovieSegues(app.storyboard());
        for (const char* genre : {"War", "Crime", "Action", "Crime"})
            GenreList::insertInto(app.context())->setGenre(QString(genre));
        ASSERT_TRUE(app.context().save());
        list = new ListMoviesTableViewController(app.services());
        nav = test::showNavigation(list, {}, &app.storyboard());
    }
    void TearDown() override {
        nav.reset();
        test::pumpEvents();
    }
    MoviePtr addMovie(const QString& name, const QString& director) {
        auto movie = Movies::insertInto(app.context());
        movie->setName(name);
        movie->setYear(1995);
        movie->setText(Attribute::director, director);
        return movie;
    }
    template <class Screen>
    Screen* top() {
        test::pumpEvents();
        return qobject_cast<Screen*>(nav->topViewController());
    }
    // A key pressed where the user works: the window active, the widget focused.
    void press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QApplication::setActiveWindow(nav.get());
        widget->setFocus();
        QTest::keyClick(widget, key, modifiers);
    }
    AddMovieViewController* openAdd() {
        press(list->searchBar(), Qt::Key_N, Qt::ControlModifier);
        return top<AddMovieViewController>();
    }
    EditMoviesViewController* openEdit(int row) {
        list->fetchMovies();
        list->selectRow(row);
        return top<EditMoviesViewController>();
    }
    static void fillRequired(MovieFormViewController* form) {
        for (FormField field : {MovieName, Year, Actor1, Actor3, Director, Producer, Genre})
            form->entry(field)->setText(field == Year ? "1995" : "x");
    }
    static bool refused(const QString& said) {
        return said.startsWith("Movie Not Saved / ") && said.contains(test::kRefusedByTest);
    }
    static bool saved(MovieFormViewController* form) {
        QSignalSpy finished(form, &MovieFormViewController::saveFinished);
        return finished.wait(20000) && finished.at(0).at(0).toBool();
    }

    test::AppFixture app;
    ListMoviesTableViewController* list = nullptr;
    std::unique_ptr<NavigationController> nav;
};

// Ctrl+N on the list opens the add form: sorted wheels with their duplicates, red labels
// readable in light and dark, numbers judged on what each edit puts in, the required fields;
// Enter saves (a refused save is told and kept) and the list shows the movie.
TEST_F(MovieFormsTest, TheAddFormChecksItsEntriesSavesAndReturnsToTheList) {
    AddMovieViewController* form = openAdd();
    ASSERT_TRUE(form);
    auto* genre = qobject_cast<ChoiceWheel*>(form->entry(Genre));
    ASSERT_TRUE(genre);
    EXPECT_EQ(genre->choices(), (QStringList{"Action", "Crime", "Crime", "War"}));
    for (QColor window : {QColor(Qt::white), QColor(40, 40, 40)}) {
        QPalette palette(window);
        palette.setColor(QPalette::WindowText, window.lightness() > 128 ? Qt::black : Qt::white);
        form->setPalette(palette);
        for (const MovieFormField& f : kMovieFormFields) {
            const QColor text = form->label(f.field)->palette().color(QPalette::WindowText);
            EXPECT_GE(appearance::contrastRatio(text, window), 4.5);
            EXPECT_EQ(text.hsvHue() == 0, f.requiredOnAdd) << f.caption;  // red or not
        }
    }

    form->entry(Year)->setFocus();
    QTest::keyClicks(form->entry(Year), "19a99");
    EXPECT_EQ(form->entry(Year)->text(), "1999");
    form->entry(RunTime)->insert("1.5x");
    EXPECT_EQ(form->entry(RunTime)->text(), "");
    form->entry(RunTime)->insert("1.5");
    press(form->entry(Year), Qt::Key_Return);
    EXPECT_EQ(test::answerAlert("OK"), "Movie Not Saved / " + QString(kRequiredFieldsMessage));
    fillRequired(form);
    form->entry(Year)->setText("19999");
    form->entry(RunTime)->setText("170");
    form->entry(MovieName)->setText("  Heat ");
    form->entry(Genre)->clear();
    genre->pick(1);
    // A failed save is told and taken back: nothing half-made rides along with a later save.
    test::refuseWrites(app.dataDir(), Entity::Movies, "INSERT");
    press(form->entry(Director), Qt::Key_Enter);
    EXPECT_TRUE(refused(test::answerAlert("OK")));
    EXPECT_EQ(form->entry(MovieName)->text(), "  Heat ");
    EXPECT_TRUE(app.context().count(Entity::Movies) == 0 && !app.context().hasChanges());
    test::allowWrites(app.dataDir());
    press(form->entry(Director), Qt::Key_Enter);
    ASSERT_EQ(top<ListMoviesTableViewController>(), list);
    EXPECT_EQ(list->headerLabel()->text(), "# Movies = 1");
    const MoviePtr movie = app.context().fetch<Movies>().at(0);
    EXPECT_EQ((QStringList{*movie->name(), *movie->genre(), *movie->rating()}),
              (QStringList{"Heat", "Crime", "G"}));
    EXPECT_EQ(movie->year(), 1999);
    EXPECT_EQ(movie->runTime(), 170);
}

// Covers from the clipboard, a file (or one that cannot be read, or is not a picture) and the
// camera. Save encodes the new pictures off the main thread while Save and back are off, so that
// a second press makes no second movie; the full pictures are stored.
TEST_F(MovieFormsTest, TheAddFormTakesInCoversAndSavesOnce) {
    AddMovieViewController* form = openAdd();
    ASSERT_TRUE(form);
    for (const char* name : {"FrontPasteButton", "BackPasteButton", "BackCameraButton"}) {
        auto* button = form->findChild<QToolButton*>(name);
        ASSERT_TRUE(button && button->isVisible()) << name;
    }
    QGuiApplication::clipboard()->setText("no picture");
    QTest::mouseClick(form->findChild<QToolButton*>("FrontPasteButton"), Qt::LeftButton);
    EXPECT_EQ(test::answerAlert("OK"), "Clipboard / There is no image in the Clipboard");
    QGuiApplication::clipboard()->setImage(test::filledImage({60, 90}, Qt::red));
    form->pasteFromClipboard(Front);
    EXPECT_TRUE(form->coverView(Front)->hasNewPicture());
    QTemporaryDir files;
    app.devices().picker.next = files.filePath("missing.png");
    form->attachImage(Front);
    QSignalSpy(form->coverView(Front), &CoverView::decodeFinished).wait(20000);
    EXPECT_TRUE(test::answerAlert("OK").startsWith("Image Not Loaded / "));
    EXPECT_TRUE(form->coverView(Front)->hasPicture());
    app.devices().picker.next = files.filePath("cover.png");
    const QImage png = test::filledImage({300, 200}, Qt::green);
    ASSERT_TRUE(png.save(app.devices().picker.next));
    form->attachImage(Front);

    app.devices().camera.available = false;
    form->openCamera(Back);
    EXPECT_EQ(test::answerAlert("OK"), "Camera / There is no camera available");
    app.devices().camera.available = true;
    app.devices().camera.next = test::filledImage({80, 60}, Qt::blue);
    form->openCamera(Back);
    EXPECT_EQ(form->chosenBackImage, app.devices().camera.next);
    EXPECT_TRUE(form->chosenFrontImage.isNull() && !form->isFromCamera);

    fillRequired(form);
    QSignalSpy finished(form, &MovieFormViewController::saveFinished);
    form->SaveButtonClicked();
    EXPECT_TRUE(form->isBusy() && !form->saveButton()->isEnabled());
    EXPECT_FALSE(nav->backButton()->isEnabled() || form->leavesByKey());
    form->SaveButtonClicked();
    ASSERT_TRUE(finished.wait(20000));
    ASSERT_EQ(top<ListMoviesTableViewController>(), list);
    EXPECT_EQ(finished.count(), 1);
    const auto movies = app.context().fetch<Movies>();
    ASSERT_EQ(movies.size(), 1u);
    EXPECT_EQ(movies[0]->frontImage(), encodeJpeg(png, 60));
    EXPECT_EQ(movies[0]->backImage(), encodeJpeg(app.devices().camera.next, 60));
}

// The edit form writes to the movie it opened: of twins the one picked, also when renamed; a
// movie without a name once it has one. A deleted movie is refused; a failed save is told and
// taken back, the input kept.
TEST_F(MovieFormsTest, TheEditFormWritesToTheMovieItOpened) {
    const MoviePtr first = addMovie("Heat", "Mann");
    const MoviePtr twin = addMovie("Heat", "Other");
    const MoviePtr nameless = addMovie({}, "Nobody");
    nameless->setName(std::nullopt);
    ASSERT_TRUE(app.context().save());
    EditMoviesViewController* edit = openEdit(2);  // absent names sort first
    ASSERT_TRUE(edit && edit->detailItem() == twin);
    edit->entry(Director)->setText("Changed");
    edit->entry(MovieName)->setText("Heat 2");
    test::refuseWrites(app.dataDir(), Entity::Movies, "UPDATE");
    edit->SaveButtonClicked();
    EXPECT_TRUE(refused(test::answerAlert("OK")));
    EXPECT_TRUE(twin->director() == "Other" && !app.context().hasChanges());
    EXPECT_EQ(edit->entry(Director)->text(), "Changed");
    test::allowWrites(app.dataDir());
    edit->SaveButtonClicked();
    ASSERT_EQ(top<ListMoviesTableViewController>(), list) << "back by unwindToList";
    EXPECT_TRUE(twin->director() == "Changed" && twin->name() == "Heat 2");
    EXPECT_EQ(first->director(), "Mann");

    edit = openEdit(0);
    ASSERT_TRUE(edit && edit->detailItem() == nameless);
    edit->entry(MovieName)->setText("Named");
    edit->entry(Year)->setText("2002");
    edit->SaveButtonClicked();
    ASSERT_EQ(top<ListMoviesTableViewController>(), list);
    EXPECT_TRUE(nameless->name() == "Named" && nameless->year() == 2002);

    edit = openEdit(0);
    ASSERT_TRUE(edit && edit->detailItem() == first);
    app.context().deleteObject(first);
    ASSERT_TRUE(app.context().save());
    const QString gone =
        "Movie Not Saved / This movie is no longer in the catalogue; nothing was changed.";
    edit->SaveButtonClicked();
    EXPECT_EQ(test::answerAlert("OK"), gone);
    edit->RemoveFrontImage();
    test::answerAlert("Yes");
    EXPECT_EQ(test::answerAlert("OK"), gone);
    EXPECT_FALSE(app.context().hasChanges());
}

// Stored covers keep their bytes through a Save; a new one is stored whole. A double click opens
// the viewer where there is one. Remove asks, then removes at once; a refused removal keeps it.
TEST_F(MovieFormsTest, TheEditFormKeepsStoredCoversAndRemovesThemWhenAsked) {
    const QByteArray front = encodeJpeg(test::filledImage({2000, 3000}, Qt::red), 95);
    const MoviePtr movie = addMovie("Alien", "Scott");
    movie->setImage(Attribute::frontImage, front);
    movie->setImage(Attribute::backImage, encodeJpeg(test::filledImage({4, 6}, Qt::blue), 95));
    ASSERT_TRUE(app.context().save());
    EditMoviesViewController* edit = openEdit(0);
    ASSERT_TRUE(edit);
    CoverView* frontView = edit->coverView(Front);
    QSignalSpy decoded(frontView, &CoverView::decodeFinished);
    ASSERT_TRUE(!frontView->isDecoding() || decoded.wait(20000));
    QTest::mouseDClick(frontView, Qt::LeftButton);
    EXPECT_EQ(top<EditMoviesViewController>(), edit) << "no viewer in this storyboard";
    app.storyboard().registerSegue(kViewFullImageSegue,
                                   [](Services&) { return new ViewController; });
    QTest::mouseDClick(edit->coverView(Back), Qt::LeftButton);
    ASSERT_TRUE(top<ViewController>() != edit);
    QTest::mouseClick(nav->backButton(), Qt::LeftButton);

    const QImage pasted = test::filledImage({120, 80}, Qt::yellow);
    QGuiApplication::clipboard()->setImage(pasted);
    edit->pasteFromClipboard(Back);
    press(edit->entry(Writer), Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(saved(edit));
    EXPECT_EQ(movie->frontImage(), front) << "an untouched cover keeps its bytes";
    EXPECT_EQ(movie->backImage(), encodeJpeg(pasted, 60));

    edit = openEdit(0);
    ASSERT_TRUE(edit);
    QTest::mouseClick(edit->findChild<QToolButton*>("BackRemoveButton"), Qt::LeftButton);
    EXPECT_EQ(test::answerAlert("No"),
              "Remove Back Movie Image / Do You Want to Remove This Image?");
    EXPECT_TRUE(movie->hasImage(Attribute::backImage));
    test::refuseWrites(app.dataDir(), Entity::Movies, "UPDATE");
    edit->RemoveFrontImage();
    test::answerAlert("Yes");
    EXPECT_TRUE(refused(test::answerAlert("OK")));
    EXPECT_TRUE(movie->hasImage(Attribute::frontImage) && edit->coverView(Front)->hasPicture());
    test::allowWrites(app.dataDir());
    edit->RemoveBackImage();
    test::answerAlert("Yes");
    EXPECT_FALSE(movie->hasImage(Attribute::backImage) || app.context().hasChanges());
    EXPECT_FALSE(edit->coverView(Back)->hasPicture());
}

// From the edit form the notes go, trimmed and at once, to the opened movie (a twin here); the
// form shows them again and keeps what was typed elsewhere. From the add form the text comes
// back as typed. A failed save keeps the screen.
TEST_F(MovieFormsTest, NotesGoToTheOpenedMovieOrBackToTheAddForm) {
    addMovie("Heat", "Twin");
    const MoviePtr movie = addMovie("Heat", "Mann");
    movie->setText(Attribute::notes, "old");
    ASSERT_TRUE(app.context().save());
    EditMoviesViewController* edit = openEdit(1);
    ASSERT_TRUE(edit && edit->detailItem() == movie);
    edit->entry(Director)->setText("typed");
    edit->entry(Notes)->setText("from the form");
    QTest::mouseClick(edit->notesButton(), Qt::LeftButton);
    auto* notes = top<NotesViewController>();
    ASSERT_TRUE(notes);
    EXPECT_EQ(notes->NotesTextView->toPlainText(), "from the form");
    test::refuseWrites(app.dataDir(), Entity::Movies, "UPDATE");
    notes->NotesTextView->setPlainText(" \tnew\u00a0notes \n");
    notes->SaveButtonClicked();
    EXPECT_TRUE(refused(test::answerAlert("OK")));
    EXPECT_TRUE(movie->notes() == "old" && !app.context().hasChanges());
    test::allowWrites(app.dataDir());
    press(notes->NotesTextView, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(top<EditMoviesViewController>(), edit);
    EXPECT_EQ(movie->notes(), "new\u00a0notes \n") << "a no-break space kept";
    EXPECT_TRUE(edit->entry(Notes)->text().startsWith("new\u00a0notes"));
    EXPECT_EQ(edit->entry(Director)->text(), "typed");
    QTest::mouseClick(nav->backButton(), Qt::LeftButton);

    AddMovieViewController* add = openAdd();
    ASSERT_TRUE(add);
    add->openNotes();
    notes = top<NotesViewController>();
    ASSERT_TRUE(notes);
    notes->NotesTextView->setPlainText("  as typed ");
    notes->SaveButtonClicked();
    ASSERT_EQ(top<AddMovieViewController>(), add);
    EXPECT_EQ(add->entry(Notes)->text(), "  as typed ");
}

// Texts far longer than a line entry's usual limit pass whole through the edit form (its wheels
// too) while another field changes, through the notes screen from either form, and through the
// add form.
TEST_F(MovieFormsTest, LongTextsPassWholeThroughTheFormsAndTheNotesScreen) {
    const QString name = longText(40000);
    const QString notesText = longText(100000);
    const MoviePtr movie = addMovie(name, "Mann");
    movie->setText(Attribute::notes, notesText);
    movie->setText(Attribute::genre, name);
    ASSERT_TRUE(app.context().save());
    EditMoviesViewController* edit = openEdit(0);
    ASSERT_TRUE(edit);
    EXPECT_TRUE(edit->entry(MovieName)->text() == name && edit->entry(Notes)->text() == notesText);
    edit->entry(Director)->setText("Scott");
    edit->SaveButtonClicked();
    ASSERT_EQ(top<ListMoviesTableViewController>(), list);
    EXPECT_TRUE(movie->name() == name && movie->notes() == notesText);

    edit = openEdit(0);
    ASSERT_TRUE(edit);
    edit->openNotes();
    auto* notes = top<NotesViewController>();
    ASSERT_TRUE(notes);
    EXPECT_TRUE(notes->leavesByKey()) << "untouched";
    notes->SaveButtonClicked();
    ASSERT_EQ(top<EditMoviesViewController>(), edit);
    EXPECT_TRUE(movie->notes() == notesText);
    edit->entry(Writer)->setText("Wes");
    edit->SaveButtonClicked();
    ASSERT_EQ(top<ListMoviesTableViewController>(), list);

    AddMovieViewController* add = openAdd();
    ASSERT_TRUE(add);
    fillRequired(add);
    add->entry(MovieName)->clear();
    add->entry(MovieName)->insert(name);  // as a paste does
    add->entry(Notes)->insert(notesText);
    add->openNotes();
    notes = top<NotesViewController>();
    ASSERT_TRUE(notes);
    notes->SaveButtonClicked();
    ASSERT_EQ(top<AddMovieViewController>(), add);
    add->SaveButtonClicked();
    ASSERT_EQ(top<ListMoviesTableViewController>(), list);

    // What the catalogue file holds, read afresh.
    nav.reset();
    app.restart();
    const auto stored = app.context().fetch<Movies>();
    ASSERT_EQ(stored.size(), 2u);
    for (const MoviePtr& m : stored) {
        const bool edited = m->director() == "Scott";
        for (const auto& [attribute, text] : {std::pair{Attribute::name, name},
                                              {Attribute::notes, notesText},
                                              {Attribute::genre, edited ? name : "x"}}) {
            const QString kept = m->text(attribute).value_or("");
            EXPECT_TRUE(kept.toUtf8() == text.toUtf8()) << edited << ": " << kept.size();
        }
    }
}

// Alt+Left leaves an untouched form only; the back button always. The edit form asks for a review
// five seconds after it opens, unless it has closed by then.
TEST_F(MovieFormsTest, KeysLeaveOnlyUntouchedFormsAndTheReviewWaitsFiveSeconds) {
    addMovie("Heat", "Mann");
    ASSERT_TRUE(app.context().save());
    EditMoviesViewController* edit = openEdit(0);
    ASSERT_TRUE(edit);
    app.devices().clock.advance(4.9);
    EXPECT_TRUE(app.devices().storeReview.windows.isEmpty());
    app.devices().clock.advance(0.2);
    EXPECT_EQ(app.devices().storeReview.windows, QList<QWidget*>{nav.get()});
    edit->entry(Writer)->setText("x");
    press(edit->entry(Writer), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(top<EditMoviesViewController>(), edit);
    edit->entry(Writer)->clear();
    press(edit->entry(Writer), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(top<ListMoviesTableViewController>(), list);

    app.devices().storeReview.windows.clear();
    edit = openEdit(0);
    ASSERT_TRUE(edit);
    edit->entry(Writer)->setText("typed");
    QTest::mouseClick(nav->backButton(), Qt::LeftButton);
    EXPECT_EQ(top<ListMoviesTableViewController>(), list);
    app.devices().clock.advance(10);
    EXPECT_TRUE(app.devices().storeReview.windows.isEmpty());
}

}  // namespace
