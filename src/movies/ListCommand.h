#pragma once

#include <QString>
#include <QStringList>

namespace quillon {

class ManagedObjectContext;

// `quillon list [--key movie|genre|year|director|producer] [--descending] [--search TEXT]`: the
// movie list's header, then one line per row with its four texts separated by tabs, as the list
// shows them. Wrong arguments print `usage` and return 2.
int runListCommand(ManagedObjectContext& context, const QStringList& arguments,
                   const QString& usage);

}  // namespace quillon
