#pragma once

#include <functional>
#include <optional>

#include "catalogue/SearchableList.h"
#include "store/DeleteHistory.h"

namespace quillon {

// A searchable list whose rows are records the user deletes: a delete is saved at once and
// kept in the delete history, so that it can be taken back.
template <class Row>
class RecordList : public SearchableList<Row> {
public:
    // Where the deletes are kept and how they are saved; until then nothing is deleted.
    void keepDeletesIn(DeleteHistory& history, DeleteHistory::SaveFunction save) {
        history_ = &history;
        save_ = std::move(save);
    }

    // Deletes the shown row's record and saves; the row stays until removeRow(). The text of
    // the undo bar, or nothing when nothing was deleted: a refused save (told by the save
    // function) is taken back and the rows are fetched again, the search kept.
    std::optional<QString> deleteRecord(int row) {
        if (!history_ || row < 0 || row >= this->rowCount()) return std::nullopt;
        const Row record = this->rows()[size_t(row)];
        if (history_->deleteAndSave(record, save_)) return deletedNotice(*record);
        this->refetchKeepingSearch();
        return std::nullopt;
    }
    struct Undone {
        bool tried = false;     // there was a delete to take back
        bool restored = false;  // and it was saved: the rows were fetched again, search kept
        int row = -1;           // the row showing the record again, -1 when it is not shown
    };
    // Takes back the list's last delete and saves. A refused save is told by the save function;
    // the record stays deleted and the undo can be tried again.
    Undone undoDelete() {
        if (!history_) return {};
        using Outcome = DeleteHistory::Undo::Outcome;
        const DeleteHistory::Undo undo = history_->undoLast(entity(), save_);
        if (undo.outcome != Outcome::Restored) return {undo.outcome == Outcome::SaveFailed};
        this->refetchKeepingSearch();
        return {true, true, this->rowOf(undo.object)};
    }

protected:
    virtual Entity entity() const = 0;
    virtual QString deletedNotice(const ManagedObject& record) const = 0;

private:
    DeleteHistory* history_ = nullptr;
    DeleteHistory::SaveFunction save_;
};

}  // namespace quillon
