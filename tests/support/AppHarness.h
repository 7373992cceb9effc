#pragma once

// The whole program for the tests of the app and the journeys (they link it); the other test
// programs build screens from AppFixture alone.

#include <QTemporaryDir>
#include <memory>
#include <stdexcept>

#include "app/AppDelegate.h"
#include "app/MainWindow.h"
#include "platform/DataFolders.h"
#include "support/Fakes.h"
#include "toolkit/NavigationController.h"

namespace quillon::test {

// An AppDelegate over a fresh data folder with fake devices, its store open.
class AppHarness {
public:
    AppHarness() {
        DataFolders::setDataDir(dir_.path());
        restart();
    }
    ~AppHarness() {
        delegate_.reset();
        DataFolders::setDataDir({});
    }
    AppDelegate& app() { return *delegate_; }
    // The store opens again on use after the delegate closed it.
    ManagedObjectContext& context() { return open(), delegate_->viewContext(); }
    Services& services() { return open(), delegate_->services(); }
    FakeDevices& devices() { return devices_; }
    QString dataDir() const { return dir_.path(); }
    // The program's window on the main menu.
    std::unique_ptr<MainWindow> window() {
        open();
        return createMainWindow(*delegate_);
    }
    // A new delegate on the same folder (pending changes dropped), its store opened unless not.
    void restart(bool openStore = true) {
        delegate_.reset();
        delegate_ = std::make_unique<AppDelegate>(dir_.path(), devices_.devices());
        if (openStore) open();
    }

private:
    void open() {
        if (const Status status = delegate_->openStore(); !status)
            throw std::runtime_error(
                ("cannot open a catalogue: " + status.describe()).toStdString());
    }

    QTemporaryDir dir_;
    FakeDevices devices_;
    std::unique_ptr<AppDelegate> delegate_;
};

}  // namespace quillon::test
