#include "groups/GroupCommands.h"

#include <QTextStream>
#include <cstdio>

#include "catalogue/BreakdownQuery.h"
#include "catalogue/GroupTabQuery.h"
#include "commands/CommandParser.h"

namespace quillon {

namespace {

// The parser let through only the kinds' own names.
GroupKind kindOf(const CommandInput& input) {
    return groupKindNamed(input.argument("KIND")).value_or(GroupKind::Genre);
}

using Command = int (*)(ManagedObjectContext&, const CommandInput&, QTextStream&);

int onStandardOutput(Command run, ManagedObjectContext& context, const CommandInput& input) {
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    return run(context, input, out);
}

}  // namespace

int runGroupsCommand(ManagedObjectContext& context, const CommandInput& input, QTextStream& out) {
    GroupTabQuery query(kindOf(input), context);
    query.SortAsc = !input.isSet("descending");
    query.loadValues();
    query.filterValues(input.value("search"));
    out << query.headerText() << '\n';
    for (const QString& value : query.rows())
        out << value << '\t' << query.countMovies(value) << '\n';
    out.flush();
    return 0;
}

int runBreakdownCommand(ManagedObjectContext& context, const CommandInput& input,
                        QTextStream& out) {
    BreakdownQuery query(kindOf(input), context);
    query.openFor(input.argument("VALUE"), input.isSet("descending"), input.value("search"));
    out << query.sectionTitle() << '\n';
    for (const MoviePtr& movie : query.rows()) out << query.rowTexts(*movie).join('\t') << '\n';
    out.flush();
    return 0;
}

int runGroupsCommand(ManagedObjectContext& context, const CommandInput& input) {
    return onStandardOutput(&runGroupsCommand, context, input);
}

int runBreakdownCommand(ManagedObjectContext& context, const CommandInput& input) {
    return onStandardOutput(&runBreakdownCommand, context, input);
}

}  // namespace quillon
