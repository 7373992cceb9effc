#include <algorithm>

#include "store/CatalogueStore.h"
#include "store/private/ContextState.h"
#include "store/private/StoreSql.h"

namespace quillon {

namespace {

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

Status writeDelete(const sqlite::Database& db, const ManagedObject& object, bool smallCovers) {
    sqlite::Statement statement(db, sql::deleteRow(object.entity()));
    if (!statement.isValid()) return db.failure("The changes could not be saved");
    statement.bindInt(1, object.rowId());
    if (const int rc = statement.step(); rc != SQLITE_DONE)
        return db.failure("The changes could not be saved", rc);
    if (!smallCovers || object.entity() != Entity::Movies) return Status::success();
    sqlite::Statement small(db, sql::kDeleteSmallCovers);
    small.bindInt(1, object.rowId());
    if (const int rc = small.step(); rc != SQLITE_DONE)
        return db.failure("The changes could not be saved", rc);
    return Status::success();
}

// Inserts a new record with `insert` (prepared once per entity and save), back at its old row
// `wantedRowId` when it has one that is still free: the store's order then keeps it. rowId
// receives the row it got.
Status writeInsert(const sqlite::Database& db, std::optional<sqlite::Statement>& insert,
                   const ManagedObject& object, qint64 wantedRowId, qint64* rowId) {
    const Entity e = object.entity();
    if (!insert) insert.emplace(db, sql::insertRow(e));
    if (!insert->isValid()) return db.failure("The changes could not be saved");
    insert->reset();
    int i = 1;
    for (Attribute a : sql::columnsOf(e)) bindValue(*insert, i++, object, a);
    if (const int rc = insert->step(); rc != SQLITE_DONE)
        return db.failure("The changes could not be saved", rc);
    *rowId = sqlite3_last_insert_rowid(db.handle());
    if (wantedRowId == 0 || wantedRowId == *rowId) return Status::success();
    sqlite::Statement move(db, sql::moveRow(e));
    move.bindInt(1, wantedRowId);
    move.bindInt(2, *rowId);
    if (const int rc = move.step(); rc != SQLITE_DONE)
        return db.failure("The changes could not be saved", rc);
    if (sqlite3_changes(db.handle()) == 1) *rowId = wantedRowId;
    return Status::success();
}

Status writeUpdate(const sqlite::Database& db, const ManagedObject& object,
                   const std::vector<Attribute>& changed) {
    sqlite::Statement statement(db, sql::updateRow(object.entity(), changed));
    if (!statement.isValid()) return db.failure("The changes could not be saved");
    int i = 1;
    for (Attribute a : changed) bindValue(statement, i++, object, a);
    statement.bindInt(i, object.rowId());
    if (const int rc = statement.step(); rc != SQLITE_DONE)
        return db.failure("The changes could not be saved", rc);
    return Status::success();
}

}  // namespace

Status ManagedObjectContext::save() {
    ContextState& s = *state_;
    if (!hasChanges()) return Status::success();
    if (s.readOnly)
        return Status::failure(Status::ReadOnly, "The catalogue is read-only",
                               QStringLiteral("{path = %1}").arg(s.path));
    if (Status begun = s.db.exec(sql::kBegin); !begun) return begun;

    std::vector<std::pair<ManagedObject*, qint64>> newRowIds;
    Status status = s.writePendingChanges(newRowIds);
    if (status) status = s.db.exec(sql::kCommit);
    if (!status) {
        (void)s.db.exec(sql::kRollback);  // the error that made it roll back is the one to tell
        return status;
    }
    s.acceptSavedChanges(newRowIds);
    return Status::success();
}

Status ContextState::writePendingChanges(
    std::vector<std::pair<ManagedObject*, qint64>>& newRowIds) {
    int written = 0;
    auto progressed = [&] {
        if (saveHook) saveHook(written);
        ++written;
    };
    for (const auto& object : pendingDeletes) {
        if (Status s = writeDelete(db, *object, hasSmallCovers); !s) return s;
        progressed();
    }
    std::optional<sqlite::Statement> inserts[kEntityCount];
    for (ManagedObject* object : dirty) {
        if (object->rowId_ == 0) {
            qint64 rowId = 0;
            if (Status s = writeInsert(db, inserts[int(object->entity())], *object,
                                       object->wantedRowId_, &rowId);
                !s)
                return s;
            if (Status s = writeSmallCovers(*object, rowId, true); !s) return s;
            newRowIds.emplace_back(object, rowId);
        } else {
            std::vector<Attribute> changed;
            for (int a = 0; a <= int(Attribute::backImage); ++a)
                if (object->changedMask_ & (1u << a)) changed.push_back(Attribute(a));
            if (changed.empty()) continue;
            if (Status s = writeUpdate(db, *object, changed); !s) return s;
            if (Status s = writeSmallCovers(*object, object->rowId_, false); !s) return s;
        }
        progressed();
    }
    return Status::success();
}

void ContextState::acceptSavedChanges(
    const std::vector<std::pair<ManagedObject*, qint64>>& newRowIds) {
    for (const auto& [object, rowId] : newRowIds) {
        object->rowId_ = rowId;
        object->wantedRowId_ = 0;
    }
    for (ManagedObject* object : dirty) {
        object->changedMask_ = 0;
        object->savedValues_.reset();
        // Saved covers go back to being read on demand.
        for (Attribute a : {Attribute::frontImage, Attribute::backImage})
            object->slot(a).loaded.reset();
    }
    dirty.clear();
    if (pendingDeletes.empty()) return;
    for (const auto& object : pendingDeletes) {
        object->deletePending_ = false;
        object->rowId_ = 0;
    }
    pendingDeletes.clear();
    // Only saved deletes are still listed as deleted: pending inserts leave at once.
    for (auto& all : objects)
        all.erase(std::remove_if(all.begin(), all.end(), [](const auto& o) { return o->deleted_; }),
                  all.end());
}

}  // namespace quillon
