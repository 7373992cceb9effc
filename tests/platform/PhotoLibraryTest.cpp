#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include "platform/PhotoLibrary.h"
#include "support/TestSupport.h"

namespace quillon::test {
namespace {

QImage picture(QColor colour) {
    return filledImage({40, 30}, colour);
}

const QDateTime kTaken(QDate(2026, 12, 7), QTime(10, 15, 3));

class PhotoLibrary : public ::testing::Test {
protected:
    QString folder() const { return QDir(dir.path()).filePath("Pictures/Quillon"); }
    QTemporaryDir dir;
    DesktopPhotoLibrary library{folder(), [] { return kTaken; }};
};

TEST_F(PhotoLibrary, GivesEveryPictureANewTimestampedNameAndKeepsTheEarlierOnes) {
    QString error;
    const QString first = library.addPicture(picture(Qt::red), &error);
    ASSERT_FALSE(first.isEmpty()) << error.toStdString();
    const QByteArray firstBytes = contents(first);
    const QString second = library.addPicture(picture(Qt::green), &error);
    const QString third = library.addPicture(picture(Qt::blue), &error);

    EXPECT_EQ(QFileInfo(first).fileName(), "Quillon 2026-12-07 10.15.03.png");
    EXPECT_EQ(QFileInfo(second).fileName(), "Quillon 2026-12-07 10.15.03 2.png");
    EXPECT_EQ(QFileInfo(third).fileName(), "Quillon 2026-12-07 10.15.03 3.png");
    EXPECT_EQ(QFileInfo(first).path(), folder());
    EXPECT_EQ(contents(first), firstBytes);
    // Each file holds its own picture, as PNG.
    const std::pair<QString, QColor> expected[] = {
        {first, Qt::red}, {second, Qt::green}, {third, Qt::blue}};
    for (const auto& [path, colour] : expected) {
        QImage read(path, "PNG");
        ASSERT_FALSE(read.isNull()) << path.toStdString();
        EXPECT_EQ(read.size(), QSize(40, 30));
        EXPECT_EQ(read.pixelColor(5, 5), colour) << path.toStdString();
    }
}

TEST_F(PhotoLibrary, PassesOverASymlinkPlantedAtTheNextName) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    const QString target = dir.filePath("elsewhere.txt");
    ASSERT_TRUE(writeBytes(target, "not a picture"));
    const QString planted = QDir(folder()).filePath("Quillon 2026-12-07 10.15.03.png");
    ASSERT_TRUE(QFile::link(target, planted));

    QString error;
    const QString added = library.addPicture(picture(Qt::red), &error);
    EXPECT_EQ(QFileInfo(added).fileName(), "Quillon 2026-12-07 10.15.03 2.png")
        << error.toStdString();
    EXPECT_EQ(contents(target), "not a picture");
    EXPECT_EQ(QFileInfo(planted).symLinkTarget(), target);
    EXPECT_FALSE(QFileInfo(added).isSymLink());
}

TEST_F(PhotoLibrary, RefusesAFolderThatIsASymlink) {
    const QString elsewhere = dir.filePath("elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("Pictures")));
    ASSERT_TRUE(QFile::link(elsewhere, folder()));

    QString error;
    EXPECT_EQ(library.addPicture(picture(Qt::red), &error), "");
    EXPECT_TRUE(error.contains("symbolic link")) << error.toStdString();
    EXPECT_TRUE(QDir(elsewhere).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

}  // namespace
}  // namespace quillon::test
