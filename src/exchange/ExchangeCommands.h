#pragma once

#include <QStringList>

namespace quillon {

class ManagedObjectContext;

// `quillon export FILE` and `quillon import FILE`: the arguments after the command's name.
// They work on the given context, print to standard output and error, and return the process
// status: 0 done, 2 the wrong file (import), 1 any other failure.
int runExportCommand(ManagedObjectContext& context, const QStringList& args);
int runImportCommand(ManagedObjectContext& context, const QStringList& args);

}  // namespace quillon
