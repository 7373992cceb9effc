#pragma once

#include <deque>
#include <functional>
#include <memory>

#include "store/CatalogueStore.h"

namespace quillon {

// The deletes made by the lists since the program started, newest last, so that they can be
// taken back. Each delete is saved at once with the caller's save function; a delete or an
// undo whose save fails is taken back before returning, so a change that cannot be saved
// never stays pending to block later saves. One history per context, in the services; it outlives
// the screens. Main thread only.
class DeleteHistory {
public:
    static constexpr int kCapacity = 50;
    // Saves the context; false when the save failed (the caller's own way of reporting it).
    using SaveFunction = std::function<bool()>;

    explicit DeleteHistory(ManagedObjectContext& context, int capacity = kCapacity);

    // Deletes the record with its covers kept and saves. When the save fails the record comes
    // back as it was and nothing is remembered. False when nothing was deleted.
    bool deleteAndSave(const std::shared_ptr<ManagedObject>& object, const SaveFunction& save);
    struct Undo {
        enum class Outcome { NothingToUndo, Restored, SaveFailed };
        Outcome outcome = Outcome::NothingToUndo;
        std::shared_ptr<ManagedObject> object;  // the record brought back or tried
    };
    // Brings back the newest remembered delete of the entity and saves. When the save fails
    // the record is deleted again and stays the newest to undo.
    Undo undoLast(Entity entity, const SaveFunction& save);

private:
    ManagedObjectContext& context_;
    int capacity_;
    std::deque<DeletedRecord> entries_;  // oldest first
};

}  // namespace quillon
