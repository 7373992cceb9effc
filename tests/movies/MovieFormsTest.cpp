#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
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
#include "toolkit/AlertController.h"
#include "toolkit/Appearance.h"
#include "toolkit/ChoiceWheel.h"
#include "toolkit/NavigationController.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"

using namespace quillon;
using enum FormField;

namespace {

QImage picture(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height(), Qt::white);
    return image;
}

QByteArray jpeg(const QImage& image, int quality = 95) {
    return encodeJpeg(image, quality);
}

// The movie list with the movie screens behind it, in a shown window.
class MovieFormsTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerMovieSegues(app.storyboard());
        for (const char* genre : {"War", "Crime", "Action", "Crime"})
            GenreList::insertInto(app.context())->setGenre(QString(genre));
        RatingList::insertInto(app.context())->setRating(QString("R"));
        ASSERT_TRUE(app.context().save());
        list = new ListMoviesTableViewController(app.services());
        nav = std::make_unique<NavigationController>(list);
        nav->setStoryboard(&app.storyboard());
        nav->resize(420, 700);
        nav->show();
        QApplication::setActiveWindow(nav.get());
    }
    void TearDown() override {
        nav.reset();
        test::pumpEvents();
    }

    MoviePtr addMovie(const QString& name, qint16 year, const QString& director) {
        auto movie = Movies::insertInto(app.context());
        movie->setName(name);
        movie->setYear(year);
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
    static void type(QLineEdit* entry, const QString& text) {
        entry->setFocus();
        entry->selectAll();
        QTest::keyClicks(entry, text);
    }
    static void fillRequired(MovieFormViewController* form) {
        for (auto [field, text] : {std::pair{MovieName, "Heat"},
                                   {Year, "1995"},
                                   {Actor1, "Al"},
                                   {Actor3, "Ashley"},
                                   {Director, "Mann"},
                                   {Producer, "Art"},
                                   {Genre, "Crime"}})
            form->entry(field)->setText(text);
    }
    // "title: message" of the alert on top; empty when none.
    static QString alert() {
        const auto alerts = AlertController::presentedAlerts();
        return alerts.isEmpty() ? QString()
                                : alerts.last()->title() + ": " + alerts.last()->message();
    }
    // The alert of a save that the store refused.
    static bool refused() {
        return alert().startsWith("Movie Not Saved: ") && alert().contains(test::kRefusedByTest);
    }
    static void answer(const QString& action) {
        ASSERT_FALSE(AlertController::presentedAlerts().isEmpty());
        AlertController::presentedAlerts().last()->trigger(action);
        test::pumpEvents();
    }
    static bool saved(MovieFormViewController* form) {
        QSignalSpy finished(form, &MovieFormViewController::saveFinished);
        return finished.wait(20000) && finished.at(0).at(0).toBool();
    }

    test::AppFixture app;
    ListMoviesTableViewController* list = nullptr;
    std::unique_ptr<NavigationController> nav;
};

