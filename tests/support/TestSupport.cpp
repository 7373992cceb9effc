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

LogCapture::LogCapture() {
    previous_ = setDiagnosticSink([this](const QString& line) { lines << line; });
}

LogCapture::~LogCapture() { setDiagnosticSink(std::move(previous_)); }

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
