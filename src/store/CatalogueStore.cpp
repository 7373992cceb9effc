#include "store/CatalogueStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVariant>
#include <algorithm>

#include "store/Backups.h"
#include "store/private/ContextState.h"
#include "store/private/FileCopy.h"
#include "store/private/Sorting.h"
#include "store/private/StoreSql.h"
#include "store/private/TestPause.h"

namespace quillon {

namespace {

Status migrate(sqlite::Database& db, bool readOnly) {
    sqlite::Statement version(db, sql::kReadSchemaVersion);
    if (!version.isValid() || version.step() != SQLITE_ROW)
        return db.failure("The store could not be read");
    const qint64 current = version.integer(0);
    if (current > CatalogueStore::kSchemaVersion)
        return Status::failure("The store was written by a newer version of Quillon",
                               QStringLiteral("{version = %1}").arg(current));
    if (current == CatalogueStore::kSchemaVersion) return Status::success();
    if (readOnly)
        return Status::failure("The store is read-only and must first be opened for writing",
                               QStringLiteral("{version = %1}").arg(current));
    if (Status s = db.exec(sql::kBegin); !s) return s;
    Status s = db.exec(sql::kCreateSchema);
    if (s) s = db.exec(sql::setSchemaVersion(CatalogueStore::kSchemaVersion));
    if (s) s = db.exec(sql::kCommit);
    if (!s) (void)db.exec(sql::kRollback);  // the error that made it roll back is the one to tell
    return s;
}

void bindValue(sqlite::Statement& statement, int index, const ManagedObject& object, Attribute a) {
    if (isNumberAttribute(a)) {
        statement.bindInt(index, object.number(a));
    } else if (isImageAttribute(a)) {
        const OptionalBytes bytes = object.image(a);
        bytes ? statement.bindBlob(index, *bytes) : statement.bindNull(index);
    } else {
        const OptionalText text = object.text(a);
        text ? statement.bindText(index, *text) : statement.bindNull(index);
    }
}

}  // namespace

// ---- opening ---------------------------------------------------------------------------------

namespace {

bool folderIsWritable(const QString& dataDir) {
    return QFileInfo(dataDir).isWritable() &&
           (!QFileInfo::exists(QDir(dataDir).filePath(CatalogueStore::kFileName)) ||
            QFileInfo(QDir(dataDir).filePath(CatalogueStore::kFileName)).isWritable());
}

// How a store in a folder we cannot write is read. SQLite keeps committed changes in the -wal
// until it copies them into the file; reading the file alone would miss them.
enum class ReadOnlyAccess {
    Shared,       // through the -shm index that a writer (live or dead) left: SQLite reads the -wal
    Unchanging,   // no -wal to read, and nobody has the store open: the file is all there is
    PrivateCopy,  // a -wal but no index to read it through: read a copy of both
    Refused,      // the -wal or the -shm cannot be read
};

ReadOnlyAccess readOnlyAccessTo(const QString& path) {
    const QFileInfo wal(path + "-wal"), shm(path + "-shm");
    if (wal.exists() && shm.exists())
        return wal.isReadable() && shm.isReadable() ? ReadOnlyAccess::Shared
                                                    : ReadOnlyAccess::Refused;
    if (!wal.exists() || wal.size() == 0) return ReadOnlyAccess::Unchanging;
    return wal.isReadable() ? ReadOnlyAccess::PrivateCopy : ReadOnlyAccess::Refused;
}

// What tells whether the store's files changed while they were copied.
QList<QVariant> fingerprint(const QString& path) {
    QList<QVariant> marks;
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const QFileInfo file(path + suffix);
        marks << file.exists() << file.size()
              << file.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch();
    }
    return marks;
}

Status copyForReading(const QString& path, QTemporaryDir& folder, QString* copy) {
    if (!folder.isValid())
        return Status::failure("The catalogue could not be copied for reading",
                               QStringLiteral("{reason = %1}").arg(folder.errorString()));
    *copy = folder.filePath(CatalogueStore::kFileName);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QList<QVariant> before = fingerprint(path);
        Status s = files::copyRegularFile(path + "-wal", *copy + "-wal");
        if (s) s = files::copyRegularFile(path, *copy);
        if (!s)
            return Status::failure("The catalogue could not be copied for reading: " + s.error,
                                   s.details);
        if (fingerprint(path) == before) return Status::success();
        QFile::remove(*copy);
        QFile::remove(*copy + "-wal");
    }
    return Status::failure("The catalogue changed each time it was read; try again",
                           QStringLiteral("{path = %1}").arg(path));
}

