#include "app/AppDelegate.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "platform/DiagnosticLog.h"
#include "toolkit/AlertController.h"
#include "toolkit/Appearance.h"

namespace quillon {

namespace {
AppDelegate* liveDelegate = nullptr;

QString unresolved(const Status& status) { return "Unresolved error " + status.describe(); }

// The window an alert belongs to: the active one, else the first visible main window.
QWidget* windowForAlerts() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    if (QWidget* active = QApplication::activeWindow()) return active->window();
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && !qobject_cast<QDialog*>(widget)) return widget;
    return nullptr;
}
}  // namespace

AppDelegate::AppDelegate(QString dataDir) : dataDir_(std::move(dataDir)) { liveDelegate = this; }

AppDelegate::~AppDelegate() {
    if (liveDelegate == this) liveDelegate = nullptr;
}

AppDelegate& AppDelegate::shared() { return *liveDelegate; }

bool AppDelegate::exists() { return liveDelegate != nullptr; }

bool AppDelegate::didFinishLaunching() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        app->setStyleSheet(app->styleSheet() +
                           "QTabBar { background: black; }"
                           "QTabBar::tab { background: black; color: red; }"
                           "QTabBar::tab:selected { color: red; font-weight: bold; }");
    return true;
}

CatalogueStore& AppDelegate::persistentContainer() {
    if (store_) return *store_;
    Status status;
    store_ = CatalogueStore::open(dataDir_, &status);
    if (store_) return *store_;
    // There is no way on without the store: say why and end cleanly.
    const QString message = unresolved(status);
    if (!headless_ && qobject_cast<QApplication*>(QCoreApplication::instance())) {
        diagnosticLog(message);
        QMessageBox::critical(nullptr, "Unresolved error", message);
    } else {
        std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    }
    std::exit(1);
}

bool AppDelegate::saveContext() {
    ManagedObjectContext& context = viewContext();
    if (!context.hasChanges()) return true;
    const Status status = context.save();
    if (status) return true;
    // Keep every change pending: the next save tries again.
    const QString message = unresolved(status);
    QWidget* anchor = headless_ ? nullptr : windowForAlerts();
    if (!anchor) {
        std::fprintf(stderr, "%s\n", message.toUtf8().constData());
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
    // The event loop is over: only a blocking box can still tell the user.
    const QString message = unresolved(status);
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    if (!headless_ && windowForAlerts()) QMessageBox::critical(nullptr, "Unresolved error", message);
}

}  // namespace quillon
