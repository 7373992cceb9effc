#include "store/Backups.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <functional>

#include "store/private/CatalogueCheck.h"
#include "store/private/FileCopy.h"
#include "store/private/Sqlite.h"
#include "store/private/TestPause.h"

namespace quillon::backups {

namespace {

const QString kPrefix = QStringLiteral("Quillon ");
const QString kSuffix = QStringLiteral(".sqlite");
// A catalogue copied as it was found, which restore does not offer.
const QString kUnrestorablePrefix = QStringLiteral("Unreadable Quillon ");
// Files being written: in Backups/, and in the data folder while a restore runs. Neither
// matches the backups' names.
const QString kPartialPrefix = QStringLiteral(".partial-");
const QString kRestoringPrefix = QStringLiteral(".restoring-");
const char* const kSideFiles[] = {"-wal", "-shm", "-journal"};

QString systemError(int error = errno) {
    return QString::fromLocal8Bit(std::strerror(error));
}

Status fileFailure(const QString& what, const QString& path, int error = errno) {
    return Status::failure(
        Status::Io, what, QStringLiteral("{path = %1, reason = %2}").arg(path, systemError(error)));
}

// lstat: the entry itself, a link never followed. False when there is none.
bool entryAt(const QString& path, struct stat* st) {
    return ::lstat(QFile::encodeName(path).constData(), st) == 0;
}

bool isRegularFile(const QString& path) {
    struct stat st;
    return entryAt(path, &st) && S_ISREG(st.st_mode);
}

void removeWithSideFiles(const QString& path) {
    QFile::remove(path);
    for (const char* side : kSideFiles) QFile::remove(path + side);
}

// Renames within one folder and makes the new name durable.
Status moveInto(const QString& from, const QString& to) {
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return fileFailure("The file could not be put in place", to);
    if (!files::sync(QFileInfo(to).path(), true))
        return fileFailure("The folder could not be written to the disk", QFileInfo(to).path());
    return Status::success();
}

QString temporaryPath(const QString& dir, const QString& prefix) {
    const quint64 tag = QRandomGenerator::global()->generate64();
    return QDir(dir).filePath(prefix + QString::number(tag, 16) + kSuffix);
}

QString freshName(const QString& dir, const QDateTime& now, const QString& prefix = kPrefix) {
    const QString stamp = now.toString("yyyy-MM-dd HH-mm-ss");
    QString name = prefix + stamp + kSuffix;
    struct stat st;
    // Two backups within one second keep both; '_' sorts after '.', so names stay in order.
    for (int n = 2; entryAt(QDir(dir).filePath(name), &st); ++n)
        name = prefix + stamp + QStringLiteral("_%1").arg(n, 2, 10, QLatin1Char('0')) + kSuffix;
    return name;
}

// Backups/ as a real folder, made when missing and `create`. A link is refused: backups
// written through it would land in, and be restored from, another folder.
Status checkFolder(const QString& dataDir, bool create) {
    const QString path = folder(dataDir);
    struct stat st;
    if (!entryAt(path, &st)) {
        if (errno != ENOENT) return fileFailure("The backup folder cannot be read", path);
        if (!create) return Status::success();
        if (::mkdir(QFile::encodeName(path).constData(), 0777) != 0 && errno != EEXIST)
            return fileFailure("The backup folder could not be created", path);
        if (!entryAt(path, &st)) return fileFailure("The backup folder could not be created", path);
    }
    if (S_ISLNK(st.st_mode))
        return Status::failure(Status::Refused,
                               "The backup folder is a link, and backups are kept only in a "
                               "folder of the catalogue's own",
                               QStringLiteral("{path = %1}").arg(path));
    if (!S_ISDIR(st.st_mode))
        return Status::failure(
            Status::Refused, "The backup folder could not be created",
            QStringLiteral("{path = %1, reason = a file stands there}").arg(path));
    return Status::success();
}

void removeEntriesStartingWith(const QString& dir, const QString& prefix) {
    const QStringList names = QDir(dir).entryList(
        {prefix + "*"}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) QFile::remove(QDir(dir).filePath(name));
}

void dropOldest(const QString& dataDir) {
    const QStringList names = list(dataDir);
    for (qsizetype i = 0; i + kKept < names.size(); ++i)
        removeWithSideFiles(QDir(folder(dataDir)).filePath(names[i]));
}

// Writes a backup under a temporary name with `copyTo`, then gives it its name.
Status writeBackup(const QString& dataDir, const QDateTime& now,
                   const std::function<Status(const QString&)>& copyTo, QString* name) {
    const QString dir = folder(dataDir);
    const QString partial = temporaryPath(dir, kPartialPrefix);
    Status status = copyTo(partial);
    if (status && !files::sync(partial))
        status = fileFailure("The backup could not be written to the disk", partial);
    const QString fresh = freshName(dir, now);
    if (status) status = moveInto(partial, QDir(dir).filePath(fresh));
    if (!status) {
        removeWithSideFiles(partial);
        return status;
    }
    if (name) *name = fresh;
    dropOldest(dataDir);
    return Status::success();
}

Status backUpDatabase(sqlite3* source, const QString& dataDir, const QDateTime& now,
                      QString* name) {
    return writeBackup(
        dataDir, now,
        [source](const QString& path) {
            return sqlite::copyDatabase(source, path, [] { pausePointForTesting("backup"); });
        },
        name);
}

// Copies the store file, and its -wal when there is one, byte for byte into Backups/.
Status copyUnrestorable(const QString& storePath, const QString& dataDir, const QDateTime& now,
                        QString* name) {
    const QString dir = folder(dataDir);
    const QString fresh = freshName(dir, now, kUnrestorablePrefix);
    const QString target = QDir(dir).filePath(fresh);
    const auto copyInto = [&](const QString& from, const QString& to) {
        const QString partial = temporaryPath(dir, kPartialPrefix);
        Status s = files::copyRegularFile(from, partial);
        if (s) s = moveInto(partial, to);
        if (!s) QFile::remove(partial);
        return s;
    };
    // The log first: the copy is complete once the file itself has its name.
    Status s = isRegularFile(storePath + "-wal") ? copyInto(storePath + "-wal", target + "-wal")
                                                 : Status::success();
    if (s) s = copyInto(storePath, target);
    if (!s) {
        QFile::remove(target + "-wal");
        return s;
    }
    *name = fresh;
    return Status::success();
}

// Copies the catalogue about to be replaced (see SafetyCopy).
Status takeSafetyCopy(const QString& dataDir, const QDateTime& now, SafetyCopy* copy) {
    const QString storePath = QDir(dataDir).filePath(CatalogueStore::kFileName);
    struct stat st;
    if (!entryAt(storePath, &st)) return Status::success();
    if (!S_ISREG(st.st_mode))
        return Status::failure(Status::Refused,
                               "The catalogue file is not a regular file, so nothing was put back",
                               QStringLiteral("{path = %1}").arg(storePath));
    Status readable;
    {
        // Read-only: the file stays as it was found until a copy of it exists.
        sqlite::Database current;
        readable = current.open(storePath, /*readOnly=*/true);
        if (readable) readable = checkCatalogue(current);
        if (readable) {
            if (Status s = backUpDatabase(current.handle(), dataDir, now, &copy->name); !s)
                return Status::failure(
                    s.code,
                    "The catalogue could not be backed up, so nothing was put back: " + s.error,
                    s.details);
        }
    }
    if (readable) {
        // Everything committed goes into the file itself, so that removing the old -wal loses
        // nothing should the process die before the new store is in place.
        sqlite::Database current;
        if (current.open(storePath)) (void)current.exec("PRAGMA wal_checkpoint(TRUNCATE)");
        return Status::success();
    }
    copy->unrestorable = true;
    copy->reason = "it " + readable.describe();
    if (Status s = copyUnrestorable(storePath, dataDir, now, &copy->name); !s)
        return Status::failure(
            s.code, "The catalogue could not be copied, so nothing was put back: " + s.error,
            s.details);
    return Status::success();
}

// Gives the new store file the old one's permissions and owner (when we may). Without an old
// one it stays readable by its owner alone.
void takeOverMode(const QString& candidate, const QString& storePath) {
    struct stat st;
    const QByteArray path = QFile::encodeName(candidate);
    if (!entryAt(storePath, &st) || !S_ISREG(st.st_mode)) return;
    // Only root may give a file away; anyone else's file stays theirs.
    if (::geteuid() == 0 && ::chown(path.constData(), st.st_uid, st.st_gid) != 0) return;
    ::chmod(path.constData(), st.st_mode & 07777);
}

Status checkBackupEntry(const QString& dataDir, const QString& name) {
    const QString path = QDir(folder(dataDir)).filePath(name);
    const bool plainName = !name.isEmpty() && !name.contains('/') && name != "." && name != "..";
    struct stat st;
    if (!plainName || !name.startsWith(kPrefix) || !name.endsWith(kSuffix) || !entryAt(path, &st))
        return Status::failure(Status::NotFound,
                               QStringLiteral("There is no backup named \"%1\"").arg(name));
    if (!S_ISREG(st.st_mode))
        return Status::failure(
            Status::Refused,
            QStringLiteral("The backup \"%1\" is not a regular file, so it is not restored")
                .arg(name),
            QStringLiteral("{path = %1, kind = %2}")
                .arg(path, S_ISLNK(st.st_mode)   ? "link"
                           : S_ISDIR(st.st_mode) ? "folder"
                                                 : "device, FIFO or socket"));
    return Status::success();
}

Status checkCandidate(const QString& candidate, const QString& name) {
    Status status;
    {
        sqlite::Database db;
        status = db.open(candidate, /*readOnly=*/true);
        if (status) status = checkCatalogue(db);
    }
    for (const char* side : kSideFiles) QFile::remove(candidate + side);
    if (status) return status;
    return Status::failure(
        status.code,
        QStringLiteral("The backup \"%1\" %2, so it is not restored").arg(name, status.error),
        status.details);
}

bool isWritableCatalogue(const QString& dataDir) {
    const QString store = QDir(dataDir).filePath(CatalogueStore::kFileName);
    return QFileInfo(dataDir).isWritable() &&
           (!QFileInfo::exists(store) || QFileInfo(store).isWritable());
}

}  // namespace

QString folder(const QString& dataDir) {
    return QDir(dataDir).filePath("Backups");
}

QStringList list(const QString& dataDir, Status* status) {
    const Status checked = checkFolder(dataDir, false);
    if (status) *status = checked;
    if (!checked) return {};
    QStringList names =
        QDir(folder(dataDir))
            .entryList({kPrefix + "*" + kSuffix}, QDir::Files | QDir::NoSymLinks, QDir::Name);
    names.removeIf(
        [&](const QString& name) { return !isRegularFile(QDir(folder(dataDir)).filePath(name)); });
    return names;
}

BackupInfo describe(const QString& dataDir, const QString& name) {
    BackupInfo info{name, {}, 0, -1};
    const QString path = QDir(folder(dataDir)).filePath(name);
    info.bytes = QFileInfo(path).size();
    // A second backup within the same second has "_NN" after the time.
    info.taken =
        QDateTime::fromString(name.mid(kPrefix.size(), 19), QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    if (!isRegularFile(path)) return info;
    // Immutable: reading a backup must never write beside it (no -wal, no -shm).
    sqlite::Database db;
    if (!db.open(path, /*readOnly=*/true, /*immutable=*/true)) return info;
    sqlite::Statement count(db, "SELECT count(*) FROM Movies");
    if (count.isValid() && count.step() == SQLITE_ROW) info.movies = count.integer(0);
    return info;
}

Status make(const ManagedObjectContext& store, QString* name, const QDateTime& now) {
    if (store.isReadOnly())
        return Status::failure(Status::ReadOnly, "The catalogue is read-only",
                               QStringLiteral("{path = %1}").arg(store.dataDir()));
    if (Status s = checkFolder(store.dataDir(), true); !s) return s;
    removeEntriesStartingWith(folder(store.dataDir()), kPartialPrefix);
    return writeBackup(
        store.dataDir(), now, [&store](const QString& path) { return store.backupTo(path); }, name);
}

Status restore(const StoreLock& lock, const QString& name, SafetyCopy* safety,
               const QDateTime& now) {
    const QString dataDir = lock.dataDir();
    const QString storePath = QDir(dataDir).filePath(CatalogueStore::kFileName);
    if (!isWritableCatalogue(dataDir))
        return Status::failure(Status::ReadOnly, "The catalogue is read-only",
                               QStringLiteral("{path = %1}").arg(storePath));
    if (Status s = checkFolder(dataDir, false); !s) return s;
    if (Status s = checkBackupEntry(dataDir, name); !s) return s;
    removeLeftovers(dataDir);

    const QString candidate = temporaryPath(dataDir, kRestoringPrefix);
    Status status =
        files::copyRegularFile(QDir(folder(dataDir)).filePath(name), candidate, "restore-copy");
    if (status) status = checkCandidate(candidate, name);
    SafetyCopy copy;
    if (status) status = takeSafetyCopy(dataDir, now, &copy);
    if (status) {
        pausePointForTesting("restore-install");
        // The old store's log must not be read into the new one.
        for (const char* side : kSideFiles) QFile::remove(storePath + side);
        takeOverMode(candidate, storePath);
        status = moveInto(candidate, storePath);
    }
    if (!status) {
        removeWithSideFiles(candidate);
        return status;
    }
    if (safety) *safety = copy;
    return Status::success();
}

void removeLeftovers(const QString& dataDir) {
    removeEntriesStartingWith(dataDir, kRestoringPrefix);
    if (checkFolder(dataDir, false)) removeEntriesStartingWith(folder(dataDir), kPartialPrefix);
}

}  // namespace quillon::backups