// Opens the store of a folder we cannot write (see ReadOnlyAccess).
Status openForReading(ContextState& state, std::unique_ptr<QTemporaryDir>& privateCopy) {
    const QString& path = state.path;
    switch (readOnlyAccessTo(path)) {
        case ReadOnlyAccess::Shared:
            return state.db.open(path, /*readOnly=*/true);
        case ReadOnlyAccess::Unchanging:
            return state.db.open(path, /*readOnly=*/true, /*immutable=*/true);
        case ReadOnlyAccess::PrivateCopy: {
            privateCopy = std::make_unique<QTemporaryDir>();
            QString copy;
            if (Status s = copyForReading(path, *privateCopy, &copy); !s) return s;
            // The copy is ours to write: SQLite reads the -wal into it.
            return state.db.open(copy);
        }
        case ReadOnlyAccess::Refused:
            break;
    }
    return Status::failure(
        "The catalogue cannot be read safely: its folder cannot be written, and the files "
        "beside it that hold its latest changes (Quillon.sqlite-wal, Quillon.sqlite-shm) cannot "
        "be read",
        QStringLiteral("{path = %1}").arg(path));
}

}  // namespace

std::unique_ptr<CatalogueStore> CatalogueStore::open(const QString& dataDir, Status* status,
                                                     const StoreOptions& options) {
    auto fail = [&](Status s) {
        if (status) *status = std::move(s);
        return std::unique_ptr<CatalogueStore>();
    };
    if (!QDir().mkpath(dataDir))
        return fail(Status::failure("The data folder could not be created",
                                    QStringLiteral("{path = %1}").arg(dataDir)));
    std::unique_ptr<CatalogueStore> store(new CatalogueStore);
    auto state = std::make_shared<ContextState>();
    state->path = QDir(dataDir).filePath(kFileName);
    const bool folderWritable = QFileInfo(dataDir).isWritable();
    state->readOnly = options.readOnly || !folderIsWritable(dataDir);
    if (folderWritable) {
        Status locked;
        store->lock_ = StoreLock::take(dataDir, options.lockWaitMs, &locked);
        if (!store->lock_) return fail(locked);
        backups::removeLeftovers(dataDir);
    }
    if (state->readOnly) {
        if (!QFileInfo::exists(state->path))
            return fail(Status::failure("The store could not be opened",
                                        QStringLiteral("{path = %1, reason = the folder is "
                                                       "read-only and holds no store}")
                                            .arg(state->path)));
        // In a folder we can write, SQLite makes what it needs to read the -wal.
        const Status opened = folderWritable ? state->db.open(state->path, true)
                                             : openForReading(*state, store->privateCopy_);
        if (!opened) return fail(opened);
    } else {
        if (Status s = state->db.open(state->path); !s) return fail(s);
        if (Status s = state->db.exec(sql::kJournalMode); !s) return fail(s);
        if (Status s = state->db.exec(sql::kSynchronous); !s) return fail(s);
    }
    if (Status s = migrate(state->db, state->readOnly); !s) return fail(s);

    store->context_.reset(new ManagedObjectContext(state));
    if (Status s = store->context_->load(); !s) return fail(s);
    if (status) *status = Status::success();
    return store;
}

CatalogueStore::~CatalogueStore() {
    // The connection closes before its private copy goes and the lock is given up.
    context_.reset();
}

QString CatalogueStore::filePath() const {
    return context_->state_->path;
}

QString ManagedObjectContext::dataDir() const {
    return QFileInfo(state_->path).absolutePath();
}

void ManagedObjectContext::setLengthLimitForTesting(int bytes) {
    sqlite3_limit(state_->db.handle(), SQLITE_LIMIT_LENGTH, bytes);
}

Status ManagedObjectContext::backupTo(const QString& path) const {
    return sqlite::copyDatabase(state_->db.handle(), path, [] { pausePointForTesting("backup"); });
}

