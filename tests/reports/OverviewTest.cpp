#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QPdfView>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include "reports/OverviewViewController.h"
#include "support/TestSupport.h"
#include "toolkit/NavigationController.h"

namespace quillon::test {
namespace {

QString allText(QPdfDocument& document) {
    QString text;
    for (int page = 0; page < document.pageCount(); ++page)
        text += document.getAllText(page).text() + '\n';
    return text.simplified();
}

TEST(OverviewDocument, IsTheBuiltGuideReadBackFromTheProgramsResources) {
    QPdfDocument document;
    ASSERT_EQ(document.load(OverviewViewController::kDocumentPath), QPdfDocument::Error::None);
    ASSERT_GE(document.pageCount(), 3);
    EXPECT_EQ(document.metaData(QPdfDocument::MetaDataField::Title).toString(), "Quillon Overview");

    const QString text = allText(document);
    // Headings, and facts a user looks the guide up for.
    for (const char* part :
         {"The main menu", "The movie list", "Import and export", "Keyboard shortcuts",
          "The export file", "Where your catalogue lives", "Backups", "The command line",
          "[QUILLON]", "QUILLON_DATA_DIR", "quillon restore NAME", "Ctrl+Z", "Quillon.sqlite"})
        EXPECT_TRUE(text.contains(part)) << part;
    const QString lastPage = QStringLiteral("page %1 of %1").arg(document.pageCount());
    EXPECT_TRUE(text.contains(lastPage)) << lastPage.toStdString();
}

class OverviewScreen : public ::testing::Test {
protected:
    OverviewViewController* open(const QString& path = OverviewViewController::kDocumentPath) {
        root = new ViewController;
        navigation = showNavigation(root, {420, 700});
        auto* screen = new OverviewViewController(path);
        navigation->pushViewController(screen);
        pumpEvents();
        return screen;
    }
    // Pixels by which the widest page overflows the viewer.
    static int overflow(OverviewViewController* screen) {
        pumpEvents();
        return screen->TextView->horizontalScrollBar()->maximum();
    }
    static void wheel(OverviewViewController* screen, int angle, Qt::KeyboardModifiers keys) {
        QWidget* viewport = screen->TextView->viewport();
        const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
        QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          keys, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
        pumpEvents();
    }

    ViewController* root = nullptr;
    std::unique_ptr<NavigationController> navigation;
};

TEST_F(OverviewScreen, ShowsTheDocumentFittedToTheWidthOfTheScreen) {
    OverviewViewController* screen = open();
    EXPECT_TRUE(screen->TextView->isVisible());
    EXPECT_EQ(screen->TextView->size(), screen->size());
    EXPECT_GE(screen->document()->pageCount(), 3);
    EXPECT_EQ(screen->notice(), "");
    EXPECT_EQ(overflow(screen), 0);

    // A plain wheel scrolls down the guide.
    const int before = screen->TextView->verticalScrollBar()->value();
    wheel(screen, -120, Qt::NoModifier);
    EXPECT_GT(screen->TextView->verticalScrollBar()->value(), before);
    EXPECT_EQ(screen->TextView->zoomMode(), QPdfView::ZoomMode::FitToWidth);
}

TEST_F(OverviewScreen, ZoomsFromTheFittedWidthWithCtrlWheelAndKeys) {
    OverviewViewController* screen = open();
    QApplication::setActiveWindow(navigation.get());
    if (!QTest::qWaitForWindowActive(navigation.get()))
        GTEST_SKIP() << "no active window on this platform";

    wheel(screen, 120, Qt::ControlModifier);
    EXPECT_EQ(screen->TextView->zoomMode(), QPdfView::ZoomMode::Custom);
    // One step past the fitted width: the page is now a quarter wider than the viewer.
    const int zoomedIn = overflow(screen);
    const int viewer = screen->TextView->viewport()->width();
    EXPECT_NEAR(zoomedIn, viewer * 0.25, viewer * 0.05);

    QTest::keyClick(screen->TextView, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_LE(overflow(screen), 2);  // back to the fitted width, give or take rounding
    QTest::keyClick(screen->TextView, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(overflow(screen), zoomedIn);
    QTest::keyClick(screen->TextView, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(screen->TextView->zoomMode(), QPdfView::ZoomMode::FitToWidth);
}

TEST_F(OverviewScreen, SaysWhyInPlaceOfADocumentItCannotShow) {
    QTemporaryDir dir;
    const QString notPdf = dir.filePath("overview.pdf");
    QFile file(notPdf);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Quillon overview, but not a PDF at all\n");
    file.close();

    const QString missing = "The overview document is missing from this copy of Quillon.";
    for (const auto& [path, notice] :
         {std::pair{dir.filePath("missing %1.pdf"), missing},
          {notPdf,
           "The overview document in this copy of Quillon cannot be read: it is not a "
           "PDF file."}}) {
        LogCapture log;
        OverviewViewController* screen = open(path);
        EXPECT_EQ(screen->notice(), notice);
        EXPECT_FALSE(screen->TextView->isVisible());
        auto* label = screen->findChild<QLabel*>("overviewNotice");
        ASSERT_TRUE(label && label->isVisible());
        ASSERT_EQ(log.lines.size(), 1);
        EXPECT_TRUE(log.lines[0].startsWith("Overview document " + path + " not shown: error "))
            << log.lines[0].toStdString();
    }
}

}  // namespace
}  // namespace quillon::test
