#pragma once

#include <QString>
#include <QStringList>

#include "store/Status.h"
#include "toolkit/ContextSave.h"

namespace quillon {

class AppDelegate;

// How the window and the commands reach the catalogue: what they say when it cannot be
// opened, and the backups of it.

// Exit status of a process that found the catalogue held by another one.
constexpr int kLockedExitStatus = 3;
// How long a command waits for another process to let go of the catalogue.
constexpr int kDefaultLockWaitMs = 10000;

// For standard error: the lock message with how long was waited, or the unresolved error.
QString storeOpenFailureText(const Status& status, int lockWaitMs);
// kLockedExitStatus for a lock held by another process, else 1.
int storeOpenFailureExitStatus(const Status& status);

// What the window says when the catalogue cannot be written.
QString readOnlyAlertTitle();
QString readOnlyAlertMessage(const QString& dataDir);
QString readOnlyWindowTitle(const QString& title);

// The backups of the delegate's open catalogue, oldest first.
QStringList backupNames(AppDelegate& app);
// Puts backup `name` back after a backup of the current catalogue (its name in safetyName),
// then closes the store, whose records no longer match the device.
Status restoreBackup(AppDelegate& app, const QString& name, QString* safetyName);

}  // namespace quillon
