#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "store/CatalogueStore.h"
#include "store/Status.h"
#include "store/StoreLock.h"

namespace quillon::backups {

// Copies of the store in Backups/ of its data folder, named by date and time
// ("Quillon 2026-12-06 19-30-00.sqlite"), taken before anything overwrites many records at
// once. The newest kKept are kept. Only regular files are backups, and only in a real folder
// (Backups/ must not be a link). Every file is written under a temporary name and renamed when
// whole, so a process killed while copying never leaves a backup cut short.
constexpr int kKept = 3;

QString folder(const QString& dataDir);
// Backup names, oldest first. Empty, with the reason in status, when Backups/ is not a folder.
QStringList list(const QString& dataDir, Status* status = nullptr);
// What a backup holds, for a list of them: when it was taken (from its name), its size and its
// number of movies (-1 when the file cannot be read as a catalogue).
struct BackupInfo {
    QString name;
    QDateTime taken;
    qint64 bytes = 0;
    qint64 movies = -1;
};
BackupInfo describe(const QString& dataDir, const QString& name);

// Copies the saved store into a new backup and drops the oldest beyond kKept (with their -wal
// and -shm). name receives the new backup's name. Not for a read-only store.
Status make(const ManagedObjectContext& store, QString* name = nullptr,
            const QDateTime& now = QDateTime::currentDateTime());

// What restore did with the catalogue it replaced.
struct SafetyCopy {
    // A new backup in Backups/, or (when unrestorable) the file copied as it was, with its -wal,
    // under a name list() does not show ("Unreadable Quillon ....sqlite"). Empty when there was
    // no catalogue file to copy.
    QString name;
    bool unrestorable = false;
    // Why the catalogue could not be read, when unrestorable.
    QString reason;
};

// Puts backup `name` (one of list()) back as the store of the locked data folder, which no
// process may have open. The backup is checked first (readable, undamaged, a schema this
// version knows, every table and column) and refused with the reason otherwise, changing
// nothing. The catalogue it replaces is copied first: as a backup when it can be read, else
// byte for byte (see SafetyCopy); a catalogue file that cannot be copied stops the restore.
// The new store is put in place by one rename, so a process killed part way through leaves the
// old catalogue or the new one, whole.
Status restore(const StoreLock& lock, const QString& name, SafetyCopy* safety = nullptr,
               const QDateTime& now = QDateTime::currentDateTime());

// Removes what a process killed while writing a backup or restoring one left behind. Only for
// the holder of the data folder's lock.
void removeLeftovers(const QString& dataDir);

}  // namespace quillon::backups
