#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
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

// An empty text stays a text, not an absent one.
QString textOf(std::string_view utf8) {
    return utf8.empty() ? QStringLiteral("")
                        : QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// Equal texts read at open share one string. A catalogue's texts repeat (a genre, a rating, a
// director or an actor across many movies): each repeat then costs no allocation. Names are
// mostly one of a kind and are read as they are.
class SharedTexts {
public:
    QString text(std::string_view key) {
        if (const auto known = known_.find(key); known != known_.end()) return known->second;
        QString text = textOf(key);
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

// Where each row of `rows` (ascending) lies: a table over the span of the rows when they are
// about as many as that span (a store that mostly grows), else a search.
class RowPlaces {
public:
    explicit RowPlaces(std::vector<qint64> rows) : rows_(std::move(rows)) {
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

// Each movie's rank in name order as the store's index gives it, by its place in row order:
// SQLite orders UTF-8 texts byte by byte, which is our order by code point, NULL first, equal
// names by row. Empty when the store has no such index, and the first fetch then sorts.
struct NameRanks {
    std::vector<qint32> rankOf;
    std::vector<bool> tied;  // whether the name at each rank equals the one before it
};
NameRanks rankByName(const sqlite::Database& db, std::vector<qint64> rowIds) {
    sqlite::Statement encoding(db, "PRAGMA encoding");
    if (rowIds.size() < 2 || encoding.step() != SQLITE_ROW || encoding.text(0) != "UTF-8")
        return {};
    sqlite::Statement rows(db, sql::kSelectMovieRowsByName);
    if (!rows.isValid()) return {};
    const size_t count = rowIds.size();
    const RowPlaces places(std::move(rowIds));
    NameRanks ranks;
    ranks.rankOf.assign(count, -1);
    ranks.tied.reserve(count);
    qint32 rank = 0;
    std::string previous;
    bool previousAbsent = false;
    int rc;
    while ((rc = rows.step()) == SQLITE_ROW) {
        const qint64 place = places.placeOf(rows.integer(0));
        if (place < 0 || ranks.rankOf[size_t(place)] >= 0) return {};
        ranks.rankOf[size_t(place)] = rank++;
        const bool absent = rows.isNull(1);
        const QByteArrayView utf8 = rows.utf8(1);
        const std::string_view name(utf8.data(), size_t(utf8.size()));
        ranks.tied.push_back(rank > 1 && absent == previousAbsent && name == previous);
        previous.assign(name);
        previousAbsent = absent;
    }
    if (rc != SQLITE_DONE || size_t(rank) != count) return {};
    return ranks;
}

// A chunk of movie rows as SQLite gives them, the texts as UTF-8.
struct MovieRows {
    struct Row {
        qint64 rowId = 0;
        bool nameIsText = true;
        bool hasNotes = false;
        qint16 year = 0;
        qint16 runTime = 0;
        qint64 coverSizes[2] = {-1, -1};  // -1: no cover
        size_t textAt[kTextAttributeCount] = {};
        qint32 textSize[kTextAttributeCount] = {};  // -1: NULL
    };
    std::vector<Row> rows;
    std::string bytes;

    std::string_view textOf(const Row& row, Attribute a) const {
        return std::string_view(bytes).substr(row.textAt[int(a)], size_t(row.textSize[int(a)]));
    }
};

constexpr size_t kRowsPerChunk = 4096;

void takeMovieRow(const sqlite::Statement& row, MovieRows& into) {
    MovieRows::Row& taken = into.rows.emplace_back();
    taken.rowId = row.integer(0);
    for (int a = 0; a < kTextAttributeCount; ++a) {
        const int column = sql::kFirstTextColumn + a;
        taken.textSize[a] = -1;
        if (Attribute(a) == Attribute::notes) {  // only whether there are notes
            taken.hasNotes = row.integer(column) != 0;
        } else {
            // Asked before the text, which turns a blob into one.
            if (Attribute(a) == Attribute::name && !row.isNull(column))
                taken.nameIsText = row.isValidText(column);
            // SQLite gives no bytes for NULL: asking for the type costs one more call a column.
            const QByteArrayView utf8 = row.utf8(column);
            if (!utf8.data() && row.isNull(column)) continue;
            taken.textAt[a] = into.bytes.size();
            taken.textSize[a] = qint32(utf8.size());
            into.bytes.append(utf8.data(), size_t(utf8.size()));
        }
    }
    taken.year = qint16(row.integer(sql::kYearColumn));
    taken.runTime = qint16(row.integer(sql::kRunTimeColumn));
    // Only whether each cover is there, and its size: the bytes are read on demand.
    const int sizeColumns[2] = {sql::kFrontImageSizeColumn, sql::kBackImageSizeColumn};
    for (int side = 0; side < 2; ++side)
        if (!row.isNull(sizeColumns[side])) taken.coverSizes[side] = row.integer(sizeColumns[side]);
}

// Steps the movie query and hands over its rows a chunk at a time (`deliver` takes the chunk and
// leaves an empty one in its place), then ranks them by name.
template <class Deliver>
Status readMovieRows(const sqlite::Database& db, Deliver deliver, NameRanks& ranks) {
    MovieRows chunk;
    std::vector<qint64> rowIds;
    // A name another program wrote as bytes that are no UTF-8 text would order otherwise in SQLite.
    bool namesAreText = true;
    const Status read = readRows(db, sql::kSelectMovies, [&](const sqlite::Statement& row) {
        takeMovieRow(row, chunk);
        rowIds.push_back(chunk.rows.back().rowId);
        namesAreText = namesAreText && chunk.rows.back().nameIsText;
        if (chunk.rows.size() >= kRowsPerChunk) deliver(chunk);
    });
    if (!chunk.rows.empty()) deliver(chunk);  // the rows before a failure too
    if (read && namesAreText) ranks = rankByName(db, std::move(rowIds));
    return read;
}

// Reads the movie rows on a thread of its own, so that stepping SQLite (and the name index after
// the rows) overlaps with making the records. A few chunks wait at most, which bounds the memory,
// and the chunks taken come back to be filled again: their memory is then already mapped.
class MovieRowReader {
public:
    explicit MovieRowReader(const sqlite::Database& db) {
        try {
            thread_ = std::thread([this, &db] {
                Status read = readMovieRows(
                    db, [this](MovieRows& chunk) { push(chunk); }, ranks_);
                const std::lock_guard lock(mutex_);
                status_ = std::move(read);
                finished_ = true;
                changed_.notify_all();
            });
        } catch (const std::system_error&) {  // no thread to be had: read here
            status_ = readMovieRows(
                db,
                [this](MovieRows& chunk) {
                    ready_.push_back(std::move(chunk));
                    chunk = MovieRows();
                },
                ranks_);
            finished_ = true;
        }
    }
    ~MovieRowReader() {
        {
            const std::lock_guard lock(mutex_);
            abandoned_ = true;  // when the records could not all be made: no one takes the rest
            changed_.notify_all();
        }
        if (thread_.joinable()) thread_.join();
    }

    // Gives back `chunk` and fills it with the next one; false once every row was taken (or the
    // read failed).
    bool next(MovieRows& chunk) {
        std::unique_lock lock(mutex_);
        if (chunk.rows.capacity() > 0) spare_.push_back(std::move(chunk));
        changed_.wait(lock, [this] { return finished_ || !ready_.empty(); });
        if (ready_.empty()) return false;
        chunk = std::move(ready_.front());
        ready_.pop_front();
        changed_.notify_all();
        return true;
    }
    // How the read ended, once next() returned false.
    Status status() {
        if (thread_.joinable()) thread_.join();
        return status_;
    }
    // Once status() was asked for.
    NameRanks takeNameRanks() { return std::move(ranks_); }

private:
    static constexpr size_t kMostWaiting = 4;

    void push(MovieRows& chunk) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return ready_.size() < kMostWaiting || abandoned_; });
            if (!abandoned_) ready_.push_back(std::move(chunk));
            chunk = MovieRows();
            if (!spare_.empty()) {
                chunk = std::move(spare_.back());
                spare_.pop_back();
            }
            changed_.notify_all();
        }
        chunk.rows.clear();
        chunk.bytes.clear();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<MovieRows> ready_;
    std::vector<MovieRows> spare_;
    bool finished_ = false;
    bool abandoned_ = false;
    Status status_ = Status::success();
    NameRanks ranks_;
    std::thread thread_;
};

}  // namespace

Status ManagedObjectContext::load() {
    if (Status s = loadMovies(); !s) return s;
    for (Entity e : {Entity::GenreList, Entity::RatingList})
        if (Status s = loadEntries(e); !s) return s;
    return Status::success();
}

Status ManagedObjectContext::loadMovies() {
    SharedTexts shared;
    const auto makeMovie = [&](const MovieRows& chunk, const MovieRows::Row& row) {
        auto record = Movies::make(state_);
        record->rowId_ = row.rowId;
        for (int a = 0; a < kTextAttributeCount; ++a) {
            if (Attribute(a) == Attribute::notes) {  // only whether there are notes
                if (!row.hasNotes) continue;
                record->notesUnread_ = true;
            } else {
                if (row.textSize[a] < 0) continue;
                const std::string_view utf8 = chunk.textOf(row, Attribute(a));
                record->texts_[a] =
                    Attribute(a) == Attribute::name ? textOf(utf8) : shared.text(utf8);
            }
            record->textPresent_ |= quint16(1u << a);
        }
        record->year_ = row.year;
        record->runTime_ = row.runTime;
        for (const Attribute a : {Attribute::frontImage, Attribute::backImage}) {
            const qint64 size = row.coverSizes[a == Attribute::frontImage ? 0 : 1];
            auto& slot = record->slot(a);
            slot.present = size >= 0;
            slot.size = slot.present ? size : 0;
        }
        return record;
    };
    MovieRowReader reader(state_->db);
    MovieRows chunk;
    while (reader.next(chunk))
        for (const MovieRows::Row& row : chunk.rows) state_->add(makeMovie(chunk, row));
    const Status read = reader.status();
    NameRanks byName = reader.takeNameRanks();
    const auto& movies = state_->objects[int(Entity::Movies)];
    if (read && !byName.rankOf.empty() && byName.rankOf.size() == movies.size()) {
        // Placed in row order: the records are visited in the order they lie in memory.
        std::vector<std::shared_ptr<ManagedObject>> inNameOrder(movies.size());
        for (size_t place = 0; place < movies.size(); ++place)
            inNameOrder[size_t(byName.rankOf[place])] = movies[place];
        state_->keepListing(Entity::Movies, {{Attribute::name, true}}, std::move(inNameOrder),
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
