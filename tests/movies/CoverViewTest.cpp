#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>
#include <QtEndian>
#include <atomic>
#include <thread>

#include "images/CoverImage.h"
#include "movies/CoverView.h"
#include "movies/EditMoviesViewController.h"
#include "support/TestSupport.h"
#include "toolkit/NavigationController.h"

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

// Loads a file as the form does: the call returns at once, the outcome comes later. Returns why
// the file was refused; empty when it was taken in.
QString load(CoverView& view, const QString& path) {
    QSignalSpy refused(&view, &CoverView::pictureRefused);
    QSignalSpy done(&view, &CoverView::decodeFinished);
    view.loadFile(path);
    EXPECT_TRUE(view.isLoadingFile());
    if (!done.wait(20000)) return "(no end)";
    return refused.isEmpty() ? QString() : refused.at(0).at(0).toString();
}

class CoverViewTest : public ::testing::Test {
protected:
    test::AppFixture app;
    QTemporaryDir files;
    CoverView view;
};

// A screen reader hears whether a cover view holds a picture, and the whole picture's size.
TEST_F(CoverViewTest, TheDescriptionSaysNoPictureOrThePicturesSize) {
    const auto described = [this] { return view.accessibleDescription(); };
    EXPECT_EQ(described(), "no picture");
    auto movie = Movies::insertInto(app.context());
    movie->setImage(Attribute::frontImage, encodeJpeg(picture({1600, 2400}), 95));
    QSignalSpy decoded(&view, &CoverView::decodeFinished);
    view.showStored(*movie, Attribute::frontImage);
    ASSERT_TRUE(decoded.wait(20000));
    EXPECT_EQ(described(), "1600 by 2400 pixels");
    view.takeNewPicture(picture({300, 200}));
    EXPECT_EQ(described(), "300 by 200 pixels");
    view.clear();
    EXPECT_EQ(described(), "no picture");
}

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

    const QString missing = load(view, files.filePath("missing.png"));
    EXPECT_TRUE(missing.contains("missing.png")) << missing.toStdString();
    EXPECT_TRUE(view.hasNewPicture() && !view.shownImage().isNull());
    const QString text = files.filePath("notes.txt");
    ASSERT_TRUE(test::writeBytes(text, "not a picture"));
    ASSERT_EQ(load(view, text), "");
    EXPECT_FALSE(view.hasPicture() || view.hasNewPicture() || !view.shownImage().isNull());

    // A picture at hand that could not be stored is refused too (a mono one costs 21 MB here).
    QSignalSpy refused(&view, &CoverView::pictureRefused);
    EXPECT_FALSE(view.takeNewPicture(QImage(13000, 13000, QImage::Format_Mono)));
    EXPECT_TRUE(refused.value(0).value(0).toString().startsWith("The picture is 13000 x 13000"));
    EXPECT_FALSE(view.hasPicture());
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

// A PNG whose header says `size`, made without its pixels: its data ends after the first byte, so
// only its size can refuse it.
QByteArray pngOfSize(QSize size) {
    const auto bigEndian = [](quint32 value) {
        QByteArray bytes(4, 0);
        qToBigEndian(value, bytes.data());
        return bytes;
    };
    const auto chunk = [&](const char* type, const QByteArray& data) {
        const QByteArray body = type + data;
        quint32 crc = 0xFFFFFFFF;
        for (char c : body) {
            crc ^= quint8(c);
            for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
        }
        return bigEndian(quint32(data.size())) + body + bigEndian(~crc);
    };
    const QByteArray header = bigEndian(size.width()) + bigEndian(size.height()) +
                              QByteArray("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
    return "\x89PNG\r\n\x1A\n" + chunk("IHDR", header) +
           chunk("IDAT", qCompress(QByteArray(1, 0)).mid(4)) + chunk("IEND", {});
}

// Two colours: the upper and lower half, or the left and right half.
QImage halves(QSize size, QColor first, QColor second, Qt::Orientation split) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(second);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QSize half = split == Qt::Vertical ? QSize(size.width(), size.height() / 2)
                                             : QSize(size.width() / 2, size.height());
    painter.fillRect(QRect(QPoint(), half), first);
    return image;
}

