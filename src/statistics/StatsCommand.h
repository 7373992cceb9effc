#pragma once

namespace quillon {

class CommandInput;
class ManagedObjectContext;

// `quillon stats [--json]`: the collection's figures, one section each, or one JSON object.
// Returns 0.
int runStatsCommand(ManagedObjectContext& context, const CommandInput& input);

}  // namespace quillon
