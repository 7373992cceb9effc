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
    const QStringList headings = {
        "Quillon Overview",
        "The main menu",
        "The movie list",
        "Adding and editing a movie",
        "Group tabs and breakdowns",
        "Reference lists",
        "Import and export",
        "Rate and Share",
        "Keyboard shortcuts",
        "The export file",
        "Where your catalogue lives",
        "Backups",
        "The command line",
    };
    for (const QString& heading : headings)
        EXPECT_TRUE(text.contains(heading)) << heading.toStdString();
    // Facts a user looks the guide up for.
    const QStringList facts = {
        "[QUILLON]",       "QUILLON_DATA_DIR",     "--data-dir",
        "quillon backups", "quillon restore NAME", "Ctrl+Z",
        "Alt+Left",        "Quillon.sqlite",       "Not available in this build",
    };
    for (const QString& fact : facts) EXPECT_TRUE(text.contains(fact)) << fact.toStdString();
    const QString lastPage = QStringLiteral("page %1 of %1").arg(document.pageCount());
    EXPECT_TRUE(text.contains(lastPage)) << lastPage.toStdString();
}

class OverviewScreen : public ::testing::Test {
protected:
    OverviewViewController* open(const QString& path = OverviewViewController::kDocumentPath) {
        root = new ViewController;
        navigation = std::make_unique<NavigationController>(root);
        navigation->resize(420, 700);
        navigation->show();
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
    EXPECT_EQ(screen->title(), "Larkspire Overview");
    ASSERT_TRUE(screen->TextView);
    EXPECT_TRUE(screen->TextView->isVisible());
    EXPECT_EQ(screen->TextView->size(), screen->size());
    EXPECT_EQ(screen->TextView->document(), screen->document());
    EXPECT_GE(screen->document()->pageCount(), 3);
    EXPECT_EQ(screen->TextView->pageMode(), QPdfView::PageMode::MultiPage);
    EXPECT_EQ(screen->TextView->zoomMode(), QPdfView::ZoomMode::FitToWidth);
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
    wheel(screen, -120, Qt::ControlModifier);
    wheel(screen, -120, Qt::ControlModifier);
    EXPECT_EQ(overflow(screen), 0);

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

    struct Case {
        QString path;
        QString notice;
    } cases[] = {
        {dir.filePath("missing.pdf"),
         "The overview document is missing from this copy of Quillon."},
        {":/no-such-document.pdf", "The overview document is missing from this copy of Quillon."},
        {notPdf,
         "The overview document in this copy of Quillon cannot be read: it is not a PDF "
         "file."},
    };
    for (const Case& c : cases) {
        LogCapture log;
        OverviewViewController* screen = open(c.path);
        EXPECT_EQ(screen->notice(), c.notice) << c.path.toStdString();
        EXPECT_FALSE(screen->TextView->isVisible()) << c.path.toStdString();
        auto* label = screen->findChild<QLabel*>("overviewNotice");
        ASSERT_TRUE(label);
        EXPECT_TRUE(label->isVisible()) << c.path.toStdString();
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        EXPECT_EQ(log.lines.size(), 1) << c.path.toStdString();
        // Zooming a screen without a document does nothing.
        screen->zoomIn();
        EXPECT_EQ(screen->TextView->zoomMode(), QPdfView::ZoomMode::FitToWidth);
    }
}

}  // namespace
}  // namespace quillon::test
