#pragma once

#include <QString>
#include <QStringList>

#include "app/ContextSave.h"
#include "store/Backups.h"
#include "store/Status.h"

namespace quillon {

class AppDelegate;

// How the window and the commands reach the catalogue: what they say when it cannot be
// opened, and the backups of it.

// Exit status of a process that found the catalogue held by another one.
constexpr int kLockedExitStatus = 3;
// How long a command waits for another process to let go of the catalogue.
constexpr int kDefaultLockWaitMs = 10000;

// The error of a program that finds no folder for its catalogue: none was given and the user
// has no home folder to keep one in. Its code is NotFound.
QString noDataFolderError();

// For standard error: the lock message with how long was waited, what was not found (the
// folder, a backup), or the unresolved error.
QString storeOpenFailureText(const Status& status, int lockWaitMs);
// kLockedExitStatus for a lock held by another process, else 1.
int storeOpenFailureExitStatus(const Status& status);

// What the window says when the catalogue cannot be written.
QString readOnlyAlertTitle();
QString readOnlyAlertMessage(const QString& dataDir);
QString readOnlyWindowTitle(const QString& title);

// The backups of the delegate's catalogue, oldest first, read while its lock is held (waiting
// for it as the delegate's store options say; a folder that cannot be written has no lock).
// The store is not opened, so this works when it cannot be.
Status listBackups(AppDelegate& app, QStringList* names);
// Closes the delegate's store, takes the lock, and puts backup `name` back (backups::restore).
// The store is not opened, so a catalogue that cannot be opened can still be replaced.
Status restoreBackup(AppDelegate& app, const QString& name, backups::SafetyCopy* safety);

}  // namespace quillon
