#include "store/CatalogueStore.h"
#include "store/private/ContextState.h"
#include "store/private/StoreSql.h"

namespace quillon {

namespace {

// Runs `read` on every row the query gives.
template <class Read>
Status readRows(const sqlite::Database& db, const QByteArray& query, Read read) {
    sqlite::Statement rows(db, query);
    if (!rows.isValid()) return db.failure("The store could not be read");
    int rc;
    while ((rc = rows.step()) == SQLITE_ROW) read(rows);
    if (rc != SQLITE_DONE) return db.failure("The store could not be read");
    return Status::success();
}

}  // namespace

Status ManagedObjectContext::load() {
    if (Status s = loadMovies(); !s) return s;
    for (Entity e : {Entity::GenreList, Entity::RatingList})
        if (Status s = loadEntries(e); !s) return s;
    return Status::success();
}

Status ManagedObjectContext::loadMovies() {
    return readRows(state_->db, sql::kSelectMovies, [this](const sqlite::Statement& row) {
        auto record = Movies::make(state_);
        record->rowId_ = row.integer(0);
        for (int a = 0; a < kTextAttributeCount; ++a) {
            if (row.isNull(sql::kFirstTextColumn + a)) continue;
            if (Attribute(a) == Attribute::notes) {  // only whether there are notes
                if (row.integer(sql::kFirstTextColumn + a) == 0) continue;
                record->notesUnread_ = true;
                record->textPresent_ |= quint16(1u << a);
                continue;
            }
            record->texts_[a] = row.text(sql::kFirstTextColumn + a);
            record->textPresent_ |= quint16(1u << a);
        }
        record->year_ = qint16(row.integer(sql::kYearColumn));
        record->runTime_ = qint16(row.integer(sql::kRunTimeColumn));
        // Only whether each cover is there, and its size: the bytes are read on demand.
        for (const Attribute a : {Attribute::frontImage, Attribute::backImage}) {
            const int column =
                a == Attribute::frontImage ? sql::kFrontImageSizeColumn : sql::kBackImageSizeColumn;
            auto& slot = record->slot(a);
            slot.present = !row.isNull(column);
            slot.size = slot.present ? row.integer(column) : 0;
        }
        state_->add(record);
    });
}

Status ManagedObjectContext::loadEntries(Entity e) {
    const Attribute a = sql::columnsOf(e).front();
    return readRows(state_->db, sql::selectEntries(e), [this, e, a](const sqlite::Statement& row) {
        std::shared_ptr<ManagedObject> record;
        if (e == Entity::GenreList)
            record = GenreList::make(state_);
        else
            record = RatingList::make(state_);
        record->rowId_ = row.integer(0);
        if (!row.isNull(1)) {
            record->texts_[int(a)] = row.text(1);
            record->textPresent_ |= quint16(1u << int(a));
        }
        state_->add(record);
    });
}

}  // namespace quillon
