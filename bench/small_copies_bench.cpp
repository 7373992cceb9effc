// small_copies_bench DATA_DIR: the small copies of a store made before they were kept (made by
// quillon_generate --old-store), built in the background as the program builds them after its
// window opens, while a 5 ms tick on the main thread notes the longest time it waited.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "app/AppDelegate.h"
#include "catalogue/SmallCopyBuilder.h"

using namespace quillon;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: small_copies_bench DATA_DIR\n");
        return 2;
    }
    AppDelegate delegate(QString::fromLocal8Bit(argv[1]));
    if (const Status status = delegate.openStore(); !status) {
        std::fprintf(stderr, "%s\n", qPrintable(status.describe()));
        return 1;
    }
    SmallCopyBuilder* builder = delegate.smallCopyBuilder();
    QElapsedTimer sinceTick;
    qint64 worstGap = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout,
                     [&] { worstGap = std::max(worstGap, sinceTick.restart()); });
    Status result;
    QObject::connect(builder, &SmallCopyBuilder::finished, [&](const Status& status) {
        result = status;
        app.quit();
    });
    QElapsedTimer total;
    total.start();
    sinceTick.start();
    tick.start();
    builder->start();
    const int covers = builder->total();
    app.exec();
    if (!result) {
        std::fprintf(stderr, "%s\n", qPrintable(result.describe()));
        return 1;
    }
    std::printf(
        "%d small copies made in the background in %.1f s; the main thread waited at most "
        "%lld ms (target <= 100 ms)\n",
        covers, double(total.elapsed()) / 1000, worstGap);
    return 0;
}
