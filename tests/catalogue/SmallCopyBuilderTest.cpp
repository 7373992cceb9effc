#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QElapsedTimer>

#include "ReportTestUtil.h"
#include "catalogue/SmallCopyBuilder.h"
#include "images/CoverImage.h"
#include "support/TestSupport.h"

namespace quillon {
namespace {

constexpr int kMovies = 20;  // 40 covers: three batches

// A store as a version without small copies left it: covers, no copies, schema 1. Movie i has a
// 600 x 900 front cover; the first one's back cover is 900 x 600 and tagged to be turned.
std::unique_ptr<CatalogueStore> oldStore(const QString& dataDir) {
    Status status;
    auto store = CatalogueStore::open(dataDir, &status);
    for (int i = 0; i < kMovies; ++i) {
        auto movie = test::addMovie(store->viewContext(), {{Attribute::name, QString::number(i)}});
        movie->setImage(Attribute::frontImage,
                        test::jpegOf({600, 900}, QColor::fromHsv(i, 200, 200)));
        movie->setImage(Attribute::backImage,
                        i == 0 ? test::withExifOrientation(test::jpegOf({900, 600}, Qt::blue), 6)
                               : test::jpegOf({600, 900}, Qt::gray));
    }
    EXPECT_TRUE(store->viewContext().save());
    store.reset();
    sqlite3* db = nullptr;
    sqlite3_open(QDir(dataDir).filePath(CatalogueStore::kFileName).toUtf8().constData(), &db);
    EXPECT_EQ(sqlite3_exec(db, "DROP TABLE SmallCovers; PRAGMA user_version = 1", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    store = CatalogueStore::open(dataDir, &status);
    EXPECT_TRUE(store) << status.describe().toStdString();
    return store;
}

bool waitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 20000) test::pumpEvents(5);
    return done();
}

TEST(SmallCopyBuilderTest, AnOldStoreGainsItsSmallCopiesAndABuildStoppedHalfWayGoesOn) {
    QTemporaryDir dir;
    auto store = oldStore(dir.path());
    ManagedObjectContext& context = store->viewContext();
    ASSERT_EQ(context.coversWithoutSmallCopy().size(), size_t(2 * kMovies));
    {
        // Closing the window part way: the builder goes with it after its first batch.
        SmallCopyBuilder builder(context);
        builder.start();
        ASSERT_TRUE(waitFor([&] { return builder.done() > 0; }));
        EXPECT_LT(builder.done(), builder.total());
    }
    store.reset();
    Status status;
    store = CatalogueStore::open(dir.path(), &status);
    ASSERT_TRUE(store) << status.describe().toStdString();
    const size_t left = store->viewContext().coversWithoutSmallCopy().size();
    EXPECT_GT(left, 0u);
    EXPECT_LT(left, size_t(2 * kMovies));

    SmallCopyBuilder builder(store->viewContext());
    std::optional<Status> finished;
    QObject::connect(&builder, &SmallCopyBuilder::finished,
                     [&finished](const Status& status) { finished = status; });
    builder.start();
    EXPECT_EQ(builder.total(), int(left)) << "only the covers still without one";
    ASSERT_TRUE(waitFor([&] { return finished.has_value(); }));
    EXPECT_TRUE(finished->ok) << finished->describe().toStdString();
    EXPECT_TRUE(store->viewContext().coversWithoutSmallCopy().empty());

    SavedCoverReader reader;
    const auto movies = store->viewContext().fetch<Movies>();
    for (const MoviePtr& movie : movies) {
        for (Attribute side : {Attribute::frontImage, Attribute::backImage}) {
            const auto small = reader.readSmall(*movie->savedCover(side));
            ASSERT_TRUE(small);
            const bool turned = movie == movies.front() && side == Attribute::backImage;
            EXPECT_EQ(small->coverSize, QSize(600, 900));  // upright: the turned one too
            const QImage picture = decodeCover(small->bytes).image;
            EXPECT_EQ(picture.size(), QSize(266, 400)) << "upright, fitting 400 x 400";
            if (turned) {
                EXPECT_GT(picture.pixelColor(133, 200).blue(), 200);
            }
        }
    }
}

}  // namespace
}  // namespace quillon
