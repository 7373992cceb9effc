#pragma once

#include <QByteArray>
#include <QMap>
#include <QStringList>

#include "store/CatalogueStore.h"

namespace quillon::test {

// A movie line with the key fields set; `more` sets other fields by index.
inline QByteArray movieLine(const QString& name, const QString& year, const QString& director,
                            const QMap<int, QString>& more = {}) {
    QStringList fields(16);
    fields[7] = name;
    fields[13] = year;
    fields[1] = director;
    for (auto it = more.begin(); it != more.end(); ++it) fields[it.key()] = it.value();
    return fields.join('^').toUtf8() + '\n';
}

// The catalogue's names in store order, "-" for a movie without one.
inline QStringList names(ManagedObjectContext& context) {
    QStringList out;
    for (const MoviePtr& m : context.fetch<Movies>()) out << m->name().value_or("-");
    return out;
}

}  // namespace quillon::test