// The list's add action opens the add form, which reads its wheels and checks its entries: the
// numbers judged on what each edit puts in, the required fields, then Enter saves by the table
// and returns to the list, which shows the new movie.
TEST_F(MovieFormsTest, TheAddFormChecksItsEntriesSavesAndReturnsToTheList) {
    AddMovieViewController* form = openAdd();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->OpenedFrom, "MainList");
    EXPECT_EQ(app.selection().CallingScreen, "Add");
    auto* genre = qobject_cast<ChoiceWheel*>(form->entry(Genre));
    ASSERT_TRUE(genre);
    EXPECT_EQ(genre->choices(), (QStringList{"Action", "Crime", "Crime", "War"}));
    genre->openWheel();
    const QListWidgetItem* row = genre->wheel()->item(1);
    EXPECT_TRUE(row->font().bold() && row->font().pointSize() == 16);
    EXPECT_TRUE(Qt::Alignment(row->textAlignment()) == Qt::AlignCenter);
    genre->closeWheel();
    for (QPalette palette : {QPalette(Qt::white), QPalette(QColor(40, 40, 40))}) {
        palette.setColor(QPalette::WindowText,
                         palette.color(QPalette::Window).lightness() > 128 ? Qt::black : Qt::white);
        form->setPalette(palette);
        for (const MovieFormField& f : kMovieFormFields) {
            const QColor text = form->label(f.field)->palette().color(QPalette::WindowText);
            EXPECT_GE(appearance::contrastRatio(text, palette.color(QPalette::Window)), 4.5);
            EXPECT_EQ(text.hsvHue() == 0, f.requiredOnAdd) << f.caption;  // red or not
        }
    }

    type(form->entry(Year), "19a99");
    EXPECT_EQ(form->entry(Year)->text(), "1999");
    const QString otherDigits = "\u0661\u0669\u0669\u0669";  // typed, refused at Save
    form->entry(Year)->clear();
    form->entry(Year)->insert(otherDigits);
    EXPECT_EQ(form->entry(Year)->text(), otherDigits);
    form->entry(RunTime)->insert("1.5x");
    EXPECT_EQ(form->entry(RunTime)->text(), "");
    form->entry(RunTime)->insert("9.5");
    type(form->entry(MovieName), "  Heat ");
    press(form->entry(MovieName), Qt::Key_Return);
    EXPECT_EQ(alert(), "Movie Not Saved: Required Fields Labeled in RED Not Entered");
    answer("OK");
    fillRequired(form);
    form->entry(MovieName)->setText("  Heat ");
    form->entry(Year)->setText(otherDigits);
    form->SaveButtonClicked();
    EXPECT_EQ(alert(), "Movie Not Saved: Year Must Be a Whole Number from -32768 to 32767");
    answer("OK");
    form->entry(Year)->setText("19999");
    form->SaveButtonClicked();
    EXPECT_EQ(alert(), "Movie Not Saved: Run Time Must Be a Whole Number from -32768 to 32767");
    answer("OK");
    EXPECT_EQ(app.context().count(Entity::Movies), 0);
    form->entry(RunTime)->setText("170");
    form->entry(Genre)->clear();
    genre->pick(1);
    press(form->entry(Director), Qt::Key_Enter);
    ASSERT_EQ(top<ListMoviesTableViewController>(), list);
    EXPECT_EQ(list->headerLabel()->text(), "# Movies = 1");
    const MoviePtr movie = app.context().fetch<Movies>().at(0);
    EXPECT_EQ((QStringList{*movie->name(), *movie->genre(), *movie->rating()}),
              (QStringList{"Heat", "Crime", "G"}));
    EXPECT_EQ(movie->year(), 1999);
    EXPECT_EQ(movie->runTime(), 170);
    EXPECT_FALSE(movie->leadingActor2() || movie->notes() ||
                 movie->hasImage(Attribute::frontImage));
}

