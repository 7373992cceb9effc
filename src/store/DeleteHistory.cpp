#include "store/DeleteHistory.h"

#include <algorithm>

namespace quillon {

DeleteHistory::DeleteHistory(ManagedObjectContext& context, int capacity)
    : context_(context), capacity_(std::max(1, capacity)) {}

bool DeleteHistory::deleteAndSave(const std::shared_ptr<ManagedObject>& object,
                                  const SaveFunction& save) {
    DeletedRecord deleted = context_.deleteRestorably(object);
    if (!deleted.object) return false;
    if (!save()) {
        context_.restoreDeleted(deleted);
        return false;
    }
    entries_.push_back(std::move(deleted));
    while (int(entries_.size()) > capacity_) entries_.pop_front();
    return true;
}

DeleteHistory::Undo DeleteHistory::undoLast(Entity entity, const SaveFunction& save) {
    using Outcome = Undo::Outcome;
    for (auto it = entries_.end(); it != entries_.begin();) {
        --it;
        if (it->object->entity() != entity) continue;
        if (!context_.restoreDeleted(*it)) {
            it = entries_.erase(it);  // not deleted any more, or of a closed store
            continue;
        }
        if (!save()) {
            // Deleted again. Its delete had been saved, so the restored record is new to the
            // store and leaves at once; the entry can still bring it back later.
            context_.deleteObject(it->object);
            return {Outcome::SaveFailed, it->object};
        }
        Undo undone{Outcome::Restored, it->object};
        entries_.erase(it);
        return undone;
    }
    return {};
}

}  // namespace quillon
