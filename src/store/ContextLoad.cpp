#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>

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

// Equal texts read at open share one string. A catalogue's texts repeat (a genre, a rating, a
// director or an actor across many movies): each repeat then costs no allocation. Names are
// mostly one of a kind and are read as they are.
class SharedTexts {
public:
    QString text(const sqlite::Statement& row, int column) {
        const QByteArrayView utf8 = row.utf8(column);
        const std::string_view key(utf8.data(), size_t(utf8.size()));
        if (const auto known = known_.find(key); known != known_.end()) return known->second;
        QString text = row.text(column);
        if (known_.size() < kMostKept) known_.emplace(std::string(key), text);
        return text;
    }

private:
    // Bounds the table when texts hardly repeat.
    static constexpr size_t kMostKept = 1 << 16;
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view v) const { return std::hash<std::string_view>{}(v); }
    };
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> known_;
};

// Where each movie of `movies` (in row order) lies, by its row: a table over the span of the rows
// when they are about as many as that span (a store that mostly grows), else a search.
class RowPlaces {
public:
    explicit RowPlaces(const std::vector<std::shared_ptr<ManagedObject>>& movies) {
        rows_.reserve(movies.size());
        for (const auto& movie : movies) rows_.push_back(movie->rowId());
        first_ = rows_.front();
        const qint64 span = rows_.back() - first_ + 1;
        if (span > 4 * qint64(rows_.size())) return;
        table_.assign(size_t(span), -1);
        for (size_t i = 0; i < rows_.size(); ++i) table_[size_t(rows_[i] - first_)] = qint32(i);
    }
    // -1 when no movie has the row.
    qint64 placeOf(qint64 row) const {
        if (!table_.empty())
            return row < first_ || row - first_ >= qint64(table_.size())
                       ? -1
                       : table_[size_t(row - first_)];
        const auto at = std::lower_bound(rows_.begin(), rows_.end(), row);
        return at != rows_.end() && *at == row ? at - rows_.begin() : -1;
    }

private:
    std::vector<qint64> rows_;
    qint64 first_ = 0;
    std::vector<qint32> table_;
};

// The movies just loaded (in row order) in name order as the store's index gives it: SQLite
// orders UTF-8 texts byte by byte, which is our order by code point, NULL first, equal names by
// row. Empty when the store has no such index, and the first fetch then sorts.
struct NameOrder {
    std::vector<std::shared_ptr<ManagedObject>> movies;
    std::vector<bool> tied;  // whether each movie's name equals the one before it
};
NameOrder moviesInNameOrder(const ContextState& state) {
    const auto& movies = state.objects[int(Entity::Movies)];
    sqlite::Statement encoding(state.db, "PRAGMA encoding");
    if (movies.size() < 2 || encoding.step() != SQLITE_ROW || encoding.text(0) != "UTF-8")
        return {};
    sqlite::Statement rows(state.db, sql::kSelectMovieRowsByName);
    if (!rows.isValid()) return {};
    const RowPlaces places(movies);
    std::vector<qint32> rankOf(movies.size(), -1);
    NameOrder order;
    order.tied.reserve(movies.size());
    qint32 rank = 0;
    std::string previous;
    bool previousAbsent = false;
    int rc;
    while ((rc = rows.step()) == SQLITE_ROW) {
        const qint64 place = places.placeOf(rows.integer(0));
        if (place < 0 || rankOf[size_t(place)] >= 0) return {};
        rankOf[size_t(place)] = rank++;
        const bool absent = rows.isNull(1);
        const QByteArrayView utf8 = rows.utf8(1);
        const std::string_view name(utf8.data(), size_t(utf8.size()));
        order.tied.push_back(rank > 1 && absent == previousAbsent && name == previous);
        previous.assign(name);
        previousAbsent = absent;
    }
    if (rc != SQLITE_DONE || size_t(rank) != movies.size()) return {};
    // Placed in row order: the records are visited in the order they lie in memory.
    order.movies.resize(movies.size());
    for (size_t place = 0; place < movies.size(); ++place)
        order.movies[size_t(rankOf[place])] = movies[place];
    return order;
}

}  // namespace

Status ManagedObjectContext::load() {
    if (Status s = loadMovies(); !s) return s;
    for (Entity e : {Entity::GenreList, Entity::RatingList})
        if (Status s = loadEntries(e); !s) return s;
    return Status::success();
}

Status ManagedObjectContext::loadMovies() {
    // A name another program wrote as bytes that are no UTF-8 text would order otherwise in SQLite.
    bool namesAreText = true;
    SharedTexts shared;
    const Status read = readRows(state_->db, sql::kSelectMovies, [&](const sqlite::Statement& row) {
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
            const int column = sql::kFirstTextColumn + a;
            if (Attribute(a) == Attribute::name) {
                namesAreText = namesAreText && row.isValidText(column);
                record->texts_[a] = row.text(column);
            } else {
                record->texts_[a] = shared.text(row, column);
            }
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
    if (read && namesAreText) {
        if (NameOrder byName = moviesInNameOrder(*state_); !byName.movies.empty())
            state_->keepListing(Entity::Movies, {{Attribute::name, true}}, std::move(byName.movies),
                                std::move(byName.tied));
    }
    return read;
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
