#include "app/CatalogueAccess.h"

#include "app/AppDelegate.h"
#include "store/Backups.h"

namespace quillon {

QString storeOpenFailureText(const Status& status, int lockWaitMs) {
    if (!CatalogueStore::isLockedFailure(status)) return unresolvedErrorText(status);
    return QStringLiteral(
               "%1 %2; gave up after waiting %3 s. Close it, or wait longer with "
               "--wait SECONDS.")
        .arg(QLatin1String(CatalogueStore::kLockedError),
             "(" + QString(status.details).remove('{').remove('}') + ")",
             QString::number(lockWaitMs / 1000.0));
}

int storeOpenFailureExitStatus(const Status& status) {
    return CatalogueStore::isLockedFailure(status) ? kLockedExitStatus : 1;
}

QString readOnlyAlertTitle() {
    return QStringLiteral("Read-Only Catalogue");
}

QString readOnlyAlertMessage(const QString& dataDir) {
    return QStringLiteral(
               "The catalogue in \"%1\" cannot be changed: its folder cannot be "
               "written. You can look through it and export it; changes will not "
               "be saved.")
        .arg(dataDir);
}

QString readOnlyWindowTitle(const QString& title) {
    return title + " (read-only)";
}

QStringList backupNames(AppDelegate& app) {
    return backups::list(app.persistentContainer().dataDir());
}

Status restoreBackup(AppDelegate& app, const QString& name, QString* safetyName) {
    CatalogueStore& store = app.persistentContainer();
    if (!backups::list(store.dataDir()).contains(name))
        return Status::failure(QStringLiteral("There is no backup named \"%1\"").arg(name),
                               QStringLiteral("quillon backups lists them"));
    const Status status = backups::restore(store, name, safetyName);
    app.closeStore();
    return status;
}

}  // namespace quillon