// Covers: the clipboard, a picked file, a file that is not a picture, one that cannot be read,
// the camera. Save encodes the new pictures off the main thread while Save, back and the keys are
// off, so that pressing again makes no second movie; what was stored is the full picture.
TEST_F(MovieFormsTest, TheAddFormTakesInCoversAndSavesOnce) {
    AddMovieViewController* form = openAdd();
    ASSERT_TRUE(form);
    for (const char* name :
         {"FrontPasteButton", "BackPasteButton", "FrontCoverButton", "BackCameraButton"}) {
        auto* button = form->findChild<QToolButton*>(name);
        ASSERT_TRUE(button) << name;
        EXPECT_TRUE(button->isVisible());
        EXPECT_FALSE(button->toolTip().isEmpty() || button->accessibleName().isEmpty());
    }
    QGuiApplication::clipboard()->setText("no picture");
    QTest::mouseClick(form->findChild<QToolButton*>("FrontPasteButton"), Qt::LeftButton);
    EXPECT_EQ(alert(), "Clipboard: There is no image in the Clipboard");
    answer("OK");
    const QImage pasted = picture({60, 90}, Qt::red);
    QGuiApplication::clipboard()->setImage(pasted);
    form->pasteFromClipboard(MovieFormViewController::Front);
    EXPECT_TRUE(form->coverView(MovieFormViewController::Front)->hasNewPicture());

    QTemporaryDir files;
    const QString text = files.filePath("readme.txt");
    ASSERT_TRUE(test::writeBytes(text, "words"));
    app.devices().picker.next = files.filePath("missing.png");
    form->attachImage(MovieFormViewController::Front);
    EXPECT_TRUE(alert().startsWith("Image Not Loaded: ")) << alert().toStdString();
    answer("OK");
    EXPECT_TRUE(form->coverView(MovieFormViewController::Front)->hasPicture());
    app.devices().picker.next = text;
    form->attachImage(MovieFormViewController::Front);
    EXPECT_FALSE(form->coverView(MovieFormViewController::Front)->hasPicture());
    const QImage png = picture({300, 200}, Qt::green);
    app.devices().picker.next = files.filePath("cover.png");
    ASSERT_TRUE(png.save(app.devices().picker.next));
    form->attachImage(MovieFormViewController::Front);

    app.devices().camera.available = false;
    form->openCamera(MovieFormViewController::Back);
    EXPECT_EQ(alert(), "Camera: There is no camera available");
    answer("OK");
    app.devices().camera.available = true;
    app.devices().camera.next = picture({80, 60}, Qt::blue);
    form->openCamera(MovieFormViewController::Back);
    EXPECT_EQ(form->chosenBackImage, app.devices().camera.next);
    EXPECT_TRUE(form->chosenFrontImage.isNull() && !form->isFromCamera);

    fillRequired(form);
    QSignalSpy finished(form, &MovieFormViewController::saveFinished);
    form->SaveButtonClicked();
    EXPECT_TRUE(form->isBusy() && !form->saveButton()->isEnabled());
    EXPECT_FALSE(nav->backButton()->isEnabled());
    form->SaveButtonClicked();
    EXPECT_FALSE(form->leavesByKey());
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(finished.count(), 1);
    ASSERT_EQ(top<ListMoviesTableViewController>(), list);
    const auto movies = app.context().fetch<Movies>();
    ASSERT_EQ(movies.size(), 1u);
    EXPECT_EQ(movies[0]->frontImage(), jpeg(png, 60));
    EXPECT_EQ(movies[0]->backImage(), jpeg(app.devices().camera.next, 60));
}

// A failed save is told, the form keeps its input, and the failed change leaves the pending
// changes, so that nothing half-made rides along with a later save.
TEST_F(MovieFormsTest, AFailedSaveIsToldAndTakenBack) {
    addMovie("Heat", 1995, "Mann");
    ASSERT_TRUE(app.context().save());
    AddMovieViewController* add = openAdd();
    ASSERT_TRUE(add);
    fillRequired(add);
    test::refuseWrites(app.dataDir(), Entity::Movies, "INSERT");
    add->SaveButtonClicked();
    EXPECT_TRUE(refused());
    answer("OK");
    EXPECT_EQ(top<AddMovieViewController>(), add);
    EXPECT_EQ(add->entry(Director)->text(), "Mann");
    EXPECT_EQ(app.context().count(Entity::Movies), 1);
    EXPECT_FALSE(app.context().hasChanges());
    test::allowWrites(app.dataDir());
    QTest::mouseClick(nav->backButton(), Qt::LeftButton);

    EditMoviesViewController* edit = openEdit(0);
    ASSERT_TRUE(edit);
    test::refuseWrites(app.dataDir(), Entity::Movies, "UPDATE");
    edit->entry(Director)->setText("Scott");
    edit->SaveButtonClicked();
    EXPECT_TRUE(refused());
    answer("OK");
    EXPECT_EQ(edit->detailItem()->director(), "Mann");
    EXPECT_EQ(edit->entry(Director)->text(), "Scott");
    EXPECT_FALSE(app.context().hasChanges());
}