Status ManagedObjectContext::load() {
    ContextState& s = *state_;
    {
        sqlite::Statement movies(s.db, sql::kSelectMovies);
        if (!movies.isValid()) return s.db.failure("The store could not be read");
        int rc;
        while ((rc = movies.step()) == SQLITE_ROW) {
            auto record = Movies::make(state_);
            record->rowId_ = movies.integer(0);
            for (int a = 0; a < kTextAttributeCount; ++a) {
                if (movies.isNull(sql::kFirstTextColumn + a)) continue;
                record->texts_[a] = movies.text(sql::kFirstTextColumn + a);
                record->textPresent_ |= quint16(1u << a);
            }
            record->year_ = qint16(movies.integer(sql::kYearColumn));
            record->runTime_ = qint16(movies.integer(sql::kRunTimeColumn));
            for (const Attribute a : {Attribute::frontImage, Attribute::backImage}) {
                const int column = a == Attribute::frontImage ? sql::kFrontImageSizeColumn
                                                              : sql::kBackImageSizeColumn;
                auto& slot = record->slot(a);
                slot.present = !movies.isNull(column);
                slot.size = slot.present ? movies.integer(column) : 0;
            }
            s.add(record);
        }
        if (rc != SQLITE_DONE) return s.db.failure("The store could not be read");
    }
    for (Entity e : {Entity::GenreList, Entity::RatingList}) {
        const Attribute a = sql::columnsOf(e).front();
        sqlite::Statement rows(s.db, sql::selectEntries(e));
        if (!rows.isValid()) return s.db.failure("The store could not be read");
        int rc;
        while ((rc = rows.step()) == SQLITE_ROW) {
            std::shared_ptr<ManagedObject> record;
            if (e == Entity::GenreList)
                record = GenreList::make(state_);
            else
                record = RatingList::make(state_);
            record->rowId_ = rows.integer(0);
            if (!rows.isNull(1)) {
                record->texts_[int(a)] = rows.text(1);
                record->textPresent_ |= quint16(1u << int(a));
            }
            s.add(record);
        }
        if (rc != SQLITE_DONE) return s.db.failure("The store could not be read");
    }
    return Status::success();
}

// ---- the context -----------------------------------------------------------------------------

ManagedObjectContext::ManagedObjectContext(std::shared_ptr<ContextState> state)
    : state_(std::move(state)) {}

ManagedObjectContext::~ManagedObjectContext() = default;

void ManagedObjectContext::insert(const std::shared_ptr<ManagedObject>& object) {
    state_->add(object);
    state_->markDirty(object.get());
}

std::vector<std::shared_ptr<ManagedObject>> ManagedObjectContext::fetch(
    const FetchRequest& request) const {
    ContextState& s = *state_;
    if (!request.predicate && !request.sortDescriptors.empty())
        return s.sortedListing(request.entity, request.sortDescriptors);
    std::vector<std::shared_ptr<ManagedObject>> result;
    const auto& all = s.of(request.entity);
    const EqualityIndex* index = request.entity == Entity::Movies && request.predicate
                                     ? s.indexFor(*request.predicate)
                                     : nullptr;
    if (index) {
        const auto key = indexKeyOf(*request.predicate, index->attributes);
        const auto it = key ? index->buckets.constFind(*key) : index->buckets.constEnd();
        if (it != index->buckets.constEnd()) {
            std::vector<ManagedObject*> hits = it.value();
            std::sort(hits.begin(), hits.end(), [](const ManagedObject* a, const ManagedObject* b) {
                return a->sequence_ < b->sequence_;
            });
            for (ManagedObject* hit : hits) {
                // Buckets point only at records of objects (see indexObject); a pending
                // delete is not found.
                const auto found = s.placeOf(hit);
                Q_ASSERT(found != all.end() && found->get() == hit);
                if (found != all.end() && found->get() == hit && !hit->isDeleted())
                    result.push_back(*found);
            }
        }
    } else {
        result.reserve(all.size());
        for (const auto& object : all)
            if (!object->isDeleted() && (!request.predicate || request.predicate->matches(*object)))
                result.push_back(object);
    }
    sortRecords(result, request.sortDescriptors);
    return result;
}

int ManagedObjectContext::count(Entity entity) const {
    const auto& all = state_->of(entity);
    return int(
        std::count_if(all.begin(), all.end(), [](const auto& o) { return !o->isDeleted(); }));
}

