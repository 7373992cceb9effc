#pragma once

class QTextStream;

namespace quillon {

class CommandInput;
class ManagedObjectContext;

// `quillon groups KIND [--descending] [--search TEXT]`: the tab's header line, then one line per
// value: the value, a tab, its count.
// `quillon breakdown KIND VALUE [--descending] [--search TEXT]`: the section title, then one line
// per row: its three label texts separated by tabs. For actor and actress, VALUE stands for both
// values and the picked name, as picking it in the tab writes them.
// Both print what the screens show, with the screens' own code, on `out` (standard output when
// not given), and return 0.
int runGroupsCommand(ManagedObjectContext& context, const CommandInput& input, QTextStream& out);
int runBreakdownCommand(ManagedObjectContext& context, const CommandInput& input, QTextStream& out);
int runGroupsCommand(ManagedObjectContext& context, const CommandInput& input);
int runBreakdownCommand(ManagedObjectContext& context, const CommandInput& input);

}  // namespace quillon
