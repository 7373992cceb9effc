#include "support/RefuseWrites.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QStringList>

#include "store/CatalogueStore.h"

namespace quillon::test {

namespace {

constexpr char kPrefix[] = "refuse_";

// Runs SQL on the store file as another program would; returns the first column of each row.
QStringList execOnStoreFile(const QString& dataDir, const QString& sql) {
    QStringList rows;
    sqlite3* db = nullptr;
    const QByteArray path = QDir(dataDir).filePath(CatalogueStore::kFileName).toUtf8();
    EXPECT_EQ(sqlite3_open(path.constData(), &db), SQLITE_OK);
    char* error = nullptr;
    const auto collect = [](void* out, int, char** values, char**) {
        static_cast<QStringList*>(out)->append(QString::fromUtf8(values[0]));
        return 0;
    };
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), collect, &rows, &error);
    EXPECT_EQ(rc, SQLITE_OK) << sql.toStdString() << ": " << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
    return rows;
}

}  // namespace

void refuseWrites(const QString& dataDir, Entity entity, const QString& operation,
                  const QString& when) {
    static int serial = 0;
    execOnStoreFile(dataDir, QString("CREATE TRIGGER %1%2 BEFORE %3 ON %4 %5 BEGIN "
                                     "SELECT RAISE(ABORT, '%6'); END;")
                                 .arg(kPrefix)
                                 .arg(++serial)
                                 .arg(operation, entityName(entity),
                                      when.isEmpty() ? QString() : "WHEN " + when, kRefusedByTest));
}

void allowWrites(const QString& dataDir) {
    const QStringList triggers = execOnStoreFile(
        dataDir, QString("SELECT name FROM sqlite_master WHERE type = 'trigger' AND "
                         "name GLOB '%1*'")
                     .arg(kPrefix));
    for (const QString& trigger : triggers) execOnStoreFile(dataDir, "DROP TRIGGER " + trigger);
}

}  // namespace quillon::test
