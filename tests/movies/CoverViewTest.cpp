#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

#include "movies/CoverView.h"
#include "platform/CoverImage.h"
#include "support/TestSupport.h"

using namespace quillon;

namespace {

// A picture whose top half is red and the rest blue.
QImage twoColours(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, size.width(), size.height() / 2, Qt::red);
    return image;
}

QByteArray encoded(const QImage& image, const char* format, int quality = 95) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

QSize fitted(QSize size) {
    return size.scaled(CoverView::viewBox(), Qt::KeepAspectRatio);
}

bool awaitDecode(CoverView& view) {
    QSignalSpy finished(&view, &CoverView::decodeFinished);
    return !view.isDecoding() || finished.wait(10000);
}

class CoverViewTest : public ::testing::Test {
protected:
    test::AppFixture app;
    QTemporaryDir files;
    CoverView view;
};

// A stored cover is decoded scaled for the view off the main thread and is never new; an absent
// one leaves the view as it is. A picture taken in while a stored one decodes wins.
TEST_F(CoverViewTest, StoredCoversAreShownScaledAndNeverNew) {
    const QByteArray stored = encoded(twoColours({1600, 2400}), "JPG");
    auto movie = Movies::insertInto(app.context());
    movie->setImage(Attribute::frontImage, stored);
    ASSERT_TRUE(app.context().save());
    view.showStored(*movie, Attribute::frontImage);
    EXPECT_TRUE(view.hasPicture() && view.isDecoding());
    ASSERT_TRUE(awaitDecode(view));
    EXPECT_EQ(view.shownImage().size(), fitted({1600, 2400}));
    EXPECT_FALSE(view.hasNewPicture());
    view.showStored(*movie, Attribute::backImage);
    EXPECT_EQ(view.shownImage().size(), fitted({1600, 2400})) << "no back cover: the view stays";

    view.showStored(*movie, Attribute::frontImage);
    view.takeNewPicture(twoColours({30, 40}));
    QThreadPool::globalInstance()->waitForDone();
    test::pumpEvents();
    EXPECT_EQ(view.shownImage().size(), QSize(30, 40)) << "the late stored picture is dropped";
}

// A new picture is kept at its full size and stored as JPEG at quality 0.6 of that size, upright,
// never the copy scaled for the view. Files: unreadable is an error and keeps the picture, not a
// picture empties the view.
TEST_F(CoverViewTest, NewPicturesAreStoredWholeAtQualitySixty) {
    const QImage big = twoColours({1000, 1500});
    view.takeNewPicture(big);
    EXPECT_EQ(view.shownImage().size(), fitted(big.size()));
    EXPECT_EQ(view.newPicture().encodeForStore(), encoded(big, "JPG", 60));

    const QString png = files.filePath("cover.png");
    ASSERT_TRUE(test::writeBytes(png, encoded(big, "PNG")));
    ASSERT_TRUE(view.loadFile(png).ok);
    EXPECT_TRUE(view.hasNewPicture());
    EXPECT_EQ(view.newPicture().encodeForStore(), encoded(big, "JPG", 60));

    const QString turned = files.filePath("turned.jpg");
    ASSERT_TRUE(test::writeBytes(turned, test::withExifOrientation(encoded(big, "JPG"), 6)));
    ASSERT_TRUE(view.loadFile(turned).ok);
    EXPECT_EQ(view.shownImage().size(), fitted({1500, 1000}));
    EXPECT_EQ(decodeCover(view.newPicture().encodeForStore()).image.size(), QSize(1500, 1000));

    const Status missing = view.loadFile(files.filePath("missing.png"));
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.describe().contains("missing.png"));
    EXPECT_TRUE(view.hasNewPicture() && !view.shownImage().isNull());

    const QString text = files.filePath("notes.txt");
    ASSERT_TRUE(test::writeBytes(text, "not a picture"));
    ASSERT_TRUE(view.loadFile(text).ok);
    EXPECT_FALSE(view.hasPicture() || view.hasNewPicture() || !view.shownImage().isNull());
}

// Drops of picture data are taken in; a dropped file is handed on; a double click is told.
TEST_F(CoverViewTest, DropsAndDoubleClicks) {
    QSignalSpy dropped(&view, &CoverView::fileDropped);
    QSignalSpy pictured(&view, &CoverView::pictureDropped);
    QSignalSpy doubled(&view, &CoverView::doubleClicked);
    // As a drag does it: the drop goes to the widget that accepted the drag's entry.
    const auto drop = [&](QMimeData* mime) {
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
        delete mime;
    };
    auto* data = new QMimeData;
    data->setImageData(twoColours({20, 10}));
    drop(data);
    EXPECT_EQ(pictured.count(), 1);
    EXPECT_TRUE(view.hasNewPicture());
    EXPECT_EQ(view.shownImage().size(), QSize(20, 10));
    auto* file = new QMimeData;
    file->setUrls({QUrl::fromLocalFile(files.filePath("cover.jpg"))});
    drop(file);
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(dropped.at(0).at(0).toString(), files.filePath("cover.jpg"));
    QTest::mouseDClick(&view, Qt::LeftButton);
    EXPECT_EQ(doubled.count(), 1);
}

}  // namespace
