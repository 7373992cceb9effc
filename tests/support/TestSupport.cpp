#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include "platform/DataFolders.h"
#include "store/SelectionState.h"

namespace quillon::test {

AppFixture::AppFixture() {
    DataFolders::setDataDir(dir_.path());
    SelectionState::shared().reset();
    app_ = std::make_unique<AppDelegate>(dir_.path());
}

AppFixture::~AppFixture() {
    app_.reset();
    DataFolders::setDataDir({});
}

void AppFixture::restart() {
    app_.reset();
    app_ = std::make_unique<AppDelegate>(dir_.path());
}

QByteArray withExifOrientation(const QByteArray& jpeg, int orientation) {
    // APP1 "Exif": a big-endian TIFF header and one IFD entry, Orientation (0x0112), a SHORT.
    QByteArray exif = QByteArray::fromHex(
        "FFE10022457869660000"
        "4D4D002A00000008"
        "0001"
        "011200030000000100000000"
        "00000000");
    exif[29] = char(orientation);
    return jpeg.left(2) + exif + jpeg.mid(2);
}

LogCapture::LogCapture() {
    previous_ = setDiagnosticSink([this](const QString& line) { lines << line; });
}

LogCapture::~LogCapture() {
    setDiagnosticSink(std::move(previous_));
}

void pumpEvents(int ms) {
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (timer.elapsed() < ms);
    QCoreApplication::processEvents();
    // Outside an event loop deleteLater() waits for this.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace quillon::test
