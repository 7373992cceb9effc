// Peak memory of the large-image viewer on a movie with two 12-megapixel covers (4000 x 3000
// JPEG): the viewer is opened, each cover zoomed step by step to 10x and back, painting every
// step. Offscreen, in-process. The covers are made by a child run of this program, so that making
// them does not count.
//   viewer_memory [COVER_DIR]      COVER_DIR keeps the two covers between runs (default: temporary)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>

#include "BenchSupport.h"
#include "app/AppDelegate.h"
#include "movies/ViewLargeImagesViewController.h"
#include "toolkit/NavigationController.h"

using namespace quillon;
using namespace quillon::bench;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void settle(QWidget* widget) {
    widget->repaint();
    QCoreApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && QByteArray(argv[1]) == "--make-covers") {
        QCoreApplication app(argc, argv);
        const QDir dir(QString::fromLocal8Bit(argv[2]));
        return makePhotoLikeJpeg(dir.filePath("front.jpg"), 1) &&
                       makePhotoLikeJpeg(dir.filePath("back.jpg"), 2)
                   ? 0
                   : 1;
    }
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    const QDir covers(argc > 1 ? QString::fromLocal8Bit(argv[1]) : scratch.path());
    if (!covers.exists("front.jpg") || !covers.exists("back.jpg")) {
        QDir().mkpath(covers.path());
        if (QProcess::execute(QCoreApplication::applicationFilePath(),
                              {"--make-covers", covers.path()}) != 0) {
            std::fprintf(stderr, "could not make the covers in %s\n", qPrintable(covers.path()));
            return 1;
        }
    }

    QTemporaryDir dataDir;
    AppDelegate delegate(dataDir.path());
    if (!delegate.openStore()) {
        std::fprintf(stderr, "could not open a catalogue in %s\n", qPrintable(dataDir.path()));
        return 1;
    }
    Services& services = delegate.services();
    services.selection.SelectedFrontImage = readAll(covers.filePath("front.jpg"));
    services.selection.SelectedBackImage = readAll(covers.filePath("back.jpg"));
    const long baseline = currentRssMb();

    NavigationController window(new ViewController);
    window.resize(420, 800);
    window.show();
    settle(&window);
    QElapsedTimer timer;
    timer.start();
    auto* viewer = new ViewLargeImagesViewController(services);
    window.pushViewController(viewer);
    settle(&window);
    const double openMs = timer.nsecsElapsed() / 1e6;
    const long opened = currentRssMb();

    QScrollBar* scroll = viewer->clCollectionView->verticalScrollBar();
    for (int i = 0; i < viewer->numberOfItems(); ++i) {
        MovieCollectionViewCell* cell = viewer->cellForItem(i);
        scroll->setValue(cell->y());
        settle(&window);
        while (cell->zoom() < MovieCollectionViewCell::maxZoom) {
            cell->zoomAboutCentre(1.25);
            settle(&window);
        }
        cell->draggedView(QPointF(-300, -200));
        settle(&window);
        while (cell->zoom() > 1) {
            cell->zoomAboutCentre(1 / 1.25);
            settle(&window);
        }
    }

    std::printf("covers: 2 x 4000x3000 JPEG, %lld + %lld bytes\n",
                qint64(services.selection.SelectedFrontImage->size()),
                qint64(services.selection.SelectedBackImage->size()));
    std::printf("open until painted: %.0f ms\n", openMs);
    std::printf("resident before the viewer: %ld MB; with it open: %ld MB\n", baseline, opened);
    std::printf("reference: the two covers decoded once at 4 bytes a pixel: %d MB\n",
                2 * 4000 * 3000 * 4 / (1024 * 1024));
    std::printf(
        "peak RSS of the process (ru_maxrss), zoomed to 10x and back: %ld MB "
        "(target <= 250 MB)\n",
        peakRssMb());
    return 0;
}