bool looksLike(const QImage& seen, const QImage& wanted) {
    if (seen.size() != wanted.size()) return false;
    for (double fx : {0.1, 0.9})
        for (double fy : {0.1, 0.9}) {
            const QPoint at(int(fx * seen.width()), int(fy * seen.height()));
            const QColor a = seen.pixelColor(at), b = wanted.pixelColor(at);
            if (std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                    std::abs(a.blue() - b.blue()) >
                60)
                return false;
        }
    return true;
}

// Opens a FIFO for writing as soon as anyone reads it, and closes it again, so that a reader
// that blocked on it goes on; says whether it had to.
class FifoUnblocker {
public:
    explicit FifoUnblocker(const QString& path)
        : thread_([this, name = QFile::encodeName(path)] {
              while (!stop_) {
                  if (const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK); fd >= 0) {
                      ::close(fd);
                      unblocked_ = true;
                      return;
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          }) {}
    ~FifoUnblocker() {
        stop_ = true;
        thread_.join();
    }
    bool hadToUnblock() const { return unblocked_; }

private:
    std::atomic<bool> stop_ = false;
    std::atomic<bool> unblocked_ = false;
    std::thread thread_;
};

// The edit form of a movie with a front cover, shown.
class CoverFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        movie = Movies::insertInto(app.context());
        movie->setName(QString("Alien"));
        movie->setYear(1979);
        movie->setImage(Attribute::frontImage, encodeJpeg(picture({30, 40}), 95));
        ASSERT_TRUE(app.context().save());
        nav = test::showNavigation(new ViewController);
        form = new EditMoviesViewController(app.services());
        form->setDetailItem(movie);
        nav->pushViewController(form);
        waitForCovers();
    }
    void waitForCovers() {
        for (auto cover : {MovieFormViewController::Front, MovieFormViewController::Back}) {
            QSignalSpy done(form->coverView(cover), &CoverView::decodeFinished);
            if (form->coverView(cover)->isDecoding()) {
                ASSERT_TRUE(done.wait(20000));
            }
        }
    }

    test::AppFixture app;
    QTemporaryDir files;
    MoviePtr movie;
    std::unique_ptr<NavigationController> nav;
    EditMoviesViewController* form = nullptr;
};

