#include "store/private/ContextState.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "store/private/Sorting.h"
#include "store/private/StoreSql.h"

namespace quillon {

namespace {

constexpr size_t kMaxIndexes = 8;
// Both directions of the list's five keys.
constexpr size_t kMaxListings = 10;

bool sameKeys(const std::vector<SortDescriptor>& a, const std::vector<SortDescriptor>& b,
              bool flipped) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].attribute != b[i].attribute || (a[i].ascending != b[i].ascending) != flipped)
            return false;
    return true;
}

bool oneDirection(const std::vector<SortDescriptor>& keys) {
    return std::all_of(keys.begin(), keys.end(),
                       [&](const SortDescriptor& k) { return k.ascending == keys[0].ascending; });
}

void appendKeyPart(QString& key, const QString& part) {
    key += QString::number(part.size());
    key += QLatin1Char(':');
    key += part;
}

bool involves(const EqualityIndex& index, Attribute a) {
    return std::find(index.attributes.begin(), index.attributes.end(), a) != index.attributes.end();
}

void removeFromBucket(EqualityIndex& index, const QString& key, ManagedObject* object) {
    auto it = index.buckets.find(key);
    if (it == index.buckets.end()) return;
    auto& bucket = it.value();
    bucket.erase(std::remove(bucket.begin(), bucket.end(), object), bucket.end());
    if (bucket.empty()) index.buckets.erase(it);
}

// Adds delta to the count of each distinct value the movie carries in the index's attributes.
void countValues(CountIndex& index, const ManagedObject& object, int delta) {
    // On the stack: this runs for every movie of every index when an index is built.
    std::array<const QString*, kTextAttributeCount> seen;
    size_t seenCount = 0;
    for (Attribute a : index.attributes) {
        const QString* value = object.textIfPresent(a);
        if (!value || std::any_of(seen.begin(), seen.begin() + seenCount,
                                  [value](const QString* s) { return *s == *value; }))
            continue;
        seen[seenCount++] = value;
        const auto it = index.counts.find(*value);
        if (it == index.counts.end()) {
            Q_ASSERT(delta > 0);
            index.counts.insert(*value, delta);
        } else if ((it.value() += delta) == 0) {
            index.counts.erase(it);
        }
    }
}

}  // namespace

QString indexKeyOf(const ManagedObject& object, const std::vector<Attribute>& attributes) {
    QString key;
    for (Attribute a : attributes) {
        if (isNumberAttribute(a)) {
            appendKeyPart(key, QString::number(object.number(a)));
        } else {
            const OptionalText text = object.text(a);
            // Absent texts never equal a predicate value; mark them apart from "".
            if (text)
                appendKeyPart(key, *text);
            else
                key += QLatin1Char('-');
        }
    }
    return key;
}

std::optional<QString> indexKeyOf(const Predicate& predicate,
                                  const std::vector<Attribute>& attributes) {
    QString key;
    for (Attribute a : attributes) {
        const auto test = std::find_if(predicate.tests.begin(), predicate.tests.end(),
                                       [a](const Predicate::Test& t) { return t.attribute == a; });
        // indexFor gives a predicate only an index on exactly the attributes it tests.
        Q_ASSERT(test != predicate.tests.end());
        if (isNumberAttribute(a)) {
            const auto number = readStoredNumber(test->value);
            if (!number) return std::nullopt;
            appendKeyPart(key, QString::number(*number));
        } else {
            appendKeyPart(key, test->value);
        }
    }
    return key;
}

std::vector<std::shared_ptr<ManagedObject>> ContextState::sortedListing(
    Entity e, const std::vector<SortDescriptor>& keys, bool* sortedNow) {
    if (sortedNow) *sortedNow = false;
    const quint64 version = versions[int(e)];
    listings.erase(std::remove_if(listings.begin(), listings.end(),
                                  [&](const SortedListing& l) {
                                      return l.entity == e && l.version != version;
                                  }),
                   listings.end());
    // An order being sorted on a worker is nearer to ready than a sort started now.
    if (aside && aside->entity == e && aside->version == version &&
        (sameKeys(aside->keys, keys, false) ||
         (oneDirection(keys) && sameKeys(aside->keys, keys, true))))
        takeInAside();
    for (const auto& listing : listings)
        if (listing.entity == e && sameKeys(listing.keys, keys, false)) return listing.order;
    std::vector<std::shared_ptr<ManagedObject>> order;
    std::vector<bool> tied;
    const auto opposite =
        std::find_if(listings.begin(), listings.end(), [&](const SortedListing& l) {
            return l.entity == e && oneDirection(keys) && sameKeys(l.keys, keys, true);
        });
    if (opposite != listings.end()) {
        order = opposite->order;
        tied = opposite->tied;
        reverseKeepingTies(order, tied);
    } else {
        for (const auto& object : of(e))
            if (!object->isDeleted()) order.push_back(object);
        sortRecords(order, keys, &tied);
        if (sortedNow) *sortedNow = true;
    }
    keepListing(e, keys, order, std::move(tied));
    return order;
}

