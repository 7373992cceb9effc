#pragma once

#include <QHash>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <vector>

#include "store/FetchRequest.h"
#include "store/Records.h"
#include "store/private/Sorting.h"
#include "store/private/Sqlite.h"

namespace quillon {

// Hash index answering an AND of equality tests on a fixed set of attributes. The buckets hold
// raw pointers to the context's live (not deleted) movies; a record leaves them before it is
// deleted or dropped.
struct EqualityIndex {
    std::vector<Attribute> attributes;  // sorted
    QHash<QString, std::vector<ManagedObject*>> buckets;
};

// The number of live movies per text value over a set of attributes; a movie whose attributes
// carry the same value twice counts once for it. Values no movie carries are not kept.
struct CountIndex {
    std::vector<Attribute> attributes;  // sorted
    QHash<QString, int> counts;
};

// A full sorted listing of one entity, valid while the entity's version is unchanged.
struct SortedListing {
    Entity entity;
    std::vector<SortDescriptor> keys;
    quint64 version = 0;
    std::vector<std::shared_ptr<ManagedObject>> order;
    std::vector<bool> tied;  // whether each record's keys equal those of the one before it
};

// A listing being sorted on a worker from a snapshot of the keys. It joins the listings only when
// the entity has not changed since the snapshot.
struct ListingAside {
    Entity entity;
    std::vector<SortDescriptor> keys;
    quint64 version = 0;
    std::vector<std::shared_ptr<ManagedObject>> records;  // as the snapshot has them
    std::future<SortedPlaces> sorted;
};

// Everything behind the main context: the connection, every live record and the pending work.
// Records hold a weak reference to it so that a handle outliving the store stays harmless.
struct ContextState {
    sqlite::Database db;
    QString path;
    bool readOnly = false;
    // The records of each entity in insertion order (the store's own order), pending deletes too.
    std::vector<std::shared_ptr<ManagedObject>> objects[kEntityCount];
    // Changed or inserted records, in order of their first change. Raw pointers: each is held
    // in objects while it is here.
    std::vector<ManagedObject*> dirty;
    std::vector<std::shared_ptr<ManagedObject>> pendingDeletes;
    std::vector<EqualityIndex> indexes;    // Movies only
    std::vector<CountIndex> countIndexes;  // Movies only
    quint64 versions[kEntityCount] = {};   // bumped by every change that can move a sort
    std::vector<SortedListing> listings;   // most recent last
    std::optional<ListingAside> aside;     // its destructor waits for the worker
    quint64 nextSequence = 1;
    std::function<void(int)> saveHook;
    // Whether the store has the table of small copies (a read-only store of version 1 has not).
    bool hasSmallCovers = false;
    SmallCoverMaker makeSmallCopy;

    std::vector<std::shared_ptr<ManagedObject>>& of(Entity e) { return objects[int(e)]; }
    // Where the record is, or belongs, in of(its entity).
    std::vector<std::shared_ptr<ManagedObject>>::iterator placeOf(const ManagedObject* object);
    bool holds(const ManagedObject* object);
    void add(const std::shared_ptr<ManagedObject>& object);
    void markDirty(ManagedObject* object);
    void unmarkDirty(ManagedObject* object);

    // Index upkeep around a change of one attribute.
    void willChange(ManagedObject* object, Attribute a);
    void didChange(ManagedObject* object, Attribute a);
    void indexObject(ManagedObject* object);
    void unindexObject(ManagedObject* object);
    const EqualityIndex* indexFor(const Predicate& predicate);
    // The live records the predicate matches, in the store's own order: looked up in an index
    // that answers it (see indexFor), or found by testing every record of the entity.
    std::vector<std::shared_ptr<ManagedObject>> indexedMatches(const EqualityIndex& index,
                                                               const Predicate& predicate);
    std::vector<std::shared_ptr<ManagedObject>> scannedMatches(
        Entity e, const std::optional<Predicate>& predicate);
    const CountIndex& countIndexFor(std::vector<Attribute> attributes);
    // Every live record of the entity in the keys' order; reuses earlier sorts while valid.
    // *sortedNow tells whether none could be reused.
    std::vector<std::shared_ptr<ManagedObject>> sortedListing(
        Entity e, const std::vector<SortDescriptor>& keys, bool* sortedNow = nullptr);
    // Whether a listing by the keys, or by their reverse, is held for the entity as it is now.
    bool holdsListing(Entity e, const std::vector<SortDescriptor>& keys) const;
    // Sorts the entity by the keys unless such a listing is held: a large entity on a worker
    // (see ListingAside), whose order a later call takes in. True while the listing is not held.
    bool prepareListing(Entity e, const std::vector<SortDescriptor>& keys);
    // Waits for the worker's order, and keeps it when the entity is as it was and has no such
    // listing yet.
    void takeInAside();
    // Keeps an order of every live record of the entity, by the keys, for sortedListing.
    void keepListing(Entity e, const std::vector<SortDescriptor>& keys,
                     std::vector<std::shared_ptr<ManagedObject>> order, std::vector<bool> tied);

    // A pending delete taken back: the record is live again as it was.
    void takeBackPendingDelete(const std::shared_ptr<ManagedObject>& object);

    // Writes every pending change inside the caller's transaction; newRowIds receives the rows
    // the inserts got. Records change only in acceptSavedChanges, once the transaction commits.
    Status writePendingChanges(std::vector<std::pair<ManagedObject*, qint64>>& newRowIds);
    void acceptSavedChanges(const std::vector<std::pair<ManagedObject*, qint64>>& newRowIds);

    CoverRead readImage(qint64 rowId, Attribute a);
    // A saved movie's notes; "" when they cannot be read (logged).
    QString readNotes(qint64 rowId);
    // The notes of every saved movie that has not read its own yet, in one pass over the table.
    void readAllNotes();
    int notesReads = 0;
    // The small copies of a written record's changed covers, in the caller's transaction.
    Status writeSmallCovers(const ManagedObject& object, qint64 rowId, bool inserted);
};

// One cover of one row, read through the given connection.
CoverRead readImageRow(const sqlite::Database& db, qint64 rowId, Attribute a);
// The small copy of one cover of one row; nullopt when there is none or it cannot be read.
std::optional<SmallCover> readSmallCoverRow(const sqlite::Database& db, qint64 rowId, Attribute a);
Status writeSmallCoverRow(const sqlite::Database& db, qint64 rowId, Attribute a,
                          const SmallCover& small);

// Index key of one record, or of a predicate's values; nullopt when no record can match.
QString indexKeyOf(const ManagedObject& object, const std::vector<Attribute>& attributes);
std::optional<QString> indexKeyOf(const Predicate& predicate,
                                  const std::vector<Attribute>& attributes);

}  // namespace quillon