int ManagedObjectContext::countMovies(const std::vector<Attribute>& attributes,
                                      const QString& value) const {
    return state_->countIndexFor(attributes).counts.value(value, 0);
}

void ManagedObjectContext::deleteObject(const std::shared_ptr<ManagedObject>& object) {
    if (!object || object->isDeleted()) return;
    ContextState& s = *state_;
    if (object->state_.lock() != state_) return;
    s.unindexObject(object.get());
    const bool wasInserted = object->isInserted();
    object->deleted_ = true;
    if (wasInserted) {
        // Never written: forget it at once.
        s.unmarkDirty(object.get());
        auto& all = s.of(object->entity());
        all.erase(std::remove(all.begin(), all.end(), object), all.end());
        return;
    }
    object->deletePending_ = true;
    s.pendingDeletes.push_back(object);
}

DeletedRecord ManagedObjectContext::deleteRestorably(const std::shared_ptr<ManagedObject>& object) {
    if (!object || object->isDeleted() || object->state_.lock() != state_) return {};
    DeletedRecord record{object, {}, {}, Status::success(), object->rowId_};
    for (Attribute a : {Attribute::frontImage, Attribute::backImage}) {
        CoverRead read = object->readImage(a);
        if (read.failed() && record.coverStatus.ok) record.coverStatus = read.status;
        (a == Attribute::frontImage ? record.frontImage : record.backImage) = std::move(read.bytes);
    }
    deleteObject(object);
    return record;
}

bool ManagedObjectContext::restoreDeleted(const DeletedRecord& record) {
    const auto& object = record.object;
    if (!object || !object->deleted_ || object->state_.lock() != state_) return false;
    ContextState& s = *state_;
    object->deleted_ = false;
    if (object->deletePending_) {
        // Never left the device: only the delete is taken back.
        Q_ASSERT(object->rowId_ != 0);
        object->deletePending_ = false;
        std::erase(s.pendingDeletes, object);
        s.indexObject(object.get());
        ++s.versions[int(object->entity())];
        return true;
    }
    // Gone from the device (or never written): it comes back as a new row with every value.
    object->rowId_ = 0;
    object->wantedRowId_ = record.rowId;
    object->savedValues_.reset();
    for (Attribute a : {Attribute::frontImage, Attribute::backImage}) {
        const OptionalBytes& bytes =
            a == Attribute::frontImage ? record.frontImage : record.backImage;
        auto& slot = object->slot(a);
        slot.present = bytes.has_value();
        slot.size = bytes ? bytes->size() : 0;
        slot.loaded = true;
        slot.bytes = bytes.value_or(QByteArray());
    }
    ++object->imageGeneration_;
    object->changedMask_ = (1u << (int(Attribute::backImage) + 1)) - 1;
    s.of(object->entity()).insert(s.placeOf(object.get()), object);
    s.indexObject(object.get());
    ++s.versions[int(object->entity())];
    s.markDirty(object.get());
    return true;
}

void ManagedObjectContext::refreshObject(const std::shared_ptr<ManagedObject>& object) {
    if (!object || object->state_.lock() != state_) return;
    ContextState& s = *state_;
    if (object->isInserted()) {
        deleteObject(object);
        return;
    }
    if (object->deletePending_) {
        object->deleted_ = false;
        object->deletePending_ = false;
        std::erase(s.pendingDeletes, object);
        s.indexObject(object.get());
        ++s.versions[int(object->entity())];
    }
    if (object->savedValues_) {
        s.unindexObject(object.get());
        object->restoreSavedValues();
        s.indexObject(object.get());
    }
    object->changedMask_ = 0;
    s.unmarkDirty(object.get());
}

bool ManagedObjectContext::hasChanges() const {
    return !state_->dirty.empty() || !state_->pendingDeletes.empty();
}

void ManagedObjectContext::setSaveProgressHookForTesting(std::function<void(int)> hook) {
    state_->saveHook = std::move(hook);
}

bool ManagedObjectContext::isReadOnly() const {
    return state_->readOnly;
}

