#include <QDir>
#include <QFileInfo>

#include "store/Backups.h"
#include "store/CatalogueStore.h"
#include "store/private/ContextState.h"
#include "store/private/ReadOnlyOpen.h"
#include "store/private/StoreSql.h"

namespace quillon {

namespace {

bool folderIsWritable(const QString& dataDir) {
    return QFileInfo(dataDir).isWritable() &&
           (!QFileInfo::exists(QDir(dataDir).filePath(CatalogueStore::kFileName)) ||
            QFileInfo(QDir(dataDir).filePath(CatalogueStore::kFileName)).isWritable());
}

Status connectForWriting(sqlite::Database& db, const QString& path) {
    if (Status s = db.open(path); !s) return s;
    if (Status s = db.exec(sql::kJournalMode); !s) return s;
    return db.exec(sql::kSynchronous);
}

// A store read-only must be there already. In a folder we can write, SQLite makes what it needs
// to read the -wal.
Status connectForReading(sqlite::Database& db, const QString& path, bool folderWritable,
                         std::unique_ptr<QTemporaryDir>& privateCopy) {
    if (!QFileInfo::exists(path))
        return Status::failure(
            Status::ReadOnly, "The store could not be opened",
            QStringLiteral("{path = %1, reason = the folder is read-only and holds no store}")
                .arg(path));
    return folderWritable ? db.open(path, /*readOnly=*/true)
                          : openForReading(db, path, privateCopy);
}

// Brings the store to this version's schema: a new store gets every table, an older one what
// later versions added. A read-only store of an older version is read as it is (without small
// copies); *version receives the version the store then has.
Status migrate(sqlite::Database& db, bool readOnly, qint64* version) {
    sqlite::Statement read(db, sql::kReadSchemaVersion);
    if (!read.isValid() || read.step() != SQLITE_ROW)
        return db.failure("The store could not be read");
    const qint64 current = read.integer(0);
    *version = current;
    if (current > CatalogueStore::kSchemaVersion)
        return Status::failure(Status::Refused,
                               "The store was written by a newer version of Quillon",
                               QStringLiteral("{version = %1, this version reads up to %2}")
                                   .arg(current)
                                   .arg(CatalogueStore::kSchemaVersion));
    if (current == CatalogueStore::kSchemaVersion) return Status::success();
    if (readOnly && current >= 1) return Status::success();
    if (readOnly)
        return Status::failure(Status::ReadOnly,
                               "The store is read-only and must first be opened for writing",
                               QStringLiteral("{version = %1}").arg(current));
    if (Status s = db.exec(sql::kBegin); !s) return s;
    Status s = db.exec(sql::kCreateSchema);
    if (s) s = db.exec(sql::kCreateSmallCovers);
    if (s) s = db.exec(sql::setSchemaVersion(CatalogueStore::kSchemaVersion));
    if (s) s = db.exec(sql::kCommit);
    if (!s) (void)db.exec(sql::kRollback);  // the error that made it roll back is the one to tell
    if (s) *version = CatalogueStore::kSchemaVersion;
    return s;
}

}  // namespace

std::unique_ptr<CatalogueStore> CatalogueStore::open(const QString& dataDir, Status* status,
                                                     const StoreOptions& options) {
    std::unique_ptr<CatalogueStore> store(new CatalogueStore);
    const Status opened = store->openIn(dataDir, options);
    if (status) *status = opened;
    if (!opened) store.reset();
    return store;
}

Status CatalogueStore::openIn(const QString& dataDir, const StoreOptions& options) {
    if (!QDir().mkpath(dataDir))
        return Status::failure(Status::Io, "The data folder could not be created",
                               QStringLiteral("{path = %1}").arg(dataDir));
    auto state = std::make_shared<ContextState>();
    state->path = QDir(dataDir).filePath(kFileName);
    const bool folderWritable = QFileInfo(dataDir).isWritable();
    state->readOnly = options.readOnly || !folderIsWritable(dataDir);
    if (folderWritable) {
        Status locked;
        lock_ = StoreLock::take(dataDir, options.lockWaitMs, &locked);
        if (!lock_) return locked;
        backups::removeLeftovers(dataDir);
    }
    Status s = state->readOnly
                   ? connectForReading(state->db, state->path, folderWritable, privateCopy_)
                   : connectForWriting(state->db, state->path);
    qint64 version = 0;
    if (s) s = migrate(state->db, state->readOnly, &version);
    if (!s) return s;
    // Only the speed of the first list depends on it: a store that cannot take it opens as well.
    if (!state->readOnly) (void)state->db.exec(sql::kCreateNameIndex);
    state->hasSmallCovers = version >= sql::kFirstSmallCoversVersion;
    state->makeSmallCopy = options.makeSmallCopy;
    context_.reset(new ManagedObjectContext(state));
    return context_->load();
}

CatalogueStore::~CatalogueStore() {
    // The connection closes before its private copy goes and the lock is given up.
    context_.reset();
}

QString CatalogueStore::filePath() const {
    return context_->state_->path;
}

}  // namespace quillon
