#pragma once

#include <QStringList>

class QTextStream;

namespace quillon {

class ManagedObjectContext;

// `quillon groups KIND [--descending] [--search TEXT]`: the tab's header line, then one line per
// value: the value, a tab, its count.
// `quillon breakdown KIND VALUE [--descending] [--search TEXT]`: the section title, then one line
// per row: its three label texts separated by tabs. For actor and actress, VALUE stands for both
// values and the picked name, as picking it in the tab writes them.
// KIND is genre, actor, actress, director or producer. Both print what the screens show, with the
// screens' own code, and return 0; wrong arguments are told on `err` and return 2.
int runGroupsCommand(ManagedObjectContext& context, const QStringList& arguments, QTextStream& out,
                     QTextStream& err);
int runBreakdownCommand(ManagedObjectContext& context, const QStringList& arguments,
                        QTextStream& out, QTextStream& err);
// The same on standard output and standard error.
int runGroupsCommand(ManagedObjectContext& context, const QStringList& arguments);
int runBreakdownCommand(ManagedObjectContext& context, const QStringList& arguments);

}  // namespace quillon
