#pragma once

#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

#include "handover/SelectionState.h"
#include "handover/Services.h"
#include "platform/DiagnosticLog.h"
#include "store/CatalogueStore.h"
#include "store/DeleteHistory.h"
#include "support/Fakes.h"
#include "toolkit/NavigationController.h"
#include "toolkit/Storyboard.h"

// Readable QString values in test failures.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace quillon {
// Status codes by name in test failures.
inline void PrintTo(Status::Code code, std::ostream* os) {
    constexpr const char* kNames[] = {"Ok",      "NotFound", "Busy", "ReadOnly",
                                      "Corrupt", "TooBig",   "Io",   "Refused"};
    *os << kNames[int(code)];
}
}  // namespace quillon

namespace quillon {
class AlertController;
}  // namespace quillon

namespace quillon::test {

// A fresh data folder with an open catalogue and the services a screen is given: the real
// store and the program's own save (which tells the user), fake devices, an empty storyboard.
class AppFixture {
public:
    AppFixture();
    ~AppFixture();
    QString dataDir() const { return dir_.path(); }
    // The catalogue opens on first use, and again after a restart.
    CatalogueStore& store() { return open(), *store_; }
    ManagedObjectContext& context() { return store().viewContext(); }
    Services& services() { return open(), *services_; }
    FakeDevices& devices() { return devices_; }
    SelectionState& selection() { return selection_; }
    Storyboard& storyboard() { return open(), *storyboard_; }
    ReviewService& review() { return open(), *review_; }
    bool saveContext();
    // Closes the catalogue (saving nothing, giving up its lock); the next use opens the same
    // folder again: a restart. The services are made anew; screens made before must be gone.
    void restart();

private:
    void open();

    QTemporaryDir dir_;
    FakeDevices devices_;
    SelectionState selection_;
    std::unique_ptr<CatalogueStore> store_;
    std::unique_ptr<DeleteHistory> deletes_;
    std::unique_ptr<ReviewService> review_;
    std::unique_ptr<Services> services_;
    std::unique_ptr<Storyboard> storyboard_;
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

// An image of one colour.
QImage filledImage(QSize size, QColor colour);
// The image's bytes in `format` ("JPG", "PNG"...), at `quality` (-1: the format's own).
QByteArray imageBytes(const QImage& image, const char* format = "JPG", int quality = 95);
// A JPEG of one colour.
QByteArray jpegOf(QSize size, QColor colour);
// JPEG bytes with an EXIF orientation tag (6: turn clockwise to show upright).
QByteArray withExifOrientation(const QByteArray& jpeg, int orientation);

// Sets an environment variable while alive; restores it, or its absence, afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value)
        : name_(name), wasSet_(qEnvironmentVariableIsSet(name)), previous_(qgetenv(name)) {
        qputenv(name, QFile::encodeName(value));
    }
    ~ScopedEnv() {
        if (wasSet_)
            qputenv(name_, previous_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool wasSet_;
    QByteArray previous_;
};

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Processes queued events (and due timers) for up to `ms` milliseconds.
void pumpEvents(int ms = 0);

// A shown window on `root`, `size` large when given, its segues from `storyboard` when given.
std::unique_ptr<NavigationController> showNavigation(ViewController* root, QSize size = {},
                                                     Storyboard* storyboard = nullptr);

// The alerts on screen, oldest first, "title / message" each.
QStringList alertTexts();
// The one alert on screen, once queued events have run, as "title / message", answered with
// `action`; empty when there is none, "N alerts" (all closed unanswered) when there are more.
QString answerAlert(const QString& action = "OK");
// The one alert on screen, once queued events have run; null when there is none or more.
AlertController* onlyAlert();
// Closes every alert on screen unanswered.
void closeAlerts();

}  // namespace quillon::test
