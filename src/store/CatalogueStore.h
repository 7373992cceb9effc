#pragma once

#include <QHash>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include "store/FetchRequest.h"
#include "store/Records.h"
#include "store/Status.h"
#include "store/StoreLock.h"

namespace quillon {

// A deleted record with what it takes to bring it back.
struct DeletedRecord {
    std::shared_ptr<ManagedObject> object;
    OptionalBytes frontImage;
    OptionalBytes backImage;
    std::optional<SmallCover> frontSmall;  // their small copies, when they had them
    std::optional<SmallCover> backSmall;
    Status coverStatus;  // failed when a cover could not be read before the delete
    qint64 rowId = 0;    // the row it had, taken again when still free
};

// A saved cover without a small copy, as it was when listed, so that a worker can make one.
struct CoverWithoutSmallCopy {
    std::shared_ptr<ManagedObject> record;
    SavedCover cover;
    quint32 generation = 0;  // the record's imageGeneration() then
};
struct MadeSmallCopy {
    CoverWithoutSmallCopy of;
    SmallCover small;
};

// The one main context. Every record of the store is held here once the store opens (covers
// excepted), so fetches are evaluated in memory and always see pending changes: a pending
// insert is found, a pending delete is not. save() writes every pending change in one SQLite
// transaction; when it fails, nothing is written and every change stays pending for the next
// save. Main thread only.
class ManagedObjectContext {
public:
    ~ManagedObjectContext();
    ManagedObjectContext(const ManagedObjectContext&) = delete;
    ManagedObjectContext& operator=(const ManagedObjectContext&) = delete;

    std::vector<std::shared_ptr<ManagedObject>> fetch(const FetchRequest& request) const;
    template <class T>
    std::vector<std::shared_ptr<T>> fetch(std::optional<Predicate> predicate = std::nullopt,
                                          std::vector<SortDescriptor> sort = {}) const {
        std::vector<std::shared_ptr<T>> typed;
        auto objects = fetch(FetchRequest{T::kEntity, std::move(predicate), std::move(sort)});
        typed.reserve(objects.size());
        for (auto& o : objects) typed.push_back(std::static_pointer_cast<T>(std::move(o)));
        return typed;
    }
    int count(Entity entity) const;  // records not deleted, pending ones included
    // The number of movies, as fetches see them (pending changes included), that carry exactly
    // `value` in at least one of the text `attributes`; a movie carrying it in two of them counts
    // once. Answered from an index the store keeps current through every change, built on the
    // first question about a set of attributes: constant time per value after that.
    int countMovies(const std::vector<Attribute>& attributes, const QString& value) const;
    // Every value the movies carry in `attributes` ("" included), with its number as
    // countMovies gives it, from the same index.
    QHash<QString, int> movieCountsByValue(const std::vector<Attribute>& attributes) const;

    void deleteObject(const std::shared_ptr<ManagedObject>& object);
    // Deletes like deleteObject and returns what restoreDeleted needs to bring the record back
    // whole: its covers are read now, while they are still on the device. The delete happens
    // even when a cover cannot be read; coverStatus then says so. A null object when nothing
    // was deleted.
    DeletedRecord deleteRestorably(const std::shared_ptr<ManagedObject>& object);
    // Brings a deleted record back as a pending change (save to keep it): the same handle, its
    // last values and covers, at its old place in the store's own order. False when the record
    // is not deleted or not of this context.
    bool restoreDeleted(const DeletedRecord& record);
    // Forgets the record's pending changes: a new record leaves the context (it then reads as
    // deleted), a changed one gets its saved values back, a deleted one comes back.
    void refreshObject(const std::shared_ptr<ManagedObject>& object);
    bool hasChanges() const;
    // Reads the saved notes of every movie in one query, for a reader of every movie (an
    // export): asked movie by movie they cost a query each. Notes read or changed before are
    // kept; absent and empty notes stay apart.
    void readAllNotes() const;
    // Fails at once (ReadOnly), writing nothing, when the store was opened read-only.
    Status save();
    bool isReadOnly() const;
    // The data folder the store lives in.
    QString dataDir() const;
    // A consistent copy of the saved store (pending changes are not in it) written to a new
    // file at path, a few pages at a time, as a file of its own that needs no -wal beside it.
    // A failure removes what was written.
    Status backupTo(const QString& path) const;