// The edit form writes to the movie it opened: twins are told apart, a movie without a name is
// found, a renamed one too. A deleted one is refused by Save and by Remove.
TEST_F(MovieFormsTest, TheEditFormWritesToTheMovieItOpened) {
    const MoviePtr first = addMovie("Heat", 1995, "Mann");
    const MoviePtr twin = addMovie("Heat", 1995, "Other");
    const MoviePtr nameless = addMovie({}, 2001, "Nobody");
    nameless->setName(std::nullopt);
    ASSERT_TRUE(app.context().save());
    EditMoviesViewController* edit = openEdit(2);  // absent names sort first
    ASSERT_TRUE(edit && edit->detailItem() == twin);
    EXPECT_EQ(edit->OpenedFrom, "Master");
    edit->entry(Director)->setText("Changed");
    edit->entry(MovieName)->setText("Heat 2");
    edit->SaveButtonClicked();
    ASSERT_EQ(top<ListMoviesTableViewController>(), list) << "back by unwindToList";
    EXPECT_EQ(twin->director(), "Changed");
    EXPECT_EQ(twin->name(), "Heat 2");
    EXPECT_EQ(first->director(), "Mann");

    edit = openEdit(0);
    ASSERT_TRUE(edit && edit->detailItem() == nameless);
    edit->SaveButtonClicked();
    EXPECT_EQ(alert(), "Movie Not Saved: Movie Name Not Entered");
    answer("OK");
    edit->entry(Year)->clear();
    edit->entry(MovieName)->setText("Named");
    edit->SaveButtonClicked();
    EXPECT_EQ(alert(), "Movie Not Saved: Year Not Entered");
    answer("OK");
    edit->entry(Year)->setText("2002");
    edit->SaveButtonClicked();
    ASSERT_EQ(top<ListMoviesTableViewController>(), list);
    EXPECT_EQ(nameless->name(), "Named");
    EXPECT_EQ(nameless->year(), 2002);

    edit = openEdit(0);
    ASSERT_TRUE(edit && edit->detailItem() == first);
    app.context().deleteObject(first);
    ASSERT_TRUE(app.context().save());
    edit->SaveButtonClicked();
    const QString gone =
        "Movie Not Saved: This movie is no longer in the catalogue; nothing was changed.";
    EXPECT_EQ(alert(), gone);
    answer("OK");
    edit->RemoveFrontImage();
    answer("Yes");
    EXPECT_EQ(alert(), gone);
    answer("OK");
    EXPECT_FALSE(app.context().hasChanges());
}

