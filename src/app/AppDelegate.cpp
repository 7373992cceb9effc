#include "app/AppDelegate.h"

#include <QApplication>
#include <QDialog>
#include <cstdio>
#include <cstdlib>

#include "app/BlockingMessage.h"
#include "app/CatalogueAccess.h"
#include "platform/DiagnosticLog.h"
#include "toolkit/AlertController.h"
#include "toolkit/Appearance.h"
#include "toolkit/ApplicationServices.h"

namespace quillon {

namespace {
AppDelegate* liveDelegate = nullptr;

bool hasDisplay() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

// The window an alert belongs to: the active one, else the first visible main window.
QWidget* windowForAlerts() {
    if (!hasDisplay()) return nullptr;
    if (QWidget* active = QApplication::activeWindow()) return active->window();
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && !qobject_cast<QDialog*>(widget)) return widget;
    return nullptr;
}

void printError(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}
}  // namespace

AppDelegate::AppDelegate(QString dataDir) : dataDir_(std::move(dataDir)) {
    liveDelegate = this;
    installApplicationServices({[this]() -> ManagedObjectContext& { return viewContext(); },
                                [this] { return saveContext(); }});
}

AppDelegate::~AppDelegate() {
    if (liveDelegate != this) return;
    liveDelegate = nullptr;
    removeApplicationServices();
}

AppDelegate& AppDelegate::shared() {
    return *liveDelegate;
}

bool AppDelegate::exists() {
    return liveDelegate != nullptr;
}

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
    Status status;
    store_ = CatalogueStore::open(dataDir_, &status, storeOptions_);
    return store_ ? Status::success() : status;
}

CatalogueStore& AppDelegate::persistentContainer() {
    const Status status = openStore();
    if (status) return *store_;
    // There is no way on without the store: say why and end cleanly.
    if (!headless_ && hasDisplay()) {
        const bool locked = CatalogueStore::isLockedFailure(status);
        const QString message = locked ? status.error : unresolvedErrorText(status);
        diagnosticLog(message);
        showBlockingMessage(locked ? QMessageBox::Warning : QMessageBox::Critical,
                            locked ? "Quillon" : "Unresolved error", message);
    } else {
        printError(storeOpenFailureText(status, storeOptions_.lockWaitMs));
    }
    std::exit(storeOpenFailureExitStatus(status));
}

bool AppDelegate::saveContext() {
    ManagedObjectContext& context = viewContext();
    if (!context.hasChanges()) return true;
    const Status status = context.save();
    if (status) return true;
    const QString message = unresolvedErrorText(status);
    QWidget* anchor = headless_ ? nullptr : windowForAlerts();
    if (!anchor) {
        printError(message);
        return false;
    }
    diagnosticLog(message);
    auto* alert = AlertController::ok("Unresolved error", message);
    alert->setParent(anchor, alert->windowFlags());
    alert->setWindowModality(Qt::WindowModal);
    alert->open();
    return false;
}

void AppDelegate::applicationWillTerminate() {
    if (!store_ || !store_->viewContext().hasChanges()) return;
    const Status status = store_->viewContext().save();
    if (status) return;
    // The event loop is over and the window may be closed: only a blocking box can still
    // tell the user.
    const QString message = unresolvedErrorText(status);
    printError(message);
    if (!headless_ && hasDisplay())
        showBlockingMessage(QMessageBox::Critical, "Unresolved error", message);
}

}  // namespace quillon