// Picture files into a cover. The load returns at once and the window goes on answering (a FIFO
// nobody writes to included). What cannot become a stored cover is refused with the reason, the
// view and the stored cover stay as they were, and Save stores the other fields. What is taken in
// is stored as a printed cover would look: upright, with white where it was transparent.
TEST_F(CoverFormTest, PictureFilesIntoACover) {
    const auto path = [&](const char* name) { return files.filePath(name); };
    const auto write = [&](const char* name, const QByteArray& bytes) {
        EXPECT_TRUE(test::writeBytes(path(name), bytes));
        return path(name);
    };
    const QString notRegular = " is not a regular file. Only picture files can be loaded.";
    const QString damaged = "The picture is cut short or damaged, so it cannot be stored.";
    const QImage upright = halves({40, 60}, Qt::red, Qt::blue, Qt::Vertical);
    const QImage seeThrough = halves({60, 40}, Qt::transparent, Qt::red, Qt::Horizontal);
    const QByteArray jpeg = test::imageBytes(upright, "JPG"),
                     png = test::imageBytes(upright, "PNG");

    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    // A device node of our own, as a null device: on a faulty build it ends at once.
    const bool device =
        ::mknod(QFile::encodeName(path("device")).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    QFile big(path("big.png"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize((qint64(600) << 20) + 1));
    big.close();
    ASSERT_TRUE(
        QFile::link(write("seeThrough.png", test::imageBytes(seeThrough, "PNG")), path("link")));
    const struct {
        QString file;
        QString told;   // after "Image Not Loaded: "; empty when taken in
        QImage stored;  // as stored when taken in
    } cases[] = {
        {path("pipe"), path("pipe") + notRegular, {}},
        {device ? path("device") : QString(), path("device") + notRegular, {}},
        {files.path(), files.path() + notRegular, {}},
        {path("big.png"),
         path("big.png") + " is larger than 600 MB, the most a cover may take.",
         {}},
        {write("huge.png", pngOfSize({13000, 13000})),
         "The picture is 13000 x 13000 pixels, too large to be stored: decoded it would take "
         "645 MB, and a cover may take at most 600 MB.",
         {}},
        {write("short.jpg", jpeg.chopped(40)), damaged, {}},
        {write("short.png", png.chopped(12)), damaged, {}},
        {write("halfway.png", png.left(png.size() / 2)), damaged, {}},
        {path("seeThrough.png"), {}, halves({60, 40}, Qt::white, Qt::red, Qt::Horizontal)},
        {path("link"), {}, halves({60, 40}, Qt::white, Qt::red, Qt::Horizontal)},
        {write("turned.jpg",
               test::withExifOrientation(
                   test::imageBytes(upright.transformed(QTransform().rotate(-90)), "JPG"), 6)),
         {},
         upright},
    };
    CoverView* view = form->coverView(MovieFormViewController::Front);
    int row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        if (c.file.isEmpty()) {
            std::cerr << "[  SKIPPED ] a device node: mknod needs root\n";
            continue;
        }
        const QByteArray before = *movie->frontImage();
        const QImage shownBefore = view->shownImage();
        QString refusal;
        {
            FifoUnblocker unblocker(path("pipe"));
            QSignalSpy done(view, &CoverView::decodeFinished);
            form->loadFileInto(MovieFormViewController::Front, c.file);
            EXPECT_TRUE(view->isLoadingFile()) << "the load returned before its outcome";
            ASSERT_TRUE(done.wait(20000));
            EXPECT_FALSE(unblocker.hadToUnblock()) << "the FIFO was opened";
        }
        EXPECT_EQ(test::answerAlert(),
                  c.told.isEmpty() ? QString() : "Image Not Loaded / " + c.told);
        form->entry(FormField::Writer)->setText(QString("Writer %1").arg(++row));
        QSignalSpy saved(form, &MovieFormViewController::saveFinished);
        form->SaveButtonClicked();
        ASSERT_TRUE(saved.count() || saved.wait(20000));
        EXPECT_TRUE(saved.at(0).at(0).toBool());
        EXPECT_EQ(movie->writer(), QString("Writer %1").arg(row));
        if (c.stored.isNull()) {
            EXPECT_EQ(view->shownImage(), shownBefore);
            EXPECT_EQ(movie->frontImage(), before);
        } else {
            EXPECT_EQ(view->shownImage().size(), c.stored.size());
            EXPECT_TRUE(looksLike(decodeCover(*movie->frontImage()).image, c.stored));
        }
    }
}

// One camera capture at a time, for the cover that asked: while it is open, Camera asks for no
// other, and a file picked for the other cover neither takes the capture over nor is lost.
TEST_F(CoverFormTest, OneCameraCaptureAtATimeForTheCoverThatAskedForIt) {
    test::FakeCamera& camera = app.devices().camera;
    camera.answers = false;
    camera.next = picture({60, 80});
    form->openCamera(MovieFormViewController::Front);
    form->openCamera(MovieFormViewController::Back);
    form->openCamera(MovieFormViewController::Front);
    EXPECT_EQ(camera.captures, 1);
    app.devices().picker.next = files.filePath("back.png");
    ASSERT_TRUE(picture({20, 10}).save(app.devices().picker.next));
    CoverView* back = form->coverView(MovieFormViewController::Back);
    QSignalSpy loaded(back, &CoverView::decodeFinished);
    form->attachImage(MovieFormViewController::Back);
    ASSERT_TRUE(loaded.wait(20000));

    camera.finish();
    EXPECT_EQ(form->chosenFrontImage, camera.next);
    EXPECT_TRUE(form->chosenBackImage.isNull() && !form->isFromCamera);
    EXPECT_EQ(form->coverView(MovieFormViewController::Front)->shownImage().size(), QSize(60, 80));
    EXPECT_EQ(back->shownImage().size(), QSize(20, 10));
    form->openCamera(MovieFormViewController::Back);
    EXPECT_EQ(camera.captures, 2) << "the next capture, once that one ended";
}

}  // namespace
