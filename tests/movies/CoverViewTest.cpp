#include <gtest/gtest.h>

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

QImage picture(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, size.width(), size.height() / 2, Qt::red);
    return image;
}

QSize fitted(QSize size) {
    return size.scaled(CoverView::viewBox(), Qt::KeepAspectRatio);
}

class CoverViewTest : public ::testing::Test {
protected:
    test::AppFixture app;
    QTemporaryDir files;
    CoverView view;
};

// A stored cover is decoded scaled for the view off the main thread and is never new; an absent
// one leaves the view as it is; a picture taken in while a stored one decodes wins.
TEST_F(CoverViewTest, StoredCoversAreShownScaledAndNeverNew) {
    auto movie = Movies::insertInto(app.context());
    movie->setImage(Attribute::frontImage, encodeJpeg(picture({1600, 2400}), 95));
    ASSERT_TRUE(app.context().save());
    view.showStored(*movie, Attribute::frontImage);
    EXPECT_TRUE(view.hasPicture() && view.isDecoding());
    QSignalSpy decoded(&view, &CoverView::decodeFinished);
    ASSERT_TRUE(decoded.wait(20000));
    EXPECT_EQ(view.shownImage().size(), fitted({1600, 2400}));
    EXPECT_FALSE(view.hasNewPicture());
    view.showStored(*movie, Attribute::backImage);
    EXPECT_EQ(view.shownImage().size(), fitted({1600, 2400})) << "no back cover: the view stays";

    view.showStored(*movie, Attribute::frontImage);
    view.takeNewPicture(picture({30, 40}));
    QThreadPool::globalInstance()->waitForDone();
    test::pumpEvents();
    EXPECT_EQ(view.shownImage().size(), QSize(30, 40)) << "the late stored picture is dropped";
}

// A new picture is kept whole and stored as JPEG at quality 0.6 of its own size, upright, never
// the copy scaled for the view. A file that cannot be read is an error and the picture stays; a
// file that is not a picture empties the view.
TEST_F(CoverViewTest, NewPicturesAreStoredWholeAtQualitySixty) {
    const QImage big = picture({1000, 1500});
    view.takeNewPicture(big);
    EXPECT_EQ(view.shownImage().size(), fitted(big.size()));
    EXPECT_EQ(view.newPicture().encodeForStore(), encodeJpeg(big, 60));
    const QString png = files.filePath("cover.png");
    ASSERT_TRUE(big.save(png));
    ASSERT_TRUE(view.loadFile(png).ok);
    EXPECT_EQ(view.newPicture().encodeForStore(), encodeJpeg(big, 60));
    const QString turned = files.filePath("turned.jpg");
    ASSERT_TRUE(test::writeBytes(turned, test::withExifOrientation(encodeJpeg(big, 95), 6)));
    ASSERT_TRUE(view.loadFile(turned).ok);
    EXPECT_EQ(view.shownImage().size(), fitted({1500, 1000}));
    EXPECT_EQ(decodeCover(view.newPicture().encodeForStore()).image.size(), QSize(1500, 1000));

    const Status missing = view.loadFile(files.filePath("missing.png"));
    EXPECT_TRUE(!missing.ok && missing.describe().contains("missing.png"));
    EXPECT_TRUE(view.hasNewPicture() && !view.shownImage().isNull());
    const QString text = files.filePath("notes.txt");
    ASSERT_TRUE(test::writeBytes(text, "not a picture"));
    ASSERT_TRUE(view.loadFile(text).ok);
    EXPECT_FALSE(view.hasPicture() || view.hasNewPicture() || !view.shownImage().isNull());
}

// Dropped picture data is taken in; a dropped file is handed on; a double click is told.
TEST_F(CoverViewTest, DropsAndDoubleClicks) {
    QSignalSpy dropped(&view, &CoverView::fileDropped);
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
    data->setImageData(picture({20, 10}));
    drop(data);
    EXPECT_TRUE(view.hasNewPicture());
    EXPECT_EQ(view.shownImage().size(), QSize(20, 10));
    auto* file = new QMimeData;
    file->setUrls({QUrl::fromLocalFile(files.filePath("cover.jpg"))});
    drop(file);
    EXPECT_EQ(dropped.value(0).value(0).toString(), files.filePath("cover.jpg"));
    QTest::mouseDClick(&view, Qt::LeftButton);
    EXPECT_EQ(doubled.count(), 1);
}

}  // namespace
