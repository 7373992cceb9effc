#include "store/private/CatalogueCheck.h"

#include <QSet>
#include <QStringList>

#include "store/CatalogueStore.h"
#include "store/private/StoreSql.h"

namespace quillon {

namespace {

constexpr const char* kNotACatalogue = "is not a Quillon catalogue";

QStringList integrityProblems(const sqlite::Database& db, int* rc) {
    QStringList problems;
    sqlite::Statement check(db, "PRAGMA integrity_check(5)");
    if (!check.isValid()) {
        *rc = sqlite3_errcode(db.handle());
        return problems;
    }
    while ((*rc = check.step()) == SQLITE_ROW) {
        const QString line = check.text(0);
        if (line != QLatin1String("ok")) problems << line;
    }
    if (*rc == SQLITE_DONE) *rc = SQLITE_OK;
    return problems;
}

// The column names a table has; empty when there is no such table.
QSet<QString> columnsOfTable(const sqlite::Database& db, const QString& table) {
    QSet<QString> names;
    sqlite::Statement info(db, ("PRAGMA table_info(" + table + ")").toUtf8());
    while (info.isValid() && info.step() == SQLITE_ROW) names.insert(info.text(1));
    return names;
}

QString missingPart(const sqlite::Database& db, qint64 schema) {
    if (schema >= sql::kFirstSmallCoversVersion) {
        const QSet<QString> has = columnsOfTable(db, QStringLiteral("SmallCovers"));
        for (const char* column : {"movie", "side", "width", "height", "image"})
            if (!has.contains(QLatin1String(column)))
                return QStringLiteral("its table SmallCovers has no column %1").arg(column);
    }
    for (const Entity e : {Entity::Movies, Entity::GenreList, Entity::RatingList}) {
        const QSet<QString> has = columnsOfTable(db, entityName(e));
        if (has.isEmpty()) return "it has no table " + entityName(e);
        QStringList wanted{QStringLiteral("id")};
        for (const Attribute a : sql::columnsOf(e)) wanted << attributeName(a);
        for (const QString& column : wanted)
            if (!has.contains(column))
                return QStringLiteral("its table %1 has no column %2").arg(entityName(e), column);
    }
    return {};
}

}  // namespace

Status checkCatalogue(const sqlite::Database& db) {
    sqlite::Statement version(db, sql::kReadSchemaVersion);
    if (!version.isValid() || version.step() != SQLITE_ROW) {
        const bool notADatabase = (sqlite3_errcode(db.handle()) & 0xff) == SQLITE_NOTADB;
        return db.failure(notADatabase ? kNotACatalogue : "is damaged");
    }
    const qint64 schema = version.integer(0);
    int rc = SQLITE_OK;
    const QStringList problems = integrityProblems(db, &rc);
    if (rc != SQLITE_OK) return db.failure("is damaged", rc);
    if (!problems.isEmpty())
        return Status::failure(Status::Corrupt, "is damaged",
                               QStringLiteral("{reason = %1}").arg(problems.join("; ")));
    if (schema > CatalogueStore::kSchemaVersion)
        return Status::failure(Status::Refused, "was written by a newer version of Quillon",
                               QStringLiteral("{version = %1}").arg(schema));
    if (const QString missing = missingPart(db, schema); !missing.isEmpty())
        return Status::failure(Status::Corrupt, kNotACatalogue,
                               QStringLiteral("{reason = %1}").arg(missing));
    if (schema < 1)
        return Status::failure(Status::Corrupt, kNotACatalogue,
                               QStringLiteral("{reason = it has no schema version}"));
    return Status::success();
}

}  // namespace quillon
