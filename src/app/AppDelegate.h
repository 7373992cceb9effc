#pragma once

#include <QString>
#include <memory>

#include "store/CatalogueStore.h"

namespace quillon {

// The application object: owns the store container, opened lazily on first use, and saves
// pending changes when the program ends. One per process; shared() is the live one.
class AppDelegate {
public:
    explicit AppDelegate(QString dataDir);
    ~AppDelegate();
    static AppDelegate& shared();
    static bool exists();

    // Sets the global look of tab bars. Nothing else.
    bool didFinishLaunching();
    // How the store is opened (the wait for another process's lock; read-only). Set before
    // the first use of the store.
    void setStoreOptions(const StoreOptions& options) { storeOptions_ = options; }
    const StoreOptions& storeOptions() const { return storeOptions_; }
    // Opens the store unless it is open; a failure is returned and nothing is shown.
    Status openStore();
    // Opens the store on first call. A store that cannot be opened ends the program: status 3
    // when another process holds it, else 1 after "Unresolved error ..." (a blocking box with
    // a display, standard error without).
    CatalogueStore& persistentContainer();
    ManagedObjectContext& viewContext() { return persistentContainer().viewContext(); }
    bool isStoreOpen() const { return store_ != nullptr; }
    // Closes the store and gives up its lock, dropping pending changes; the next use opens
    // it again.
    void closeStore() { store_.reset(); }
    // Saves when there are changes. A failure is shown in an "Unresolved error" alert and the
    // changes stay pending; the screen that made them takes them back. Returns whether
    // everything is saved.
    bool saveContext();
    // Saves pending changes. A failure is shown in a blocking box (the window may be gone).
    void applicationWillTerminate();

    QString dataDir() const { return dataDir_; }
    // Without a window (command line) failures go to standard error instead of alerts.
    void setHeadless(bool headless) { headless_ = headless; }
    bool isHeadless() const { return headless_; }

private:
    QString dataDir_;
    bool headless_ = false;
    StoreOptions storeOptions_;
    std::unique_ptr<CatalogueStore> store_;
};

}  // namespace quillon
