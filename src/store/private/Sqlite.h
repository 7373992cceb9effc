#pragma once

#include <sqlite3.h>

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "store/Status.h"

namespace quillon::sqlite {

// The kind of failure a failed call's SQLite result code (primary or extended) tells.
Status::Code codeOf(int rc);

// RAII over one connection and its prepared statements, used by one thread at a time (SQLite
// does not lock around each call). Private to the store.
class Database {
public:
    // immutable: the file is in a folder nobody can write, so SQLite needs no lock or WAL index.
    Status open(const QString& path, bool readOnly = false, bool immutable = false);
    sqlite3* handle() const { return db_.get(); }
    Status exec(const char* sql);
    Status exec(const QByteArray& sql) { return exec(sql.constData()); }
    // The failure `what` of the connection's last error, coded by codeOf.
    Status failure(const QString& what) const;
    // For an error code a call returned (the connection's last message may be another's).
    Status failure(const QString& what, int rc) const;

private:
    struct Closer {
        void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
    };
    std::unique_ptr<sqlite3, Closer> db_;
};

class Statement {
public:
    Statement(const Database& db, const char* sql);
    Statement(const Database& db, const QByteArray& sql) : Statement(db, sql.constData()) {}
    bool isValid() const { return stmt_ != nullptr; }
    sqlite3_stmt* get() const { return stmt_.get(); }

    void reset();
    // A bind that fails (a value too big for SQLite, say) leaves the parameter NULL; the
    // statement remembers the first such error and step() returns it instead of running.
    void bindText(int index, const QString& text);
    void bindNull(int index);
    void bindInt(int index, qint64 value);
    void bindBlob(int index, const QByteArray& bytes);
    int step();  // SQLITE_ROW, SQLITE_DONE or an error code

    bool isNull(int column) const;
    QString text(int column) const;
    // The column's text as SQLite holds it, valid until the next step.
    QByteArrayView utf8(int column) const;
    // Whether the column holds a text of valid UTF-8 (not NULL, a number or a blob).
    bool isValidText(int column) const;
    qint64 integer(int column) const;
    QByteArray blob(int column) const;

private:
    void checkBind(int rc);

    int bindError_ = SQLITE_OK;
    struct Finalizer {
        void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
    };
    std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
};

// Writes a consistent copy of the database open in `source` to a new file at `path` with SQLite's
// online backup, a few pages at a time (`midway` runs once, between two steps), as a file of its
// own that needs no -wal beside it. A failure removes what was written.
Status copyDatabase(sqlite3* source, const QString& path, const std::function<void()>& midway = {});

}  // namespace quillon::sqlite
