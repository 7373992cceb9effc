#include "store/private/StoreSql.h"

#include <QStringList>

namespace quillon::sql {

QByteArray setSchemaVersion(int version) {
    return "PRAGMA user_version = " + QByteArray::number(version);
}

// The Movies columns, kSelectMovies and the binds follow the attributes' order: the texts,
// year and runTime, then the covers.
static_assert(int(Attribute::year) == kTextAttributeCount &&
              int(Attribute::runTime) == kTextAttributeCount + 1 &&
              int(Attribute::frontImage) == kTextAttributeCount + 2 &&
              int(Attribute::backImage) == kTextAttributeCount + 3);

const std::vector<Attribute>& columnsOf(Entity e) {
    static const std::vector<Attribute> columns[kEntityCount] = {
        [] {
            std::vector<Attribute> all;
            for (int a = 0; a <= int(Attribute::backImage); ++a) all.push_back(Attribute(a));
            return all;
        }(),
        {Attribute::genre},
        {Attribute::rating},
    };
    return columns[int(e)];
}

QByteArray selectEntries(Entity e) {
    return QStringLiteral("SELECT id, %1 FROM %2 ORDER BY id")
        .arg(attributeName(columnsOf(e).front()), entityName(e))
        .toUtf8();
}

const char* selectCover(Attribute cover) {
    return cover == Attribute::frontImage ? "SELECT frontImage FROM Movies WHERE id = ?"
                                          : "SELECT backImage FROM Movies WHERE id = ?";
}

QByteArray insertRow(Entity e) {
    QStringList columns;
    for (Attribute a : columnsOf(e)) columns << attributeName(a);
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(entityName(e), columns.join(", "), QStringList(columns.size(), "?").join(", "))
        .toUtf8();
}

QByteArray updateRow(Entity e, const std::vector<Attribute>& changed) {
    QStringList assignments;
    for (Attribute a : changed) assignments << attributeName(a) + " = ?";
    return QStringLiteral("UPDATE %1 SET %2 WHERE id = ?")
        .arg(entityName(e), assignments.join(", "))
        .toUtf8();
}

QByteArray deleteRow(Entity e) {
    return QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(entityName(e)).toUtf8();
}

QByteArray moveRow(Entity e) {
    return QStringLiteral("UPDATE OR IGNORE %1 SET id = ? WHERE id = ?")
        .arg(entityName(e))
        .toUtf8();
}

}  // namespace quillon::sql
