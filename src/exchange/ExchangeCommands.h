#pragma once

namespace quillon {

class CommandInput;
class ManagedObjectContext;

// `quillon export FILE` and `quillon import FILE`. They work on the given context, print to
// standard output and error, and return the process status: 0 done, 2 the wrong file (import),
// 1 any other failure.
int runExportCommand(ManagedObjectContext& context, const CommandInput& input);
int runImportCommand(ManagedObjectContext& context, const CommandInput& input);

}  // namespace quillon