bool ContextState::holdsListing(Entity e, const std::vector<SortDescriptor>& keys) const {
    return std::any_of(listings.begin(), listings.end(), [&](const SortedListing& l) {
        return l.entity == e && l.version == versions[int(e)] &&
               (sameKeys(l.keys, keys, false) ||
                (oneDirection(keys) && sameKeys(l.keys, keys, true)));
    });
}

bool ContextState::prepareListing(Entity e, const std::vector<SortDescriptor>& keys) {
    // Smaller entities sort at once in about the time a worker takes to start.
    constexpr size_t kSmallestAside = 5000;
    if (aside && aside->sorted.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
        takeInAside();
    if (holdsListing(e, keys)) return false;
    if (aside) return true;  // one worker at a time
    std::vector<std::shared_ptr<ManagedObject>> records;
    for (const auto& object : of(e))
        if (!object->isDeleted()) records.push_back(object);
    std::optional<KeySnapshot> snapshot;
    if (records.size() >= kSmallestAside) snapshot = snapshotKeys(records, keys);
    if (!snapshot) {
        bool sortedNow = false;
        (void)sortedListing(e, keys, &sortedNow);
        return sortedNow;
    }
    std::future<SortedPlaces> sorted;
    try {
        sorted = std::async(std::launch::async,
                            [snapshot = std::move(*snapshot)] { return sortSnapshot(snapshot); });
    } catch (const std::system_error&) {  // no thread to be had: sorted here instead
        bool sortedNow = false;
        (void)sortedListing(e, keys, &sortedNow);
        return sortedNow;
    }
    aside = ListingAside{e, keys, versions[int(e)], std::move(records), std::move(sorted)};
    return true;
}

void ContextState::takeInAside() {
    ListingAside done = std::move(*aside);
    aside.reset();
    SortedPlaces sorted = done.sorted.get();
    if (done.version != versions[int(done.entity)] || holdsListing(done.entity, done.keys)) return;
    std::vector<std::shared_ptr<ManagedObject>> order;
    order.reserve(done.records.size());
    for (const quint32 place : sorted.places) order.push_back(std::move(done.records[place]));
    keepListing(done.entity, done.keys, std::move(order), std::move(sorted.tied));
}

void ContextState::keepListing(Entity e, const std::vector<SortDescriptor>& keys,
                               std::vector<std::shared_ptr<ManagedObject>> order,
                               std::vector<bool> tied) {
    if (listings.size() >= kMaxListings) listings.erase(listings.begin());
    listings.push_back({e, keys, versions[int(e)], std::move(order), std::move(tied)});
}

std::vector<std::shared_ptr<ManagedObject>>::iterator ContextState::placeOf(
    const ManagedObject* object) {
    auto& all = of(object->entity());
    return std::lower_bound(
        all.begin(), all.end(), object->sequence_,
        [](const std::shared_ptr<ManagedObject>& o, quint64 seq) { return o->sequence_ < seq; });
}

bool ContextState::holds(const ManagedObject* object) {
    const auto place = placeOf(object);
    return place != of(object->entity()).end() && place->get() == object;
}

void ContextState::add(const std::shared_ptr<ManagedObject>& object) {
    ++versions[int(object->entity())];
    object->sequence_ = nextSequence++;
    of(object->entity()).push_back(object);
    indexObject(object.get());
}

void ContextState::markDirty(ManagedObject* object) {
    // A raw pointer: the record must stay in objects while it is dirty. Inserts dropped
    // unsaved are unmarked first; a save empties the set before it drops deleted records.
    Q_ASSERT(holds(object));
    if (std::find(dirty.rbegin(), dirty.rend(), object) == dirty.rend()) dirty.push_back(object);
}

void ContextState::unmarkDirty(ManagedObject* object) {
    dirty.erase(std::remove(dirty.begin(), dirty.end(), object), dirty.end());
}

void ContextState::willChange(ManagedObject* object, Attribute a) {
    if (object->entity() != Entity::Movies || object->isDeleted()) return;
    for (auto& index : indexes)
        if (involves(index, a))
            removeFromBucket(index, indexKeyOf(*object, index.attributes), object);
    for (auto& index : countIndexes)
        if (std::find(index.attributes.begin(), index.attributes.end(), a) !=
            index.attributes.end())
            countValues(index, *object, -1);
}

void ContextState::didChange(ManagedObject* object, Attribute a) {
    ++versions[int(object->entity())];
    if (object->entity() != Entity::Movies || object->isDeleted()) return;
    Q_ASSERT(holds(object));  // buckets hold raw pointers to the context's own records
    for (auto& index : indexes)
        if (involves(index, a))
            index.buckets[indexKeyOf(*object, index.attributes)].push_back(object);
    for (auto& index : countIndexes)
        if (std::find(index.attributes.begin(), index.attributes.end(), a) !=
            index.attributes.end())
            countValues(index, *object, +1);
}

void ContextState::indexObject(ManagedObject* object) {
    if (object->entity() != Entity::Movies) return;
    // Buckets hold raw pointers to live records of objects: indexed only while so.
    Q_ASSERT(holds(object) && !object->isDeleted());
    for (auto& index : indexes)
        index.buckets[indexKeyOf(*object, index.attributes)].push_back(object);
    for (auto& index : countIndexes) countValues(index, *object, +1);
}

void ContextState::unindexObject(ManagedObject* object) {
    ++versions[int(object->entity())];
    if (object->entity() != Entity::Movies) return;
    for (auto& index : indexes)
        removeFromBucket(index, indexKeyOf(*object, index.attributes), object);
    // Called while the record is still live: its values are the ones it was counted with.
    for (auto& index : countIndexes) countValues(index, *object, -1);
}

const EqualityIndex* ContextState::indexFor(const Predicate& predicate) {
    if (predicate.join != Predicate::Join::And || predicate.tests.empty()) return nullptr;
    std::vector<Attribute> attributes;
    for (const auto& test : predicate.tests) {
        if (!isTextAttribute(test.attribute) && !isNumberAttribute(test.attribute)) return nullptr;
        attributes.push_back(test.attribute);
    }
    std::sort(attributes.begin(), attributes.end());
    // The same attribute tested twice with two values is rare; a scan answers it.
    if (std::adjacent_find(attributes.begin(), attributes.end()) != attributes.end())
        return nullptr;
    for (const auto& index : indexes)
        if (index.attributes == attributes) return &index;
    if (indexes.size() >= kMaxIndexes) return nullptr;
    EqualityIndex index{attributes, {}};
    for (const auto& object : of(Entity::Movies))
        if (!object->isDeleted())
            index.buckets[indexKeyOf(*object, attributes)].push_back(object.get());
    indexes.push_back(std::move(index));
    return &indexes.back();
}

std::vector<std::shared_ptr<ManagedObject>> ContextState::indexedMatches(
    const EqualityIndex& index, const Predicate& predicate) {
    std::vector<std::shared_ptr<ManagedObject>> result;
    const auto key = indexKeyOf(predicate, index.attributes);
    const auto it = key ? index.buckets.constFind(*key) : index.buckets.constEnd();
    if (it == index.buckets.constEnd()) return result;
    std::vector<ManagedObject*> hits = it.value();
    std::sort(hits.begin(), hits.end(), [](const ManagedObject* a, const ManagedObject* b) {
        return a->sequence_ < b->sequence_;
    });
    const auto& all = of(Entity::Movies);
    for (ManagedObject* hit : hits) {
        // Buckets point only at records of objects (see indexObject); a pending delete is not
        // found.
        const auto found = placeOf(hit);
        Q_ASSERT(found != all.end() && found->get() == hit);
        if (found != all.end() && found->get() == hit && !hit->isDeleted())
            result.push_back(*found);
    }
    return result;
}

std::vector<std::shared_ptr<ManagedObject>> ContextState::scannedMatches(
    Entity e, const std::optional<Predicate>& predicate) {
    std::vector<std::shared_ptr<ManagedObject>> result;
    const auto& all = of(e);
    result.reserve(all.size());
    for (const auto& object : all)
        if (!object->isDeleted() && (!predicate || predicate->matches(*object)))
            result.push_back(object);
    return result;
}

const CountIndex& ContextState::countIndexFor(std::vector<Attribute> attributes) {
    std::sort(attributes.begin(), attributes.end());
    attributes.erase(std::unique(attributes.begin(), attributes.end()), attributes.end());
    for (const auto& index : countIndexes)
        if (index.attributes == attributes) return index;
    // Built once per set of attributes (the five groupings of the catalogue), then kept current.
    CountIndex index{std::move(attributes), {}};
    for (const auto& object : of(Entity::Movies))
        if (!object->isDeleted()) countValues(index, *object, +1);
    countIndexes.push_back(std::move(index));
    return countIndexes.back();
}

void ContextState::takeBackPendingDelete(const std::shared_ptr<ManagedObject>& object) {
    object->deleted_ = false;
    object->deletePending_ = false;
    std::erase(pendingDeletes, object);
    indexObject(object.get());
    ++versions[int(object->entity())];
}

CoverRead ContextState::readImage(qint64 rowId, Attribute a) {
    return readImageRow(db, rowId, a);
}

QString ContextState::readNotes(qint64 rowId) {
    ++notesReads;
    sqlite::Statement statement(db, sql::kSelectNotes);
    if (statement.isValid()) {
        statement.bindInt(1, rowId);
        if (statement.step() == SQLITE_ROW) return statement.text(0);
    }
    qWarning("The notes of a movie could not be read: %s",
             qPrintable(db.failure("The notes could not be read").describe()));
    return QString();
}

void ContextState::readAllNotes() {
    std::vector<ManagedObject*> unread;
    for (const auto& object : of(Entity::Movies)) {
        if (object->notesUnread_ && object->rowId_ != 0) unread.push_back(object.get());
    }
    if (unread.empty()) return;
    std::sort(unread.begin(), unread.end(),
              [](const ManagedObject* a, const ManagedObject* b) { return a->rowId_ < b->rowId_; });
    ++notesReads;
    sqlite::Statement rows(db, sql::kSelectAllNotes);
    auto next = unread.begin();
    int rc = SQLITE_DONE;
    while (rows.isValid() && next != unread.end() && (rc = rows.step()) == SQLITE_ROW) {
        const qint64 rowId = rows.integer(0);
        while (next != unread.end() && (*next)->rowId_ < rowId) ++next;
        if (next == unread.end() || (*next)->rowId_ != rowId) continue;
        (*next)->texts_[int(Attribute::notes)] = rows.text(1);
        (*next)->notesUnread_ = false;
        ++next;
    }
    // Those left unread are read one by one when asked for, as before.
    if (!rows.isValid() || (rc != SQLITE_ROW && rc != SQLITE_DONE))
        qWarning("The notes of the movies could not be read at once: %s",
                 qPrintable(db.failure("The notes could not be read", rc).describe()));
}

Status ContextState::writeSmallCovers(const ManagedObject& object, qint64 rowId, bool inserted) {
    if (!hasSmallCovers || object.entity() != Entity::Movies) return Status::success();
    for (Attribute a : {Attribute::frontImage, Attribute::backImage}) {
        if (!inserted && !(object.changedMask_ & (1u << int(a)))) continue;
        const ManagedObject::ImageSlot& slot = object.slot(a);
        if (!inserted) {
            sqlite::Statement remove(db, sql::kDeleteSmallCover);
            remove.bindInt(1, rowId);
            remove.bindInt(2, sql::sideOf(a));
            if (const int rc = remove.step(); rc != SQLITE_DONE)
                return db.failure("The changes could not be saved", rc);
        }
        if (!slot.present) continue;
        std::optional<SmallCover> small = slot.loaded ? slot.loaded->small : std::nullopt;
        if (!small && makeSmallCopy && slot.loaded) small = makeSmallCopy(slot.loaded->bytes);
        if (!small) continue;  // made later, in the background
        if (Status s = writeSmallCoverRow(db, rowId, a, *small); !s) return s;
    }
    return Status::success();
}

std::optional<SmallCover> readSmallCoverRow(const sqlite::Database& db, qint64 rowId, Attribute a) {
    sqlite::Statement statement(db, sql::kSelectSmallCover);
    if (!statement.isValid()) return std::nullopt;  // a store without small copies
    statement.bindInt(1, rowId);
    statement.bindInt(2, sql::sideOf(a));
    if (statement.step() != SQLITE_ROW) return std::nullopt;
    return SmallCover{statement.blob(2),
                      QSize(int(statement.integer(0)), int(statement.integer(1)))};
}

Status writeSmallCoverRow(const sqlite::Database& db, qint64 rowId, Attribute a,
                          const SmallCover& small) {
    sqlite::Statement insert(db, sql::kInsertSmallCover);
    if (!insert.isValid()) return db.failure("The changes could not be saved");
    insert.bindInt(1, rowId);
    insert.bindInt(2, sql::sideOf(a));
    insert.bindInt(3, small.coverSize.width());
    insert.bindInt(4, small.coverSize.height());
    insert.bindBlob(5, small.bytes);
    if (const int rc = insert.step(); rc != SQLITE_DONE)
        return db.failure("The changes could not be saved", rc);
    return Status::success();
}

CoverRead readImageRow(const sqlite::Database& db, qint64 rowId, Attribute a) {
    sqlite::Statement statement(db, sql::selectCover(a));
    if (!statement.isValid()) return {std::nullopt, db.failure("The cover could not be read")};
    statement.bindInt(1, rowId);
    const int rc = statement.step();
    if (rc == SQLITE_DONE) return {};  // the row is gone: nothing to read
    if (rc != SQLITE_ROW) return {std::nullopt, db.failure("The cover could not be read", rc)};
    if (statement.isNull(0)) return {};
    return {statement.blob(0), Status::success()};
}

}  // namespace quillon
