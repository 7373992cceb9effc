#pragma once

#include <QByteArray>
#include <vector>

#include "store/Records.h"

// Every SQL text of the store, the schema included. Private: only src/store .cpp files include
// this header.
namespace quillon::sql {

// Tables are named after their entity, columns after their attribute. The two cover columns
// come last in Movies, so that SQLite reads their overflow pages only when a query asks for them.
constexpr const char* kCreateSchema = R"(
CREATE TABLE IF NOT EXISTS Movies (
    id INTEGER PRIMARY KEY,
    color_blackwhite TEXT, director TEXT, genre TEXT, leadingActor1 TEXT, leadingActor2 TEXT,
    leadingActress1 TEXT, leadingActress2 TEXT, name TEXT, notes TEXT, producer TEXT,
    rating TEXT, writer TEXT, imdb TEXT,
    year INTEGER NOT NULL DEFAULT 0, runTime INTEGER NOT NULL DEFAULT 0,
    frontImage BLOB, backImage BLOB);
CREATE TABLE IF NOT EXISTS GenreList (id INTEGER PRIMARY KEY, genre TEXT);
CREATE TABLE IF NOT EXISTS RatingList (id INTEGER PRIMARY KEY, rating TEXT);
)";

// Version 2 keeps a small copy of each cover (side 0 front, 1 back) beside the movie, with the
// size of the whole picture upright. A store of version 1 has none of them.
constexpr const char* kCreateSmallCovers = R"(
CREATE TABLE IF NOT EXISTS SmallCovers (
    movie INTEGER NOT NULL, side INTEGER NOT NULL, width INTEGER NOT NULL,
    height INTEGER NOT NULL, image BLOB NOT NULL,
    PRIMARY KEY (movie, side));
)";
constexpr int kFirstSmallCoversVersion = 2;

constexpr const char* kReadSchemaVersion = "PRAGMA user_version";
QByteArray setSchemaVersion(int version);
// WAL keeps the last committed state whole if the process dies during a save; FULL makes a
// save that reported success survive a power cut as well.
constexpr const char* kJournalMode = "PRAGMA journal_mode = WAL";
constexpr const char* kSynchronous = "PRAGMA synchronous = FULL";

constexpr const char* kBegin = "BEGIN IMMEDIATE";
constexpr const char* kCommit = "COMMIT";
constexpr const char* kRollback = "ROLLBACK";

// Every movie without its covers, only whether they exist and how big they are. Columns: id,
// the text attributes in their order, year, runTime, the size of frontImage, of backImage.
constexpr int kFirstTextColumn = 1;
constexpr int kYearColumn = kFirstTextColumn + kTextAttributeCount;
constexpr int kRunTimeColumn = kYearColumn + 1;
constexpr int kFrontImageSizeColumn = kRunTimeColumn + 1;
constexpr int kBackImageSizeColumn = kFrontImageSizeColumn + 1;
constexpr const char* kSelectMovies =
    "SELECT id, color_blackwhite, director, genre, leadingActor1, leadingActor2, "
    "leadingActress1, leadingActress2, name, notes IS NOT NULL, producer, rating, writer, imdb, "
    "year, runTime, length(frontImage), length(backImage) FROM Movies ORDER BY id";

// The movies by name, kept by SQLite through every change, so that opening needs no sort by
// name. Made when a store is opened for writing; an index is invisible to older versions.
constexpr const char* kCreateNameIndex =
    "CREATE INDEX IF NOT EXISTS MoviesByName ON Movies (name COLLATE BINARY)";
// Every movie's row and name in name order, equal names in row order. Fails to prepare without
// such an index rather than sorting the table.
constexpr const char* kSelectMovieRowsByName =
    "SELECT id, name FROM Movies INDEXED BY MoviesByName ORDER BY name COLLATE BINARY, id";

// A movie's notes, read when first asked for (the list never needs them); binds the row id.
constexpr const char* kSelectNotes = "SELECT notes FROM Movies WHERE id = ?";
// Every movie's notes at once, for a reader of every movie (an export). Columns: id, notes.
constexpr const char* kSelectAllNotes =
    "SELECT id, notes FROM Movies WHERE notes IS NOT NULL ORDER BY id";

// The attributes an entity stores, in column order after id: every one for Movies, the one
// text of a reference list.
const std::vector<Attribute>& columnsOf(Entity e);

// The small copies: one of a movie's side (binds the movie's row, the side; columns width,
// height, image), every one there is (columns movie, side), one written (binds movie, side,
// width, height, image), a movie's removed (binds the movie's row), one side's (binds both).
constexpr const char* kSelectSmallCover =
    "SELECT width, height, image FROM SmallCovers WHERE movie = ? AND side = ?";
constexpr const char* kSelectSmallCoverKeys = "SELECT movie, side FROM SmallCovers";
constexpr const char* kInsertSmallCover =
    "INSERT OR REPLACE INTO SmallCovers (movie, side, width, height, image) VALUES (?, ?, ?, ?, ?)";
constexpr const char* kDeleteSmallCovers = "DELETE FROM SmallCovers WHERE movie = ?";
constexpr const char* kDeleteSmallCover = "DELETE FROM SmallCovers WHERE movie = ? AND side = ?";
inline int sideOf(Attribute cover) {
    return cover == Attribute::frontImage ? 0 : 1;
}

// Columns: id, the reference list's one text. Not for Movies.
QByteArray selectEntries(Entity e);
// One cover of a movie; binds the row id.
const char* selectCover(Attribute cover);
// Binds columnsOf(e) in order.
QByteArray insertRow(Entity e);
// Binds the changed attributes in order, then the row id.
QByteArray updateRow(Entity e, const std::vector<Attribute>& changed);
// Binds the row id.
QByteArray deleteRow(Entity e);
// Gives a row another id when that id is free; binds the new id, then the old one.
QByteArray moveRow(Entity e);

}  // namespace quillon::sql
