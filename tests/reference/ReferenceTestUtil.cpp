#include "ReferenceTestUtil.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDir>

#include "support/TestSupport.h"
#include "toolkit/TableView.h"

namespace quillon::test {

void addEntries(ManagedObjectContext& context, const ReferenceMember& member,
                const QStringList& texts) {
    for (const QString& text : texts) member.insertInto(context)->setText(member.attribute, text);
    const Status status = context.save();
    ASSERT_TRUE(status.ok) << status.describe().toStdString();
}

QStringList storedTexts(ManagedObjectContext& context, const ReferenceMember& member) {
    QStringList texts;
    for (const EntryPtr& entry : context.fetch(FetchRequest::all(member.entity)))
        texts << entry->text(member.attribute).value_or("<absent>");
    return texts;
}

QStringList rowTexts(const ReferenceListQuery& query) {
    QStringList texts;
    for (int row = 0; row < int(query.rows().size()); ++row) texts << query.rowText(row);
    return texts;
}

QStringList shownTexts(const QAbstractItemModel* model) {
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, 0).data(LabelTextsRole).toStringList().join("|");
    return texts;
}

void execOnStoreFile(const QString& dataDir, const QString& sql) {
    sqlite3* db = nullptr;
    const QString path = QDir(dataDir).filePath(CatalogueStore::kFileName);
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

void refuseWrites(const QString& dataDir, const ReferenceMember& member, const char* operation) {
    execOnStoreFile(dataDir, QString("CREATE TRIGGER refuse BEFORE %1 ON %2 BEGIN "
                                     "SELECT RAISE(ABORT, 'refused by test'); END;")
                                 .arg(operation, entityName(member.entity)));
}

void allowWrites(const QString& dataDir) {
    execOnStoreFile(dataDir, "DROP TRIGGER refuse;");
}

void flushDeletes() {
    pumpEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace quillon::test