    // Saved covers that have no small copy yet (a store made before small copies were kept, or
    // saved without a maker), in the store's own order, front before back. Empty when the
    // store is read-only.
    std::vector<CoverWithoutSmallCopy> coversWithoutSmallCopy() const;
    // Stores small copies made for such covers, in one transaction of its own: pending changes
    // stay pending. A cover changed since it was listed (a new generation, a pending change, a
    // delete) is left out; *stored receives how many went in.
    Status storeSmallCopies(const std::vector<MadeSmallCopy>& made, int* stored = nullptr);

    // Sorts the entity by the keys unless that order (or its reverse) is held; a large one on a
    // worker, whose order a later call takes in. True while the order is not held yet.
    bool prepareSortedListing(Entity entity, const std::vector<SortDescriptor>& keys);

    // Test seam: called inside the save transaction after each written row (the row's index).
    void setSaveProgressHookForTesting(std::function<void(int)> hook);
    // Test seam: the largest text or blob SQLite accepts (its default is about 1 GB).
    void setLengthLimitForTesting(int bytes);
    // Test seam: how many times notes were read from the device since the store opened.
    int notesReadsForTesting() const;

private:
    friend class CatalogueStore;
    template <class T, Entity E>
    friend class EntityRecord;
    explicit ManagedObjectContext(std::shared_ptr<ContextState> state);
    void insert(const std::shared_ptr<ManagedObject>& object);
    Status load();
    Status loadMovies();
    Status loadEntries(Entity e);
    void reinsertDeleted(const DeletedRecord& record);

    std::shared_ptr<ContextState> state_;
};

struct StoreOptions {
    // How long to wait for another process that has the store open.
    int lockWaitMs = 0;
    // Open for reading only, even where the store could be written.
    bool readOnly = false;
    // Makes the small copy of a cover a save stores without one (setImage), in the save's
    // transaction. Without it such covers get theirs later (coversWithoutSmallCopy).
    SmallCoverMaker makeSmallCopy = nullptr;
};

// The store container "Quillon": the SQLite file Quillon.sqlite in a data folder, with its
// main context. Opening reads every record's texts and numbers (never the covers).
//
// One process at a time has a store open for writing: open() takes the StoreLock beside the
// store and holds it until the store is destroyed, because each process keeps its own copy of
// the catalogue in memory and would never see another's inserts.
//
// A folder that cannot be written is opened read-only, without a lock, and still shows every
// committed change, those in the -wal included: through the -shm index when it is there and
// readable (SQLite then reads beside a live writer), as an unchanging file when there is no
// -wal to read, else from a private copy of the store and its -wal. When none of these is
// safe the open fails and says why.
class CatalogueStore {
public:
    static constexpr const char* kFileName = "Quillon.sqlite";
    static constexpr const char* kLockFileName = StoreLock::kFileName;
    // 2: small copies of the covers.
    static constexpr int kSchemaVersion = 2;
    // The error of an open refused because another process holds the store.
    static constexpr const char* kLockedError = StoreLock::kLockedError;

    // Opens or creates the store in dataDir (created when missing). A store another process
    // holds fails Busy (see StoreLock).
    static std::unique_ptr<CatalogueStore> open(const QString& dataDir, Status* status,
                                                const StoreOptions& options = {});
    ~CatalogueStore();

    ManagedObjectContext& viewContext() { return *context_; }
    QString filePath() const;
    QString dataDir() const { return context_->dataDir(); }
    bool isReadOnly() const { return context_->isReadOnly(); }
    Status backupTo(const QString& path) const { return context_->backupTo(path); }

private:
    CatalogueStore() = default;
    Status openIn(const QString& dataDir, const StoreOptions& options);
    std::unique_ptr<StoreLock> lock_;
    std::unique_ptr<QTemporaryDir> privateCopy_;  // where a read-only store is read from
    std::unique_ptr<ManagedObjectContext> context_;
};

}  // namespace quillon
