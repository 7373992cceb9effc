#pragma once

namespace quillon {

class CommandInput;
class ManagedObjectContext;

// `quillon export [--format F] [--delimiter C] FILE` and `quillon import [--format F] [--map ...]
// [--no-unmapped-notes] [--dry-run] [--delimiter C] [--encoding E] FILE`. They work on the given
// context, print to standard output and error, and return the process status: 0 done, 2 a
// usage error or (import) the wrong file, 1 any other failure.
int runExportCommand(ManagedObjectContext& context, const CommandInput& input);
int runImportCommand(ManagedObjectContext& context, const CommandInput& input);

}  // namespace quillon
