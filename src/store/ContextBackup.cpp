#include "store/CatalogueStore.h"
#include "store/private/ContextState.h"
#include "store/private/TestPause.h"

namespace quillon {

Status ManagedObjectContext::backupTo(const QString& path) const {
    return sqlite::copyDatabase(state_->db.handle(), path, [] { pausePointForTesting("backup"); });
}

DeletedRecord ManagedObjectContext::deleteRestorably(const std::shared_ptr<ManagedObject>& object) {
    if (!object || object->isDeleted() || object->state_.lock() != state_) return {};
    DeletedRecord record{object, {}, {}, {}, {}, Status::success(), object->rowId_};
    for (Attribute a : {Attribute::frontImage, Attribute::backImage}) {
        CoverRead read = object->readImage(a);
        if (read.failed() && record.coverStatus.ok) record.coverStatus = read.status;
        const bool front = a == Attribute::frontImage;
        (front ? record.frontImage : record.backImage) = std::move(read.bytes);
        const auto& slot = object->slot(a);
        std::optional<SmallCover>& small = front ? record.frontSmall : record.backSmall;
        if (slot.loaded)
            small = slot.loaded->small;
        else if (slot.present && state_->hasSmallCovers)
            small = readSmallCoverRow(state_->db, object->rowId_, a);
    }
    deleteObject(object);
    return record;
}

bool ManagedObjectContext::restoreDeleted(const DeletedRecord& record) {
    const auto& object = record.object;
    if (!object || !object->deleted_ || object->state_.lock() != state_) return false;
    if (object->deletePending_) {
        // Never left the device: only the delete is taken back.
        Q_ASSERT(object->rowId_ != 0);
        state_->takeBackPendingDelete(object);
    } else {
        reinsertDeleted(record);
    }
    return true;
}

// Gone from the device (or never written): the record comes back as a new row with every value.
void ManagedObjectContext::reinsertDeleted(const DeletedRecord& record) {
    ContextState& s = *state_;
    const auto& object = record.object;
    object->deleted_ = false;
    object->rowId_ = 0;
    object->wantedRowId_ = record.rowId;
    object->savedValues_.reset();
    for (Attribute a : {Attribute::frontImage, Attribute::backImage}) {
        const OptionalBytes& bytes =
            a == Attribute::frontImage ? record.frontImage : record.backImage;
        auto& slot = object->slot(a);
        slot.present = bytes.has_value();
        slot.size = bytes ? bytes->size() : 0;
        slot.loaded = std::make_shared<const ManagedObject::LoadedCover>(ManagedObject::LoadedCover{
            bytes.value_or(QByteArray()),
            a == Attribute::frontImage ? record.frontSmall : record.backSmall});
    }
    ++object->imageGeneration_;
    object->changedMask_ = (1u << (int(Attribute::backImage) + 1)) - 1;
    s.of(object->entity()).insert(s.placeOf(object.get()), object);
    s.indexObject(object.get());
    ++s.versions[int(object->entity())];
    s.markDirty(object.get());
}

}  // namespace quillon
