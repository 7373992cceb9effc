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
    // Opens the store on first call. A store that cannot be opened ends the program with
    // status 1 after "Unresolved error ..." (a dialog with a window, standard error without).
    CatalogueStore& persistentContainer();
    ManagedObjectContext& viewContext() { return persistentContainer().viewContext(); }
    // Saves when there are changes. A failure is shown in an "Unresolved error" alert and the
    // changes stay pending, so the next save retries. Returns whether everything is saved.
    bool saveContext();
    void applicationWillTerminate();

    QString dataDir() const { return dataDir_; }
    // Without a window (command line) failures go to standard error instead of alerts.
    void setHeadless(bool headless) { headless_ = headless; }
    bool isHeadless() const { return headless_; }

private:
    QString dataDir_;
    bool headless_ = false;
    std::unique_ptr<CatalogueStore> store_;
};

}  // namespace quillon
