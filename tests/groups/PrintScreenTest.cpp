#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include "ReportTestUtil.h"
#include "groups/PrintMoviesViewController.h"
#include "groups/ReportSegues.h"
#include "groups/ReportText.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"

namespace quillon {
namespace {

using A = Attribute;

// The print report opened from a breakdown (the root here), the printer replaced.
class PrintScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerReportSegues(fixture.storyboard());
        breakdown = new ViewController;
        nav = std::make_unique<NavigationController>(breakdown);
        nav->setStoryboard(&fixture.storyboard());
        nav->resize(600, 700);
        nav->show();
        // Three movies of Mann, the one Ann plays second listed first by name; one of Lang.
        test::addMovie(context(),
                       {{A::name, "Beta"}, {A::director, "Mann"}, {A::leadingActor1, "Ann"}});
        test::addMovie(context(),
                       {{A::name, "Alpha"},
                        {A::director, "Mann"},
                        {A::leadingActor2, "Ann"},
                        {A::leadingActress1, "Cat"}},
                       1999);
        MoviePtr covered = test::addMovie(context(), {{A::name, "Gamma"}, {A::director, "Mann"}});
        covered->setImage(A::frontImage, test::jpegOf({300, 450}, Qt::green));
        test::addMovie(context(),
                       {{A::name, "Delta"}, {A::director, "Lang"}, {A::leadingActor1, "Bo"}});
        ASSERT_TRUE(fixture.saveContext());
    }
    void TearDown() override {
        for (AlertController* alert : AlertController::presentedAlerts()) delete alert;
        nav.reset();
        test::pumpEvents();
    }
    ManagedObjectContext& context() { return fixture.context(); }
    SelectionState& selection() { return fixture.selection(); }
    // Opens the print report as a breakdown would, once it has named itself.
    PrintMoviesViewController* open(const QString& callingScreen) {
        selection().CallingScreen = callingScreen;
        screen = qobject_cast<PrintMoviesViewController*>(
            breakdown->performSegue(QString::fromLatin1(kPrintReportSegue)));
        return screen;
    }
    QStringList shown() const { return test::paragraphsOf(*screen->FileTextView->document()); }
    QStringList alerts() {
        QStringList titles;
        for (AlertController* alert : AlertController::presentedAlerts())
            titles << alert->title() + " / " + alert->message();
        return titles;
    }
    test::RecordingPrinter& printer() { return fixture.devices().printer; }

    test::AppFixture fixture;
    ViewController* breakdown = nullptr;
    std::unique_ptr<NavigationController> nav;
    PrintMoviesViewController* screen = nullptr;
    test::LogCapture log;
};

TEST_F(PrintScreenTest, TheKeptValuesMoviesAreShownInTheLastOrderAndOfferedToThePrinter) {
    selection().SelectedDirector = "Mann";
    selection().SharedSortAsc = false;
    ASSERT_TRUE(open("DirectorBreakdown"));
    const int coverWidth = qRound(screen->width() / 6.0);
    EXPECT_EQ(
        shown(),
        (QStringList{"Movies Filtered by Director: Mann", "",
                     // Gamma
                     "Director: Mann", "Movie Name: Gamma", "Year: 0",
                     QString("[%1 x %2]   ").arg(coverWidth).arg(qRound(coverWidth * 1.5)), "",
                     // Beta
                     "Director: Mann", "Movie Name: Beta", "Year: 0", "Actor 1: Ann", "", "",
                     // Alpha
                     "Director: Mann", "Movie Name: Alpha", "Year: 1999", "Actor 2: Ann",
                     "Actress 1: Cat", "", "", ""}));
    EXPECT_TRUE(screen->FileTextView->isReadOnly());
    EXPECT_TRUE(screen->PrintButton->isVisible());
    // The covers are at hand for the text view and for the printer's copy.
    ASSERT_EQ(printer().documents.size(), 1u);
    const QTextDocument& printed = *printer().documents[0];
    EXPECT_EQ(printed.toPlainText(), screen->FileTextView->document()->toPlainText());
    const QUrl cover = screen->MovieString->covers().at(0).name;
    EXPECT_FALSE(printed.resource(QTextDocument::ImageResource, cover).value<QImage>().isNull());
    EXPECT_EQ(printer().parents, QList<QWidget*>{screen});
    EXPECT_EQ(log.lines.filter("Image is Printed").size(), 1);

    // Rebuilding shows one report, the covers still there; the print button prints it again.
    QTest::mouseClick(screen->CreateFileButton, Qt::LeftButton);
    EXPECT_EQ(shown().filter("Movies Filtered by").size(), 1);
    EXPECT_FALSE(screen->FileTextView->document()
                     ->resource(QTextDocument::ImageResource, cover)
                     .value<QImage>()
                     .isNull());
    QTest::mouseClick(screen->PrintButton, Qt::LeftButton);
    EXPECT_EQ(printer().documents.size(), 3u);
    EXPECT_EQ(log.lines.filter("Image is Printed").size(), 3);
}

TEST_F(PrintScreenTest, AnActorReportListsBothSlotsUnderThePickedName) {
    // What the actor breakdown keeps: the picked actor in both slots, and the name.
    selection().SelectedActor1 = selection().SelectedActor2 = selection().SelectedActorName = "Ann";
    ASSERT_TRUE(open("ActorBreakdown"));
    EXPECT_EQ(shown().mid(0, 6),
              (QStringList{"Movies Filtered by Actor: Ann", "", "Actor 2: Ann", "Actress 1: Cat",
                           "Movie Name: Alpha", "Year: 1999"}));
    EXPECT_EQ(shown().filter("Movie Name:"),
              (QStringList{"Movie Name: Alpha", "Movie Name: Beta"}));
}

TEST_F(PrintScreenTest, NothingToPrintHidesThePrintButtonAndSaysSo) {
    for (const QString& calling : {QString("GenreBreakdown"), QString("MovieList")}) {
        SCOPED_TRACE(calling.toStdString());
        selection().SelectedGenre = "Western";
        ASSERT_TRUE(open(calling));
        EXPECT_EQ(alerts(),
                  (calling == "MovieList" ? QStringList()
                                          : QStringList{"Empty Data Set! / No Movies to Print!"}));
        TearDown();
        nav = std::make_unique<NavigationController>(breakdown = new ViewController);
        nav->setStoryboard(&fixture.storyboard());
        nav->show();
    }
    ASSERT_TRUE(open("GenreBreakdown"));
    EXPECT_TRUE(screen->PrintButton->isHidden());
    QTest::mouseClick(screen->CreateFileButton, Qt::LeftButton);
    EXPECT_EQ(alerts().size(), 2);
    EXPECT_TRUE(screen->PrintButton->isHidden());
    EXPECT_TRUE(printer().documents.empty());
}

TEST_F(PrintScreenTest, AFailedJobIsToldAndACancelledOneIsNot) {
    selection().SelectedDirector = "Lang";
    printer().answers = false;
    ASSERT_TRUE(open("DirectorBreakdown"));
    printer().finish(false);
    EXPECT_EQ(alerts(), QStringList());
    QTest::mouseClick(screen->PrintButton, Qt::LeftButton);
    printer().finish(false, "Printer on fire");
    EXPECT_EQ(alerts(), QStringList{"Print Failed / Printer on fire"});
    EXPECT_TRUE(log.lines.filter("Image is Printed").isEmpty());
}

}  // namespace
}  // namespace quillon
