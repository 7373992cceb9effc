#include "app/AppDelegate.h"

#include <QApplication>
#include <cstdio>

#include "app/BlockingMessage.h"
#include "app/CatalogueAccess.h"
#include "app/ContextSave.h"
#include "app/Segues.h"
#include "catalogue/SmallCopyBuilder.h"
#include "images/SmallCoverImage.h"
#include "platform/BuildInfo.h"
#include "platform/Camera.h"
#include "platform/Clock.h"
#include "platform/DocumentPicker.h"
#include "platform/MailService.h"
#include "platform/PhotoLibrary.h"
#include "platform/Printer.h"
#include "platform/ReviewService.h"
#include "platform/ShareSheet.h"
#include "platform/UrlOpener.h"
#include "toolkit/AlertController.h"

namespace quillon {

struct AppDelegate::DesktopDevices {
    DesktopDocumentPicker picker;
    DesktopMailService mail;
    DesktopHandoff handoff;
    DesktopShareSheet share{mail, handoff, AlertController::tell};
    DesktopUrlOpener urls;
    Clock clock;
    DesktopCamera camera;
    DesktopPhotoLibrary photos;
    DesktopStoreReview storeReview{QUrl(QString::fromUtf8(build::kStorePageUrl)), urls};
    DesktopPrinter printer;
};

namespace {
bool hasDisplay() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

Devices devicesOf(auto& desktop) {
    return {desktop.picker, desktop.mail,   desktop.share,       desktop.urls,   desktop.clock,
            desktop.camera, desktop.photos, desktop.storeReview, desktop.printer};
}
}  // namespace

AppDelegate::AppDelegate(QString dataDir)
    : dataDir_(std::move(dataDir)),
      desktop_(std::make_unique<DesktopDevices>()),
      devices_(devicesOf(*desktop_)) {}

AppDelegate::AppDelegate(QString dataDir, const Devices& devices)
    : dataDir_(std::move(dataDir)), devices_(devices) {}

AppDelegate::~AppDelegate() = default;

bool AppDelegate::didFinishLaunching() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        app->setStyleSheet(app->styleSheet() +
                           "QTabBar { background: black; }"
                           "QTabBar::tab { background: black; color: red; }"
                           "QTabBar::tab:selected { color: red; font-weight: bold; }");
    return true;
}

Status AppDelegate::openStore() {
    if (store_) return Status::success();
    if (dataDir_.isEmpty()) return Status::failure(Status::NotFound, noDataFolderError());
    Status status;
    StoreOptions options = storeOptions_;
    options.makeSmallCopy = smallCoverMaker();
    store_ = CatalogueStore::open(dataDir_, &status, options);
    if (!store_) return status;
    ManagedObjectContext& context = store_->viewContext();
    deletes_ = std::make_unique<DeleteHistory>(context);
    review_ = std::make_unique<ReviewService>(devices_.clock, devices_.storeReview);
    services_ = std::make_unique<Services>(makeServices(
        context, [this] { return saveContext(); }, *deletes_, selection_, *review_, devices_));
    storyboard_ = std::make_unique<Storyboard>(*services_);
    registerAllSegues(*storyboard_);
    if (!store_->isReadOnly()) smallCopies_ = std::make_unique<SmallCopyBuilder>(context);
    return Status::success();
}

CatalogueStore& AppDelegate::persistentContainer() {
    Q_ASSERT_X(store_, "AppDelegate", "the store is opened in start-up, before any use");
    return *store_;
}

Services& AppDelegate::services() {
    Q_ASSERT_X(services_, "AppDelegate", "the services exist while the store is open");
    return *services_;
}

const Storyboard& AppDelegate::storyboard() {
    Q_ASSERT_X(storyboard_, "AppDelegate", "the storyboard exists while the store is open");
    return *storyboard_;
}

void AppDelegate::closeStore() {
    smallCopies_.reset();
    storyboard_.reset();
    services_.reset();
    review_.reset();
    deletes_.reset();
    store_.reset();
}

bool AppDelegate::saveContext() {
    return saveTellingUser(viewContext(), headless_);
}

void AppDelegate::applicationWillTerminate() {
    if (!store_ || !store_->viewContext().hasChanges()) return;
    const Status status = store_->viewContext().save();
    if (status) return;
    // The event loop is over and the window may be closed: only a blocking box can still
    // tell the user.
    const QString message = unresolvedErrorText(status);
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    if (!headless_ && hasDisplay())
        showBlockingMessage(QMessageBox::Critical, "Unresolved error", message);
}

}  // namespace quillon
