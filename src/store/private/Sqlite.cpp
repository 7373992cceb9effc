#include "store/private/Sqlite.h"

#include <QFile>
#include <QUrl>
#include <algorithm>
#include <utility>
#include <vector>

namespace quillon::sqlite {

Status::Code codeOf(int rc) {
    // The store's SQL is fixed: a table or column it does not find (SQLITE_ERROR), or a value of
    // another type, is a file that is not what it should be.
    static const std::vector<std::pair<Status::Code, std::vector<int>>> kKinds = {
        {Status::Busy, {SQLITE_BUSY, SQLITE_LOCKED}},
        {Status::ReadOnly, {SQLITE_READONLY}},
        {Status::Corrupt,
         {SQLITE_CORRUPT, SQLITE_NOTADB, SQLITE_ERROR, SQLITE_SCHEMA, SQLITE_MISMATCH,
          SQLITE_FORMAT}},
        {Status::TooBig, {SQLITE_TOOBIG}},
        {Status::Refused, {SQLITE_CONSTRAINT, SQLITE_PERM, SQLITE_AUTH}},
    };
    for (const auto& [code, primaries] : kKinds)
        if (std::find(primaries.begin(), primaries.end(), rc & 0xff) != primaries.end())
            return code;
    return Status::Io;  // SQLITE_IOERR, SQLITE_FULL, SQLITE_CANTOPEN, SQLITE_NOMEM, ...
}

Status Database::open(const QString& path, bool readOnly, bool immutable) {
    sqlite3* raw = nullptr;
    // Each connection is used by one thread at a time: SQLite need not lock around every call.
    int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
                SQLITE_OPEN_NOMUTEX;
    QByteArray name = path.toUtf8();
    if (immutable) {
        flags |= SQLITE_OPEN_URI;
        name = "file:" + QUrl::toPercentEncoding(path, "/") + "?immutable=1";
    }
    const int rc = sqlite3_open_v2(name.constData(), &raw, flags, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) return failure("The store could not be opened");
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, 5000);
    return Status::success();
}

Status Database::exec(const char* sql) {
    char* message = nullptr;
    const int rc = sqlite3_exec(db_.get(), sql, nullptr, nullptr, &message);
    if (rc == SQLITE_OK) return Status::success();
    const QString text = QString::fromUtf8(message ? message : sqlite3_errstr(rc));
    sqlite3_free(message);
    return Status::failure(codeOf(rc), text, QStringLiteral("{code = %1}").arg(rc));
}

Status Database::failure(const QString& what) const {
    if (!db_) return Status::failure(Status::Io, what, "{reason = out of memory}");
    const int rc = sqlite3_extended_errcode(db_.get());
    return Status::failure(codeOf(rc), what,
                           QStringLiteral("{code = %1, reason = %2}")
                               .arg(rc)
                               .arg(QString::fromUtf8(sqlite3_errmsg(db_.get()))));
}

Status Database::failure(const QString& what, int rc) const {
    // The connection's message is more precise (a trigger's text, say) when it is this error's.
    const bool sameError = db_ && (sqlite3_errcode(db_.get()) & 0xff) == (rc & 0xff);
    const char* reason = sameError ? sqlite3_errmsg(db_.get()) : sqlite3_errstr(rc);
    return Status::failure(
        codeOf(rc), what,
        QStringLiteral("{code = %1, reason = %2}").arg(rc).arg(QString::fromUtf8(reason)));
}

Statement::Statement(const Database& db, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.handle(), sql, -1, &raw, nullptr) == SQLITE_OK) stmt_.reset(raw);
}

void Statement::reset() {
    sqlite3_reset(stmt_.get());
    sqlite3_clear_bindings(stmt_.get());
    bindError_ = SQLITE_OK;
}

void Statement::checkBind(int rc) {
    if (rc != SQLITE_OK && bindError_ == SQLITE_OK) bindError_ = rc;
}

void Statement::bindText(int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    checkBind(sqlite3_bind_text64(stmt_.get(), index, utf8.constData(), sqlite3_uint64(utf8.size()),
                                  SQLITE_TRANSIENT, SQLITE_UTF8));
}

void Statement::bindNull(int index) {
    checkBind(sqlite3_bind_null(stmt_.get(), index));
}

void Statement::bindInt(int index, qint64 value) {
    checkBind(sqlite3_bind_int64(stmt_.get(), index, value));
}

void Statement::bindBlob(int index, const QByteArray& bytes) {
    // A zero-length blob must stay a blob, not become NULL.
    checkBind(sqlite3_bind_blob64(stmt_.get(), index, bytes.isEmpty() ? "" : bytes.constData(),
                                  sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT));
}

int Statement::step() {
    if (bindError_ != SQLITE_OK) return bindError_;
    return sqlite3_step(stmt_.get());
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL;
}

QString Statement::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), column));
    const int size = sqlite3_column_bytes(stmt_.get(), column);
    if (!data) return {};
    if (size == 0) return QStringLiteral("");
    return QString::fromUtf8(data, size);
}

QByteArrayView Statement::utf8(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), column));
    return QByteArrayView(data, data ? sqlite3_column_bytes(stmt_.get(), column) : 0);
}

bool Statement::isValidText(int column) const {
    return sqlite3_column_type(stmt_.get(), column) == SQLITE_TEXT && utf8(column).isValidUtf8();
}

qint64 Statement::integer(int column) const {
    return sqlite3_column_int64(stmt_.get(), column);
}

QByteArray Statement::blob(int column) const {
    const void* data = sqlite3_column_blob(stmt_.get(), column);
    const int size = sqlite3_column_bytes(stmt_.get(), column);
    if (!data || size == 0) return QByteArray("");
    return QByteArray(static_cast<const char*>(data), size);
}

Status copyDatabase(sqlite3* source, const QString& path, const std::function<void()>& midway) {
    Status status;
    {
        Database target;
        status = target.open(path);
        sqlite3_backup* backup =
            status ? sqlite3_backup_init(target.handle(), "main", source, "main") : nullptr;
        if (status && !backup) status = target.failure("The store could not be copied");
        if (backup) {
            // 256 KB a step for the usual page size. The copy stays one snapshot: a change by
            // another connection between two steps makes SQLite start it again.
            constexpr int kPagesPerStep = 64;
            int rc;
            bool first = true;
            while ((rc = sqlite3_backup_step(backup, kPagesPerStep)) == SQLITE_OK) {
                if (first && midway) midway();
                first = false;
            }
            const int finished = sqlite3_backup_finish(backup);
            if (rc != SQLITE_DONE || finished != SQLITE_OK)
                status = target.failure("The store could not be copied",
                                        rc != SQLITE_DONE ? rc : finished);
        }
        // The copy keeps the source's journal mode; a rollback journal makes it one file.
        if (status) status = target.exec("PRAGMA journal_mode = DELETE");
    }
    if (!status) {
        for (const char* side : {"", "-journal", "-wal", "-shm"}) QFile::remove(path + side);
    }
    return status;
}

}  // namespace quillon::sqlite