Status ManagedObjectContext::save() {
    ContextState& s = *state_;
    if (!hasChanges()) return Status::success();
    if (s.readOnly)
        return Status::failure("The catalogue is read-only",
                               QStringLiteral("{path = %1}").arg(s.path));
    if (Status begun = s.db.exec(sql::kBegin); !begun) return begun;

    std::vector<std::pair<ManagedObject*, qint64>> newRowIds;
    Status status = writePendingChanges(newRowIds);
    if (status) status = s.db.exec(sql::kCommit);
    if (!status) {
        (void)s.db.exec(sql::kRollback);  // the error that made it roll back is the one to tell
        return status;
    }
    acceptSavedChanges(newRowIds);
    return Status::success();
}

Status ManagedObjectContext::writePendingChanges(
    std::vector<std::pair<ManagedObject*, qint64>>& newRowIds) {
    ContextState& s = *state_;
    int written = 0;
    auto progressed = [&] {
        if (s.saveHook) s.saveHook(written);
        ++written;
    };
    for (const auto& object : s.pendingDeletes) {
        sqlite::Statement statement(s.db, sql::deleteRow(object->entity()));
        if (!statement.isValid()) return s.db.failure("The changes could not be saved");
        statement.bindInt(1, object->rowId_);
        if (const int rc = statement.step(); rc != SQLITE_DONE)
            return s.db.failure("The changes could not be saved", rc);
        progressed();
    }
    std::optional<sqlite::Statement> inserts[kEntityCount];
    for (ManagedObject* object : s.dirty) {
        const Entity e = object->entity();
        if (object->rowId_ == 0) {
            auto& statement = inserts[int(e)];
            if (!statement) statement.emplace(s.db, sql::insertRow(e));
            if (!statement->isValid()) return s.db.failure("The changes could not be saved");
            statement->reset();
            int i = 1;
            for (Attribute a : sql::columnsOf(e)) bindValue(*statement, i++, *object, a);
            if (const int rc = statement->step(); rc != SQLITE_DONE)
                return s.db.failure("The changes could not be saved", rc);
            qint64 rowId = sqlite3_last_insert_rowid(s.db.handle());
            if (object->wantedRowId_ != 0 && object->wantedRowId_ != rowId) {
                // Back to its old row when that is still free: the store's order then keeps it.
                sqlite::Statement move(s.db, sql::moveRow(e));
                move.bindInt(1, object->wantedRowId_);
                move.bindInt(2, rowId);
                if (const int rc = move.step(); rc != SQLITE_DONE)
                    return s.db.failure("The changes could not be saved", rc);
                if (sqlite3_changes(s.db.handle()) == 1) rowId = object->wantedRowId_;
            }
            newRowIds.emplace_back(object, rowId);
        } else {
            std::vector<Attribute> changed;
            for (int a = 0; a <= int(Attribute::backImage); ++a)
                if (object->changedMask_ & (1u << a)) changed.push_back(Attribute(a));
            if (changed.empty()) continue;
            sqlite::Statement statement(s.db, sql::updateRow(e, changed));
            if (!statement.isValid()) return s.db.failure("The changes could not be saved");
            int i = 1;
            for (Attribute a : changed) bindValue(statement, i++, *object, a);
            statement.bindInt(i, object->rowId_);
            if (const int rc = statement.step(); rc != SQLITE_DONE)
                return s.db.failure("The changes could not be saved", rc);
        }
        progressed();
    }
    return Status::success();
}

void ManagedObjectContext::acceptSavedChanges(
    const std::vector<std::pair<ManagedObject*, qint64>>& newRowIds) {
    ContextState& s = *state_;
    for (const auto& [object, rowId] : newRowIds) {
        object->rowId_ = rowId;
        object->wantedRowId_ = 0;
    }
    for (ManagedObject* object : s.dirty) {
        object->changedMask_ = 0;
        object->savedValues_.reset();
        // Saved covers go back to being read on demand.
        for (Attribute a : {Attribute::frontImage, Attribute::backImage}) {
            auto& slot = object->slot(a);
            slot.loaded = false;
            slot.bytes = QByteArray();
        }
    }
    s.dirty.clear();
    if (s.pendingDeletes.empty()) return;
    for (const auto& object : s.pendingDeletes) {
        object->deletePending_ = false;
        object->rowId_ = 0;
    }
    s.pendingDeletes.clear();
    // Only saved deletes are still listed as deleted: pending inserts leave at once.
    for (auto& all : s.objects)
        all.erase(std::remove_if(all.begin(), all.end(), [](const auto& o) { return o->deleted_; }),
                  all.end());
}

}  // namespace quillon
