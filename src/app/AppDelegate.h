#pragma once

#include <QString>
#include <memory>

#include "handover/SelectionState.h"
#include "handover/Services.h"
#include "store/CatalogueStore.h"
#include "store/DeleteHistory.h"
#include "toolkit/Storyboard.h"

namespace quillon {

class ReviewService;
class SmallCopyBuilder;

// The application object: owns the store container, the services every screen is given and
// the storyboard of segues, and saves pending changes when the program ends.
class AppDelegate {
public:
    // Without devices, the desktop's own: file dialogs, the mail handler, the share dialog, the
    // system clock, the camera, the Pictures folder and the store's review prompt.
    explicit AppDelegate(QString dataDir);
    AppDelegate(QString dataDir, const Devices& devices);
    ~AppDelegate();

    // Sets the global look of tab bars. Nothing else.
    bool didFinishLaunching();
    // How the store is opened (the wait for another process's lock; read-only). Set before
    // openStore().
    void setStoreOptions(const StoreOptions& options) { storeOptions_ = options; }
    const StoreOptions& storeOptions() const { return storeOptions_; }
    // Opens the store unless it is open and builds the services and the storyboard over it. A
    // failure is returned and nothing is shown; an empty data folder (none could be found) fails
    // with noDataFolderError().
    Status openStore();
    bool isStoreOpen() const { return store_ != nullptr; }
    // The open store, its context, the services and the storyboard: only while the store is open.
    CatalogueStore& persistentContainer();
    ManagedObjectContext& viewContext() { return persistentContainer().viewContext(); }
    Services& services();
    const Storyboard& storyboard();
    // Makes the small copies of covers the store lacks, once started; null while the store is
    // closed or read-only.
    SmallCopyBuilder* smallCopyBuilder() { return smallCopies_.get(); }
    // Closes the store and gives up its lock, dropping pending changes and the services.
    void closeStore();
    // Saves when there are changes; a failure is told to the user (see saveTellingUser).
    bool saveContext();
    // Saves pending changes. A failure is shown in a blocking box (the window may be gone).
    void applicationWillTerminate();

    QString dataDir() const { return dataDir_; }
    // Without a window (command line) failures go to standard error instead of alerts.
    void setHeadless(bool headless) { headless_ = headless; }
    bool isHeadless() const { return headless_; }

private:
    struct DesktopDevices;

    QString dataDir_;
    bool headless_ = false;
    StoreOptions storeOptions_;
    std::unique_ptr<DesktopDevices> desktop_;  // when no devices were given
    Devices devices_;
    SelectionState selection_;
    std::unique_ptr<CatalogueStore> store_;
    std::unique_ptr<DeleteHistory> deletes_;
    std::unique_ptr<ReviewService> review_;
    std::unique_ptr<Services> services_;
    std::unique_ptr<Storyboard> storyboard_;
    std::unique_ptr<SmallCopyBuilder> smallCopies_;  // stops before the store closes
};

}  // namespace quillon
