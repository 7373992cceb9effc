#include <gtest/gtest.h>

#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QTest>
#include <QToolButton>

#include "movies/FullScreenImageViewController.h"
#include "movies/ScreenShare.h"
#include "movies/ViewLargeImagesViewController.h"
#include "movies/ViewerSegues.h"
#include "platform/DataFolders.h"
#include "support/TestSupport.h"
#include "toolkit/NavigationController.h"

namespace quillon::test {
namespace {

// A screen with fine detail, so that JPEG qualities tell apart.
class Patterned : public ViewController {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, width(), height());
        gradient.setColorAt(0, QColor(250, 220, 40));
        gradient.setColorAt(1, QColor(20, 40, 160));
        painter.fillRect(rect(), gradient);
        for (int y = 0; y < height(); y += 7)
            painter.drawText(4, y, QStringLiteral("Alien 1979 Ridley Scott ") + QString::number(y));
    }
};

QImage throughJpeg(const QImage& image, int quality) {
    return QImage::fromData(imageBytes(image, "JPG", quality), "JPG");
}

class ScreenShareTest : public ::testing::Test {
protected:
    ScreenShareTest() {
        registerViewerSegues(fixture.storyboard());
        root = new Patterned;
        navigation = showNavigation(root, {360, 560}, &fixture.storyboard());
        pumpEvents();
    }
    ~ScreenShareTest() override { closeAlerts(); }

    AppFixture fixture;
    RecordingShareSheet& share = fixture.devices().share;
    RecordingPhotoLibrary& photos = fixture.devices().photos;
    ViewController* root = nullptr;
    std::unique_ptr<NavigationController> navigation;
};

TEST_F(ScreenShareTest, EachScreenSharesItsOwnItemsAtItsOwnQuality) {
    const QByteArray front = jpegOf({120, 90}, Qt::red), rear = jpegOf({120, 90}, Qt::blue);
    fixture.selection().SelectedFrontImage = front;
    fixture.selection().SelectedBackImage = rear;
    struct Member {
        const char* name;
        int quality;
        bool covers;
    };
    const Member members[] = {
        {"edit form", 75, false},
        {"large-image viewer", 100, false},
        {"card viewer", 100, true},
    };
    for (const Member& member : members) {
        SCOPED_TRACE(member.name);
        share.requests.clear();
        share.anchors.clear();
        photos.added.clear();
        QWidget* screen = nullptr;
        QImage kept;
        const QImage* keptBy = &kept;
        if (member.name == std::string("edit form")) {
            screen = root;
            shareScreen(root, kEditFormShare, fixture.services(), &kept);
        } else if (!member.covers) {
            auto* viewer =
                static_cast<ViewLargeImagesViewController*>(root->performSegue("ViewFullImage"));
            pumpEvents();
            screen = viewer;
            keptBy = &viewer->ScreenShotImage;
            QTest::mouseClick(viewer->shareButton(), Qt::LeftButton);
        } else {
            auto* viewer =
                static_cast<FullScreenImageViewController*>(root->performSegue("ViewCard"));
            pumpEvents();
            screen = viewer;
            keptBy = &viewer->ScreenShotImage;
            QTest::mouseClick(viewer->shareButton(), Qt::LeftButton);
        }

        // The picture of the screen goes to the photos in every case.
        ASSERT_EQ(photos.added.size(), 1);
        const QImage grabbed = screen->grab().toImage();
        EXPECT_EQ(photos.added[0], grabbed);
        ASSERT_NE(throughJpeg(grabbed, 75), throughJpeg(grabbed, 100));
        EXPECT_EQ(*keptBy, throughJpeg(grabbed, member.quality));

        ASSERT_EQ(share.requests.size(), 1);
        const ShareRequest& request = share.requests[0];
        EXPECT_EQ(share.anchors[0], screen);
        EXPECT_TRUE(request.texts.isEmpty());
        EXPECT_TRUE(request.urls.isEmpty());
        for (const QString& file : request.files)
            EXPECT_EQ(QFileInfo(file).path(), DataFolders::tempDir());
        if (member.covers) {
            ASSERT_EQ(request.files.size(), 2);
            EXPECT_EQ(QFileInfo(request.files[0]).fileName(), "Front Cover.jpg");
            EXPECT_EQ(contents(request.files[0]), front);
            EXPECT_EQ(contents(request.files[1]), rear);
        } else {
            ASSERT_EQ(request.files.size(), 1);
            EXPECT_EQ(QImage(request.files[0], "PNG").convertToFormat(keptBy->format()), *keptBy);
        }
        if (screen != root) {
            navigation->popViewController();
            pumpEvents();
        }
    }
    EXPECT_TRUE(alertTexts().isEmpty());
}

TEST_F(ScreenShareTest, TheCardViewerSharesTheCoversThereAre) {
    const QByteArray rear = jpegOf({120, 90}, Qt::blue);
    fixture.selection().SelectedBackImage = rear;
    shareScreen(root, kFullScreenViewerShare, fixture.services(), nullptr);
    ASSERT_EQ(share.requests.size(), 1);
    ASSERT_EQ(share.requests[0].files.size(), 1);
    EXPECT_EQ(QFileInfo(share.requests[0].files[0]).fileName(), "Back Cover.jpg");
    EXPECT_EQ(contents(share.requests[0].files[0]), rear);

    fixture.selection().SelectedBackImage.reset();
    shareScreen(root, kFullScreenViewerShare, fixture.services(), nullptr);
    EXPECT_EQ(share.requests.size(), 1);
    EXPECT_EQ(alertTexts(), QStringList{"Can't Share / This movie has no cover to share."});
}

TEST_F(ScreenShareTest, ADeviceThatCannotSendTextIsToldSoAfterTheClickAndNothingIsMade) {
    share.canText = false;
    QImage kept;
    shareScreen(root, kEditFormShare, fixture.services(), &kept);
    EXPECT_TRUE(alertTexts().isEmpty());
    pumpEvents();
    EXPECT_EQ(alertTexts(),
              QStringList{"Can't Send Text Message / Your device is not able to send text "
                          "messages."});
    EXPECT_TRUE(photos.added.isEmpty());
    EXPECT_TRUE(share.requests.isEmpty());
    EXPECT_TRUE(kept.isNull());
}

TEST_F(ScreenShareTest, APictureThePhotosRefuseIsToldAndTheShareGoesOn) {
    photos.error_ = "The disk is full";
    shareScreen(root, kLargeViewerShare, fixture.services(), nullptr);
    EXPECT_EQ(alertTexts(), QStringList{"Picture Not Saved / The picture of the screen could not "
                                        "be added to your pictures: The disk is full"});
    ASSERT_EQ(share.requests.size(), 1);
    EXPECT_EQ(share.requests[0].files.size(), 1);
}

}  // namespace
}  // namespace quillon::test
