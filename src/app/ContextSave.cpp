#include "app/ContextSave.h"

#include <QApplication>
#include <QDialog>
#include <cstdio>

#include "platform/DiagnosticLog.h"
#include "store/CatalogueStore.h"
#include "toolkit/AlertController.h"

namespace quillon {

namespace {
// The window an alert belongs to: the active one, else the first visible main window.
QWidget* windowForAlerts() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    if (QWidget* active = QApplication::activeWindow()) return active->window();
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && !qobject_cast<QDialog*>(widget)) return widget;
    return nullptr;
}
}  // namespace

QString unresolvedErrorText(const Status& status) {
    return "Unresolved error " + status.describe();
}

bool saveTellingUser(ManagedObjectContext& context, bool headless) {
    if (!context.hasChanges()) return true;
    const Status status = context.save();
    if (status) return true;
    const QString message = unresolvedErrorText(status);
    QWidget* anchor = headless ? nullptr : windowForAlerts();
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

}  // namespace quillon
