#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include "catalogue/ReportTestUtil.h"
#include "catalogue/ReportText.h"
#include "reports/PrintMoviesViewController.h"
#include "reports/ReportSegues.h"
#include "support/TestSupport.h"
#include "toolkit/NavigationController.h"

namespace quillon {
namespace {

using A = Attribute;

// The print report opened from a breakdown (the root here), the printer replaced.
class PrintScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerReportSegues(fixture.storyboard());
        // Three movies of Mann (Ann plays second in one, first in another), one of Lang.
        test::addMovie(context(),
                       {{A::name, "Beta"}, {A::director, "Mann"}, {A::leadingActor1, "Ann"}});
        test::addMovie(context(),
                       {{A::name, "Alpha"}, {A::director, "Mann"}, {A::leadingActor2, "Ann"}});
        test::addMovie(context(), {{A::name, "Gamma"}, {A::director, "Mann"}})
            ->setImage(A::frontImage, test::jpegOf({300, 450}, Qt::green));
        test::addMovie(context(), {{A::name, "Delta"}, {A::director, "Lang"}});
        ASSERT_TRUE(fixture.saveContext());
    }
    void TearDown() override {
        test::closeAlerts();
        nav.reset();
        test::pumpEvents();
    }
    ManagedObjectContext& context() { return fixture.context(); }
    SelectionState& selection() { return fixture.selection(); }
    // Opens the print report as a breakdown would, once it has named itself.
    PrintMoviesViewController* open(const QString& callingScreen) {
        TearDown();
        auto* breakdown = new ViewController;
        nav = test::showNavigation(breakdown, {600, 700}, &fixture.storyboard());
        selection().CallingScreen = callingScreen;
        return screen = qobject_cast<PrintMoviesViewController*>(
                   breakdown->performSegue(QString::fromLatin1(kPrintReportSegue)));
    }
    QStringList shown(const QString& prefix) const {
        return test::paragraphsOf(*screen->FileTextView->document()).filter(prefix);
    }
    test::RecordingPrinter& printer() { return fixture.devices().printer; }

    test::AppFixture fixture;
    std::unique_ptr<NavigationController> nav;
    PrintMoviesViewController* screen = nullptr;
    test::LogCapture log;
};

TEST_F(PrintScreenTest, TheKeptValuesMoviesAreShownInTheLastOrderAndPrintedWithTheirCovers) {
    selection().SelectedDirector = "Mann";
    selection().SharedSortAsc = false;
    ASSERT_TRUE(open("DirectorBreakdown"));
    EXPECT_EQ(shown("Movies Filtered"), QStringList{"Movies Filtered by Director: Mann"});
    EXPECT_EQ(shown("Movie Name"),
              (QStringList{"Movie Name: Gamma", "Movie Name: Beta", "Movie Name: Alpha"}));
    const int width = screen->width();  // covers a sixth of it wide
    EXPECT_EQ(
        shown("["),
        QStringList{QString("[%1 x %2]   ").arg(qRound(width / 6.0)).arg(qRound(width / 4.0))});
    // Opening offers the print dialog on the text shown, the covers with it.
    const QUrl cover = screen->MovieString->covers().at(0).name;
    ASSERT_EQ(printer().documents.size(), 1u);
    EXPECT_EQ(printer().documents[0]->toPlainText(), screen->FileTextView->toPlainText());
    EXPECT_FALSE(printer().documents[0]->resource(QTextDocument::ImageResource, cover).isNull());
    EXPECT_EQ(printer().parents, QList<QWidget*>{screen});
    EXPECT_EQ(log.lines.filter("Image is Printed").size(), 1);

    // A rebuild shows one report with its cover; the print button prints again.
    QTest::mouseClick(screen->CreateFileButton, Qt::LeftButton);
    EXPECT_EQ(shown("Movies Filtered").size(), 1);
    EXPECT_FALSE(
        screen->FileTextView->document()->resource(QTextDocument::ImageResource, cover).isNull());
    QTest::mouseClick(screen->PrintButton, Qt::LeftButton);
    EXPECT_EQ(printer().documents.size(), 3u);
    EXPECT_EQ(log.lines.filter("Image is Printed").size(), 3);
}

TEST_F(PrintScreenTest, AnActorReportListsBothSlotsUnderThePickedName) {
    // What the actor breakdown keeps: the picked actor in both slots, and the name.
    selection().SelectedActor1 = selection().SelectedActor2 = selection().SelectedActorName = "Ann";
    ASSERT_TRUE(open("ActorBreakdown"));
    EXPECT_EQ(shown("Movies Filtered"), QStringList{"Movies Filtered by Actor: Ann"});
    EXPECT_EQ(shown("Movie Name"), (QStringList{"Movie Name: Alpha", "Movie Name: Beta"}));
}

TEST_F(PrintScreenTest, NothingToPrintHidesThePrintButtonAndSaysSo) {
    ASSERT_TRUE(open("MovieList"));  // no breakdown: nothing is fetched or said
    EXPECT_EQ(test::alertTexts(), QStringList());
    selection().SelectedGenre = "Western";
    ASSERT_TRUE(open("GenreBreakdown"));
    EXPECT_EQ(test::alertTexts(), QStringList{"Empty Data Set! / No Movies to Print!"});
    EXPECT_TRUE(screen->PrintButton->isHidden());
    QTest::mouseClick(screen->CreateFileButton, Qt::LeftButton);
    EXPECT_EQ(test::alertTexts().size(), 2);
    EXPECT_TRUE(screen->PrintButton->isHidden());
    EXPECT_TRUE(printer().documents.empty());
}

TEST_F(PrintScreenTest, AFailedJobIsToldAndACancelledOneIsNot) {
    selection().SelectedDirector = "Lang";
    printer().answers = false;
    ASSERT_TRUE(open("DirectorBreakdown"));
    printer().finish(false);
    EXPECT_EQ(test::alertTexts(), QStringList());
    QTest::mouseClick(screen->PrintButton, Qt::LeftButton);
    printer().finish(false, "Printer on fire");
    EXPECT_EQ(test::alertTexts(), QStringList{"Print Failed / Printer on fire"});
    EXPECT_TRUE(log.lines.filter("Image is Printed").isEmpty());
}

}  // namespace
}  // namespace quillon
