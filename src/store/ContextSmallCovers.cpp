#include <QSet>

#include "store/CatalogueStore.h"
#include "store/private/ContextState.h"
#include "store/private/StoreSql.h"

namespace quillon {

namespace {

qint64 keyOf(qint64 rowId, int side) {
    return rowId * 2 + side;
}

// The movies' rows and sides that have a small copy.
QSet<qint64> smallCoverKeys(const sqlite::Database& db) {
    QSet<qint64> keys;
    sqlite::Statement rows(db, sql::kSelectSmallCoverKeys);
    while (rows.isValid() && rows.step() == SQLITE_ROW)
        keys.insert(keyOf(rows.integer(0), int(rows.integer(1))));
    return keys;
}

}  // namespace

std::vector<CoverWithoutSmallCopy> ManagedObjectContext::coversWithoutSmallCopy() const {
    const ContextState& s = *state_;
    std::vector<CoverWithoutSmallCopy> missing;
    if (s.readOnly || !s.hasSmallCovers) return missing;
    const QSet<qint64> made = smallCoverKeys(s.db);
    for (const auto& object : s.objects[int(Entity::Movies)]) {
        if (object->isDeleted()) continue;
        for (Attribute a : {Attribute::frontImage, Attribute::backImage}) {
            const std::optional<SavedCover> saved = object->savedCover(a);
            if (saved && !made.contains(keyOf(saved->rowId, sql::sideOf(a))))
                missing.push_back({object, *saved, object->imageGeneration()});
        }
    }
    return missing;
}

Status ManagedObjectContext::storeSmallCopies(const std::vector<MadeSmallCopy>& made, int* stored) {
    ContextState& s = *state_;
    if (stored) *stored = 0;
    if (s.readOnly || !s.hasSmallCovers)
        return Status::failure(Status::ReadOnly, "The catalogue is read-only",
                               QStringLiteral("{path = %1}").arg(s.path));
    if (Status begun = s.db.exec(sql::kBegin); !begun) return begun;
    int written = 0;
    Status status;
    for (const MadeSmallCopy& m : made) {
        const ManagedObject& record = *m.of.record;
        const Attribute a = m.of.cover.attribute;
        // The cover on the device is still the one the copy was made of.
        const std::optional<SavedCover> now = record.savedCover(a);
        if (record.isDeleted() || record.imageGeneration() != m.of.generation || !now ||
            now->rowId != m.of.cover.rowId || record.state_.lock() != state_)
            continue;
        if (!(status = writeSmallCoverRow(s.db, now->rowId, a, m.small))) break;
        ++written;
    }
    if (status) status = s.db.exec(sql::kCommit);
    if (!status) {
        (void)s.db.exec(sql::kRollback);
        return status;
    }
    if (stored) *stored = written;
    return Status::success();
}

}  // namespace quillon
