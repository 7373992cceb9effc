#pragma once

#include <sqlite3.h>

#include <QByteArray>
#include <QString>
#include <memory>

#include "store/Status.h"

namespace quillon::sqlite {

// RAII over one connection and its prepared statements. Private to the store.
class Database {
public:
    Status open(const QString& path, bool readOnly = false);
    sqlite3* handle() const { return db_.get(); }
    Status exec(const char* sql);
    Status failure(const QString& what) const;

private:
    struct Closer {
        void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
    };
    std::unique_ptr<sqlite3, Closer> db_;
};

class Statement {
public:
    Statement(const Database& db, const char* sql);
    bool isValid() const { return stmt_ != nullptr; }
    sqlite3_stmt* get() const { return stmt_.get(); }

    void reset();
    void bindText(int index, const QString& text);
    void bindNull(int index);
    void bindInt(int index, qint64 value);
    void bindBlob(int index, const QByteArray& bytes);
    int step();  // SQLITE_ROW, SQLITE_DONE or an error code

    bool isNull(int column) const;
    QString text(int column) const;
    qint64 integer(int column) const;
    QByteArray blob(int column) const;

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
    };
    std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
};

}  // namespace quillon::sqlite
