#pragma once

namespace quillon {

class CommandInput;
class ManagedObjectContext;

// `quillon list [--key KEY] [--descending] [--search TEXT]`: the movie list's header, then one
// line per row with its four texts separated by tabs, as the list shows them. Returns 0.
int runListCommand(ManagedObjectContext& context, const CommandInput& input);

}  // namespace quillon
