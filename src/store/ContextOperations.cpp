#include <QFileInfo>
#include <algorithm>

#include "store/CatalogueStore.h"
#include "store/private/ContextState.h"
#include "store/private/Sorting.h"

namespace quillon {

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
    const EqualityIndex* index = request.entity == Entity::Movies && request.predicate
                                     ? s.indexFor(*request.predicate)
                                     : nullptr;
    auto result = index ? s.indexedMatches(*index, *request.predicate)
                        : s.scannedMatches(request.entity, request.predicate);
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

QHash<QString, int> ManagedObjectContext::movieCountsByValue(
    const std::vector<Attribute>& attributes) const {
    return state_->countIndexFor(attributes).counts;
}

void ManagedObjectContext::deleteObject(const std::shared_ptr<ManagedObject>& object) {
    if (!object || object->isDeleted()) return;
    ContextState& s = *state_;
    if (object->state_.lock() != state_) return;
    s.unindexObject(object.get());
    (void)object->textIfPresent(Attribute::notes);  // the handle keeps them once the row is gone
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

void ManagedObjectContext::refreshObject(const std::shared_ptr<ManagedObject>& object) {
    if (!object || object->state_.lock() != state_) return;
    ContextState& s = *state_;
    if (object->isInserted()) {
        deleteObject(object);
        return;
    }
    if (object->deletePending_) s.takeBackPendingDelete(object);
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

bool ManagedObjectContext::isReadOnly() const {
    return state_->readOnly;
}

QString ManagedObjectContext::dataDir() const {
    return QFileInfo(state_->path).absolutePath();
}

void ManagedObjectContext::setSaveProgressHookForTesting(std::function<void(int)> hook) {
    state_->saveHook = std::move(hook);
}

bool ManagedObjectContext::prepareSortedListing(Entity entity,
                                                const std::vector<SortDescriptor>& keys) {
    return state_->prepareListing(entity, keys);
}

void ManagedObjectContext::readAllNotes() const {
    state_->readAllNotes();
}

int ManagedObjectContext::notesReadsForTesting() const {
    return state_->notesReads;
}

void ManagedObjectContext::setLengthLimitForTesting(int bytes) {
    sqlite3_limit(state_->db.handle(), SQLITE_LIMIT_LENGTH, bytes);
}

}  // namespace quillon
