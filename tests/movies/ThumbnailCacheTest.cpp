#include <gtest/gtest.h>

#include <QBuffer>
#include <QSignalSpy>

#include "movies/ThumbnailCache.h"
#include "support/TestSupport.h"

using namespace quillon;

namespace {

// A picture whose left part is `left` and the rest `right`.
QByteArray jpeg(QSize size, QColor left, QColor right) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(right);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width() / 2; ++x) image.setPixelColor(x, y, left);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    return bytes;
}

QImage waitForThumbnail(ThumbnailCache& cache, const Movies& movie) {
    QSignalSpy ready(&cache, &ThumbnailCache::thumbnailReady);
    QImage image = cache.thumbnail(movie);
    for (int i = 0; image.isNull() && i < 100; ++i) {
        ready.wait(50);
        image = cache.thumbnail(movie);
    }
    return image;
}

TEST(ThumbnailCacheTest, CoversAreDecodedUprightAndScaledToTheBoxOffTheMainThread) {
    test::AppFixture app;
    auto saved = Movies::insertInto(app.context());
    saved->setImage(Attribute::frontImage, jpeg({1000, 1500}, Qt::blue, Qt::blue));
    auto broken = Movies::insertInto(app.context());
    broken->setImage(Attribute::frontImage, QByteArray("not a picture"));
    // A phone photo stored sideways with an EXIF note to turn it clockwise.
    auto sideways = Movies::insertInto(app.context());
    sideways->setImage(Attribute::frontImage,
                       test::withExifOrientation(jpeg({1000, 500}, Qt::red, Qt::blue), 6));
    ASSERT_TRUE(app.context().save());
    auto pending = Movies::insertInto(app.context());
    pending->setImage(Attribute::frontImage, jpeg({300, 200}, Qt::red, Qt::red));
    auto none = Movies::insertInto(app.context());

    const int mainThreadDecodes = ThumbnailCache::decodesOnMainThread();
    ThumbnailCache cache(QSize(56, 80));
    const QImage fromStore = waitForThumbnail(cache, *saved);
    ASSERT_EQ(fromStore.size(), QSize(53, 80));
    EXPECT_GT(QColor(fromStore.pixel(10, 10)).blue(), 200);
    EXPECT_EQ(waitForThumbnail(cache, *pending).width(), 56);  // 300x200 fits by its width
    EXPECT_TRUE(waitForThumbnail(cache, *broken).isNull());
    EXPECT_TRUE(cache.thumbnail(*none).isNull());
    const QImage upright = waitForThumbnail(cache, *sideways);
    ASSERT_EQ(upright.size(), QSize(40, 80));
    EXPECT_GT(QColor(upright.pixel(20, 10)).red(), 200) << "the left edge is the top";
    EXPECT_GT(QColor(upright.pixel(20, 70)).blue(), 200);
    EXPECT_EQ(ThumbnailCache::decodesOnMainThread(), mainThreadDecodes);

    // A changed cover is a new thumbnail.
    saved->setImage(Attribute::frontImage, jpeg({100, 100}, Qt::green, Qt::green));
    const QImage changed = waitForThumbnail(cache, *saved);
    ASSERT_FALSE(changed.isNull());
    EXPECT_GT(QColor(changed.pixel(5, 5)).green(), 200);
}

}  // namespace
