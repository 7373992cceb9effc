#include <gtest/gtest.h>

#include <QBuffer>
#include <QSignalSpy>

#include "movies/MovieListQuery.h"
#include "movies/ThumbnailCache.h"
#include "support/TestSupport.h"

using namespace quillon;

namespace {

QByteArray jpeg(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
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

TEST(ThumbnailCacheTest, SavedAndPendingCoversAreDecodedScaledOffTheMainThread) {
    test::AppFixture app;
    auto saved = Movies::insertInto(app.context());
    saved->setImage(Attribute::frontImage, jpeg({1000, 1500}, Qt::blue));
    auto broken = Movies::insertInto(app.context());
    broken->setImage(Attribute::frontImage, QByteArray("not a picture"));
    ASSERT_TRUE(app.context().save());
    auto pending = Movies::insertInto(app.context());
    pending->setImage(Attribute::frontImage, jpeg({300, 200}, Qt::red));
    auto none = Movies::insertInto(app.context());

    const int mainThreadDecodes = ThumbnailCache::decodesOnMainThread();
    ThumbnailCache cache(QSize(56, 80));
    const QImage fromStore = waitForThumbnail(cache, *saved);
    ASSERT_FALSE(fromStore.isNull());
    EXPECT_LE(fromStore.width(), 56);
    EXPECT_LE(fromStore.height(), 80);
    EXPECT_EQ(QColor(fromStore.pixel(10, 10)).blue() > 200, true);
    const QImage fromMemory = waitForThumbnail(cache, *pending);
    ASSERT_FALSE(fromMemory.isNull());
    EXPECT_EQ(fromMemory.width(), 56);  // 300x200 fits the box by its width
    EXPECT_TRUE(waitForThumbnail(cache, *broken).isNull());
    EXPECT_TRUE(cache.thumbnail(*none).isNull());
    EXPECT_EQ(ThumbnailCache::decodesOnMainThread(), mainThreadDecodes);

    // A changed cover is a new thumbnail.
    saved->setImage(Attribute::frontImage, jpeg({100, 100}, Qt::green));
    const QImage changed = waitForThumbnail(cache, *saved);
    ASSERT_FALSE(changed.isNull());
    EXPECT_GT(QColor(changed.pixel(5, 5)).green(), 200);
}

// A phone photo stored sideways with an EXIF note to turn it clockwise (orientation 6).
QByteArray sidewaysJpeg(QSize stored) {
    QImage image(stored, QImage::Format_RGB32);  // left half red, right half blue
    image.fill(Qt::blue);
    for (int y = 0; y < stored.height(); ++y) {
        for (int x = 0; x < stored.width() / 2; ++x) image.setPixel(x, y, qRgb(255, 0, 0));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    return test::withExifOrientation(bytes, 6);
}

TEST(ThumbnailCacheTest, ThumbnailsAreUprightAndFitTheBoxUpright) {
    test::AppFixture app;
    auto movie = Movies::insertInto(app.context());
    movie->setImage(Attribute::frontImage, sidewaysJpeg({1000, 500}));
    ASSERT_TRUE(app.context().save());
    ThumbnailCache cache(QSize(56, 80));
    const QImage thumbnail = waitForThumbnail(cache, *movie);
    ASSERT_EQ(thumbnail.size(), QSize(40, 80));
    EXPECT_GT(QColor(thumbnail.pixel(20, 10)).red(), 200) << "the left edge is the top";
    EXPECT_GT(QColor(thumbnail.pixel(20, 70)).blue(), 200);
}

TEST(ThumbnailCacheTest, SearchPreparedInSlicesGivesTheSameRowsAsAtOnce) {
    test::AppFixture app;
    for (const char* name : {"Ärger", "arrow", "Barn", "CAR", "dog"}) {
        Movies::insertInto(app.context())->setName(QString::fromUtf8(name));
    }
    MovieListQuery query(app.context());
    query.SortAsc = true;
    query.fetchMovies();
    EXPECT_FALSE(query.prepareSearch(2));
    query.removeRow(0);  // "Barn" goes between two slices
    const auto names = [&] {
        QStringList out;
        for (const auto& m : query.rows()) out << *m->name();
        return out;
    };
    query.filterMovies("AR");
    EXPECT_EQ(names(), (QStringList{"CAR", "arrow"}));
    query.filterMovies("äR");
    EXPECT_EQ(names(), QStringList{QString::fromUtf8("Ärger")});
}

}  // namespace
