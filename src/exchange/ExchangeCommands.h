#pragma once

#include <QStringList>

namespace quillon {

// `quillon export FILE` and `quillon import FILE`: the arguments after the command's name.
// They work on AppDelegate::shared(), print to standard output and error, and return the
// process status: 0 done, 2 the wrong file (import), 1 any other failure.
int runExportCommand(const QStringList& args);
int runImportCommand(const QStringList& args);

}  // namespace quillon
