#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

#include "app/AppDelegate.h"
#include "platform/DiagnosticLog.h"

// Readable QString values in test failures.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace quillon::test {

// A fresh data folder with its own AppDelegate; restores the process state on destruction.
class AppFixture {
public:
    AppFixture();
    ~AppFixture();
    QString dataDir() const { return dir_.path(); }
    AppDelegate& app() { return *app_; }
    ManagedObjectContext& context() { return app_->viewContext(); }
    // Drops the AppDelegate (saving nothing) and opens the same folder again: a restart.
    void restart();

private:
    QTemporaryDir dir_;
    std::unique_ptr<AppDelegate> app_;
};

// Collects diagnostic-log lines while alive.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    QStringList lines;

private:
    DiagnosticSink previous_;
};

// JPEG bytes with an EXIF orientation tag (6: turn clockwise to show upright).
QByteArray withExifOrientation(const QByteArray& jpeg, int orientation);

// Installs a replacement of a shared device service for the lifetime of the guard.
template <class Service, class Fake>
class Installed {
public:
    template <class... Args>
    explicit Installed(Args&&... args) {
        auto fake = std::make_unique<Fake>(std::forward<Args>(args)...);
        fake_ = fake.get();
        previous_ = Service::replaceShared(std::move(fake));
    }
    ~Installed() { Service::replaceShared(std::move(previous_)); }
    Fake* operator->() { return fake_; }
    Fake& operator*() { return *fake_; }

private:
    Fake* fake_;
    std::unique_ptr<Service> previous_;
};

// Processes queued events (and due timers) for up to `ms` milliseconds.
void pumpEvents(int ms = 0);

}  // namespace quillon::test
