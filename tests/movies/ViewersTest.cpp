#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>

#include "movies/FullScreenImageViewController.h"
#include "movies/ViewLargeImagesViewController.h"
#include "movies/ViewerSegues.h"
#include "support/TestSupport.h"
#include "toolkit/NavigationController.h"

namespace quillon::test {
namespace {

// A cover of one colour with a small black square in its middle (a twentieth of its width).
QByteArray cover(QColor colour, QSize size = {400, 300}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const int side = size.width() / 20;
    QPainter(&image).fillRect(size.width() / 2 - side / 2, size.height() / 2 - side / 2, side, side,
                              Qt::black);
    return test::imageBytes(image);
}

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
           std::abs(a.blue() - b.blue()) < 40;
}

QColor pixelOf(QWidget* widget, QPointF at) {
    const QImage image = widget->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(int(std::floor(at.x() * ratio)), int(std::floor(at.y() * ratio)));
}

// Whether the widget took the wheel; one it leaves goes on to its parents (the scroll area).
bool wheel(QWidget* widget, QPointF at, int angle, Qt::KeyboardModifiers keys) {
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, keys,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

void drag(QWidget* widget, QPointF from, QPointF to) {
    const auto send = [widget](QEvent::Type type, QPointF at, Qt::MouseButton button,
                               Qt::MouseButtons held) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

const QColor kFront(200, 30, 30);
const QColor kBack(30, 60, 200);

class Viewers : public ::testing::Test {
protected:
    Viewers() {
        registerViewerSegues(fixture.storyboard());
        root = new ViewController;
        navigation = showNavigation(root, {420, 700}, &fixture.storyboard());
        // Ctrl+plus and the like are shortcuts of the window: it must be the active one.
        QApplication::setActiveWindow(navigation.get());
        pumpEvents();
    }
    void select(std::optional<QByteArray> front, std::optional<QByteArray> back) {
        fixture.selection().SelectedFrontImage = std::move(front);
        fixture.selection().SelectedBackImage = std::move(back);
    }
    ViewLargeImagesViewController* openLarge() {
        auto* viewer =
            dynamic_cast<ViewLargeImagesViewController*>(root->performSegue("ViewFullImage"));
        pumpEvents();
        return viewer;
    }
    void back() {
        navigation->popViewController();
        pumpEvents();
    }

    AppFixture fixture;
    ViewController* root = nullptr;
    std::unique_ptr<NavigationController> navigation;
};

TEST_F(Viewers, LargeViewerShowsOneFramedCellPerPresentCover) {
    const QByteArray front = cover(kFront), rear = cover(kBack);
    struct Case {
        std::optional<QByteArray> front, back;
        QList<QColor> shown;
    };
    const Case cases[] = {
        {front, rear, {kFront, kBack}},   {std::nullopt, rear, {kBack}},
        {front, std::nullopt, {kFront}},  {QByteArray(), rear, {kBack}},
        {std::nullopt, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        select(c.front, c.back);
        ViewLargeImagesViewController* viewer = openLarge();
        ASSERT_NE(viewer, nullptr);
        ASSERT_EQ(viewer->numberOfItems(), c.shown.size());
        for (int i = 0; i < c.shown.size(); ++i) {
            MovieCollectionViewCell* cell = viewer->cellForItem(i);
            EXPECT_EQ(cell->height(), viewer->clCollectionView->viewport()->height());
            EXPECT_EQ(pixelOf(cell, {0.5, cell->height() / 2.0}), QColor(Qt::yellow));
            const QRectF shown = cell->shownRect();
            EXPECT_TRUE(near(pixelOf(cell, shown.topLeft() + QPointF(10, 10)), c.shown[i]));
        }
        back();
    }
}

TEST_F(Viewers, LargeViewerZoomsACoverBetweenItsSizeAndTenTimesIt) {
    select(cover(kFront), cover(kBack));
    ViewLargeImagesViewController* viewer = openLarge();
    MovieCollectionViewCell* cell = viewer->cellForItem(0);
    const QRectF normal = cell->shownRect();
    const QPointF middle = normal.center();
    // Just off the black square in the middle of the cover, while it is shown at normal size.
    const QPointF probe = middle + QPointF(normal.width() / 20, 0);
    EXPECT_TRUE(near(pixelOf(cell, probe), kFront));

    for (int i = 0; i < 20; ++i) wheel(cell, middle, 120, Qt::ControlModifier);
    EXPECT_EQ(cell->zoom(), MovieCollectionViewCell::maxZoom);
    EXPECT_NEAR(cell->shownRect().width(), 10 * normal.width(), 0.01);
    EXPECT_NEAR(cell->shownRect().center().x(), middle.x(), 0.01);
    EXPECT_TRUE(near(pixelOf(cell, probe), Qt::black));
    EXPECT_EQ(viewer->cellForItem(1)->zoom(), 1.0);

    // Dragging moves the zoomed cover, but never past its edge.
    drag(cell, middle, middle + QPointF(30, -20));
    EXPECT_NEAR(cell->shownRect().center().x(), middle.x() + 30, 0.01);
    EXPECT_NEAR(cell->shownRect().center().y(), middle.y() - 20, 0.01);
    drag(cell, middle, middle + QPointF(100000, 0));
    EXPECT_NEAR(cell->shownRect().left(), 2, 0.01);

    for (int i = 0; i < 30; ++i) wheel(cell, middle, -120, Qt::ControlModifier);
    EXPECT_EQ(cell->zoom(), 1.0);
    EXPECT_EQ(cell->shownRect(), normal);
    drag(cell, middle, middle + QPointF(40, 40));
    EXPECT_EQ(cell->shownRect(), normal);

    // The keys zoom the cover in view; Ctrl+0 brings it back.
    QTest::keyClick(viewer, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(cell->zoom(), 1.25);
    QTest::keyClick(viewer, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(viewer, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(cell->zoom(), 1.0);
    for (int i = 0; i < 12; ++i) QTest::keyClick(viewer, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(cell->zoom(), MovieCollectionViewCell::maxZoom);
    QTest::keyClick(viewer, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(cell->shownRect(), normal);

    // A plain wheel is left to the scroll area, to scroll the covers.
    EXPECT_FALSE(wheel(cell, middle, -120, Qt::NoModifier));
    EXPECT_EQ(cell->zoom(), 1.0);
}

// Two fingers on a touch screen, from `gap` apart to `to` apart, around `centre` of `widget`.
void pinch(QWidget* widget, QPointF centre, double gap, double to) {
    static QPointingDevice* screen = QTest::createTouchDevice();
    const auto at = [centre](double apart, int finger) {
        return (centre + QPointF(finger ? apart / 2 : -apart / 2, 0)).toPoint();
    };
    QTest::touchEvent(widget, screen).press(0, at(gap, 0)).press(1, at(gap, 1));
    constexpr int kSteps = 8;
    for (int step = 1; step <= kSteps; ++step) {
        const double apart = gap + (to - gap) * step / kSteps;
        QTest::touchEvent(widget, screen).move(0, at(apart, 0)).move(1, at(apart, 1));
    }
    QTest::touchEvent(widget, screen).release(0, at(to, 0)).release(1, at(to, 1));
    pumpEvents();
}

TEST_F(Viewers, LargeViewerFollowsTwoFingersWithinItsLimits) {
    select(cover(kFront), std::nullopt);
    ViewLargeImagesViewController* viewer = openLarge();
    MovieCollectionViewCell* cell = viewer->cellForItem(0);
    const QPointF middle = cell->shownRect().center();
    // Twice as far apart: about twice the size (the gesture counts from its first movement).
    pinch(cell, middle, 40, 80);
    EXPECT_GT(cell->zoom(), 1.6);
    EXPECT_LE(cell->zoom(), 2.0);
    pinch(cell, middle, 20, 380);
    EXPECT_EQ(cell->zoom(), MovieCollectionViewCell::maxZoom);
    pinch(cell, middle, 380, 10);
    EXPECT_EQ(cell->zoom(), 1.0);
}

TEST_F(Viewers, LargeViewerShowsACoverScrolledOutOfViewAtItsNormalSizeAgain) {
    select(cover(kFront), cover(kBack));
    ViewLargeImagesViewController* viewer = openLarge();
    MovieCollectionViewCell* front = viewer->cellForItem(0);
    MovieCollectionViewCell* rear = viewer->cellForItem(1);
    QScrollBar* scroll = viewer->clCollectionView->verticalScrollBar();
    front->zoomAboutCentre(3);
    rear->zoomAboutCentre(2);

    // Half out of view is still in view.
    scroll->setValue(front->height() / 2);
    EXPECT_EQ(front->zoom(), 3.0);
    EXPECT_EQ(rear->zoom(), 2.0);
    scroll->setValue(scroll->maximum());
    EXPECT_EQ(front->zoom(), 1.0);
    EXPECT_EQ(rear->zoom(), 2.0);
    scroll->setValue(0);
    EXPECT_EQ(rear->zoom(), 1.0);
    EXPECT_EQ(front->zoom(), 1.0);
}

TEST_F(Viewers, CardViewerZoomsAndMovesTheWholeContentWithoutLimits) {
    select(cover(kFront), cover(kBack));
    ViewLargeImagesViewController* large = openLarge();
    fixture.selection().SelectedImages.clear();
    QTest::mouseClick(large->viewCardButton(), Qt::LeftButton);
    pumpEvents();
    auto* viewer = dynamic_cast<FullScreenImageViewController*>(navigation->topViewController());
    ASSERT_NE(viewer, nullptr);
    // Filled from the covers when the viewer opens: front, then back.
    const QList<QImage>& images = fixture.selection().SelectedImages;
    ASSERT_EQ(images.size(), 2);
    EXPECT_TRUE(near(images[0].pixelColor(10, 10), kFront));
    EXPECT_TRUE(near(images[1].pixelColor(10, 10), kBack));

    CardCollectionView* cards = viewer->ZoomCollectionView;
    ASSERT_EQ(cards->numberOfItems(), 2);
    const QRectF first = cards->cellRect(0), second = cards->cellRect(1);
    EXPECT_TRUE(near(pixelOf(cards, first.topLeft() + QPointF(first.width() / 2, 0)), Qt::black));
    EXPECT_TRUE(near(pixelOf(cards, first.topLeft() + QPointF(12, 12)), kFront));
    EXPECT_TRUE(near(pixelOf(cards, second.topLeft() + QPointF(12, 12)), kBack));

    // Both cards grow together, far past ten times.
    const QPointF centre = QRectF(cards->rect()).center();
    for (int i = 0; i < 25; ++i) QTest::keyClick(viewer, Qt::Key_Equal, Qt::ControlModifier);
    const double grown = std::pow(1.25, 25);
    EXPECT_NEAR(cards->zoom().scale, grown, 1e-6 * grown);
    EXPECT_NEAR(cards->cellRect(0).width(), grown * first.width(), 1e-6 * grown);
    EXPECT_NEAR(cards->cellRect(1).height(), grown * second.height(), 1e-6 * grown);
    EXPECT_NEAR((cards->cellRect(1).top() - cards->cellRect(0).bottom()),
                grown * (second.top() - first.bottom()), 1e-3);
    cards->grab();  // paints at that size without trouble

    QTest::keyClick(viewer, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(cards->cellRect(0), first);
    for (int i = 0; i < 30; ++i) QTest::keyClick(viewer, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_NEAR(cards->cellRect(0).width(), std::pow(1.25, -30) * first.width(), 1e-9);
    const QPointF shrunk = centre + std::pow(1.25, -30) * (first.center() - centre);
    EXPECT_NEAR(cards->cellRect(0).center().x(), shrunk.x(), 1e-9);
    EXPECT_NEAR(cards->cellRect(0).center().y(), shrunk.y(), 1e-9);
    QTest::keyClick(viewer, Qt::Key_0, Qt::ControlModifier);

    // Ctrl+wheel keeps what is under the pointer where it is; dragging moves everything, any way.
    const QPointF pointer = first.topLeft() + QPointF(first.width() / 4, first.height() / 3);
    for (int i = 0; i < 4; ++i) wheel(cards, pointer, 120, Qt::ControlModifier);
    const QRectF zoomed = cards->cellRect(0);
    EXPECT_NEAR(zoomed.left() + (pointer.x() - first.left()) * std::pow(1.25, 4), pointer.x(),
                1e-6);
    EXPECT_NEAR(zoomed.top() + (pointer.y() - first.top()) * std::pow(1.25, 4), pointer.y(), 1e-6);
    drag(cards, pointer, pointer + QPointF(5000, -7000));
    EXPECT_EQ(cards->cellRect(0), zoomed.translated(5000, -7000));
    EXPECT_EQ(cards->cellRect(1), cards->zoom().map(second, centre));
}

TEST_F(Viewers, CardViewerShowsTheFrontCoverBlownUpToFillTheScreen) {
    select(cover(kFront, {800, 600}), std::nullopt);
    auto* viewer = dynamic_cast<FullScreenImageViewController*>(root->performSegue("ViewCard"));
    pumpEvents();
    CardCollectionView* cards = viewer->ZoomCollectionView;
    const QPointF corner(3, 3);
    EXPECT_FALSE(near(pixelOf(cards, corner), Qt::black));
    // The black square in the middle of the cover, a twentieth of it, now covers the screen.
    for (int i = 0; i < 40; ++i) QTest::keyClick(viewer, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_TRUE(near(pixelOf(cards, corner), Qt::black));
    EXPECT_TRUE(near(pixelOf(cards, QRectF(cards->rect()).center()), Qt::black));
}

// Its covers are decoded at full size for the cards: closing the viewer lets them go.
TEST_F(Viewers, CardViewerReleasesItsCoversWhenItCloses) {
    select(cover(kFront), cover(kBack));
    auto* viewer = dynamic_cast<FullScreenImageViewController*>(root->performSegue("ViewCard"));
    pumpEvents();
    ASSERT_NE(viewer, nullptr);
    viewer->ZoomCollectionView->grab();
    EXPECT_EQ(fixture.selection().SelectedImages.size(), 2);
    QPointer<FullScreenImageViewController> closing(viewer);
    back();
    EXPECT_TRUE(closing.isNull());
    EXPECT_TRUE(fixture.selection().SelectedImages.isEmpty());
}

TEST_F(Viewers, CardViewerShowsNothingForAMovieWithoutAFrontCover) {
    select(std::nullopt, cover(kBack));
    fixture.selection().SelectedImages = {QImage(10, 10, QImage::Format_RGB32)};
    auto* viewer = dynamic_cast<FullScreenImageViewController*>(root->performSegue("ViewCard"));
    pumpEvents();
    EXPECT_TRUE(fixture.selection().SelectedImages.isEmpty());
    EXPECT_EQ(viewer->ZoomCollectionView->numberOfItems(), 0);
}

}  // namespace
}  // namespace quillon::test