// Stored covers are shown scaled and keep their bytes through a Save; a new one is stored whole.
// A double click opens the viewer where there is one.
// Remove asks, then removes at once; a refused removal keeps the cover.
TEST_F(MovieFormsTest, TheEditFormKeepsStoredCoversAndRemovesThemWhenAsked) {
    const QByteArray front = jpeg(picture({2000, 3000}, Qt::red));
    const QByteArray back = jpeg(picture({40, 60}, Qt::blue));
    const MoviePtr movie = addMovie("Alien", 1979, "Scott");
    movie->setImage(Attribute::frontImage, front);
    movie->setImage(Attribute::backImage, back);
    ASSERT_TRUE(app.context().save());
    EditMoviesViewController* edit = openEdit(0);
    ASSERT_TRUE(edit);
    CoverView* frontView = edit->coverView(MovieFormViewController::Front);
    QSignalSpy decoded(frontView, &CoverView::decodeFinished);
    ASSERT_TRUE(!frontView->isDecoding() || decoded.wait(20000));
    EXPECT_EQ(frontView->shownImage().height(), CoverView::viewBox().height());
    EXPECT_FALSE(frontView->hasNewPicture());
    QTest::mouseDClick(frontView, Qt::LeftButton);
    EXPECT_EQ(top<EditMoviesViewController>(), edit) << "no viewer in this storyboard";
    app.storyboard().registerSegue(kViewFullImageSegue,
                                   [](Services&) { return new ViewController; });
    QTest::mouseDClick(edit->coverView(MovieFormViewController::Back), Qt::LeftButton);
    ASSERT_TRUE(top<ViewController>() != edit);
    QTest::mouseClick(nav->backButton(), Qt::LeftButton);
    ASSERT_EQ(top<EditMoviesViewController>(), edit);

    const QImage pasted = picture({120, 80}, Qt::yellow);
    QGuiApplication::clipboard()->setImage(pasted);
    edit->pasteFromClipboard(MovieFormViewController::Back);
    edit->entry(Writer)->setText("O'Bannon");
    press(edit->entry(Writer), Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(saved(edit));
    EXPECT_EQ(movie->frontImage(), front) << "an untouched cover keeps its bytes";
    EXPECT_EQ(movie->backImage(), jpeg(pasted, 60));

    edit = openEdit(0);
    ASSERT_TRUE(edit);
    QTest::mouseClick(edit->findChild<QToolButton*>("BackRemoveButton"), Qt::LeftButton);
    const AlertController* ask = AlertController::presentedAlerts().value(0);
    ASSERT_TRUE(ask);
    EXPECT_EQ(alert(), "Remove Back Movie Image: Do You Want to Remove This Image?");
    EXPECT_EQ(ask->actionTitles(), (QStringList{"Yes", "No"}));
    answer("No");
    EXPECT_TRUE(movie->hasImage(Attribute::backImage));
    test::refuseWrites(app.dataDir(), Entity::Movies, "UPDATE");
    edit->RemoveFrontImage();
    answer("Yes");
    EXPECT_TRUE(refused());
    answer("OK");
    EXPECT_TRUE(movie->hasImage(Attribute::frontImage));
    EXPECT_TRUE(edit->coverView(MovieFormViewController::Front)->hasPicture());
    test::allowWrites(app.dataDir());
    edit->RemoveBackImage();
    answer("Yes");
    EXPECT_FALSE(movie->hasImage(Attribute::backImage) || app.context().hasChanges());
    EXPECT_FALSE(edit->coverView(MovieFormViewController::Back)->hasPicture());
}

// The notes screen: from the edit form it stores the notes trimmed in the opened movie at once
// and the form shows them again without losing what was typed elsewhere; from the add form the
// text comes back as typed. A failed save keeps the screen.
TEST_F(MovieFormsTest, NotesGoToTheOpenedMovieOrBackToTheAddForm) {
    addMovie("Heat", 1995, "Twin");
    const MoviePtr movie = addMovie("Heat", 1995, "Mann");
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
    notes->NotesTextView->setPlainText(" \tnew notes \n");
    notes->SaveButtonClicked();
    EXPECT_TRUE(refused());
    answer("OK");
    EXPECT_EQ(movie->notes(), "old");
    EXPECT_FALSE(app.context().hasChanges());
    test::allowWrites(app.dataDir());
    press(notes->NotesTextView, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(top<EditMoviesViewController>(), edit);
    EXPECT_EQ(movie->notes(), "new notes \n");
    EXPECT_TRUE(edit->entry(Notes)->text().startsWith("new notes"));
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
    EXPECT_EQ(app.selection().SelectedNotes, "  as typed ");
}

// Alt+Left leaves an untouched form only; the back button always. The edit form asks for a review
// five seconds after it opens, unless it has closed by then.
TEST_F(MovieFormsTest, KeysLeaveOnlyUntouchedFormsAndTheReviewWaitsFiveSeconds) {
    addMovie("Heat", 1995, "Mann");
    ASSERT_TRUE(app.context().save());
    EditMoviesViewController* edit = openEdit(0);
    ASSERT_TRUE(edit);
    app.devices().clock.advance(4.9);
    EXPECT_TRUE(app.devices().storeReview.windows.isEmpty());
    app.devices().clock.advance(0.2);
    EXPECT_EQ(app.devices().storeReview.windows, QList<QWidget*>{nav.get()});
    type(edit->entry(Writer), "x");
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
