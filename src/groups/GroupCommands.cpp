#include "groups/GroupCommands.h"

#include <QTextStream>
#include <cstdio>
#include <optional>

#include "catalogue/BreakdownQuery.h"
#include "catalogue/GroupTabQuery.h"

namespace quillon {

namespace {

struct GroupArguments {
    GroupKind kind = GroupKind::Genre;
    QString value;
    bool descending = false;
    QString search;
};

// KIND [VALUE] [--descending] [--search TEXT], options in any place.
std::optional<GroupArguments> parse(const QStringList& arguments, bool wantsValue,
                                    const char* command, QTextStream& err) {
    GroupArguments parsed;
    QStringList positional;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == "--descending") {
            parsed.descending = true;
        } else if (arg == "--search" && i + 1 < arguments.size()) {
            parsed.search = arguments[++i];
        } else if (arg.startsWith("--")) {
            err << command << ": unexpected argument " << arg << '\n';
            return std::nullopt;
        } else {
            positional << arg;
        }
    }
    const qsizetype wanted = wantsValue ? 2 : 1;
    const std::optional<GroupKind> kind =
        positional.isEmpty() ? std::nullopt : groupKindNamed(positional.first());
    if (positional.size() != wanted || !kind) {
        err << "Usage: quillon " << command << " genre|actor|actress|director|producer"
            << (wantsValue ? " VALUE" : "") << " [--descending] [--search TEXT]\n";
        return std::nullopt;
    }
    parsed.kind = *kind;
    if (wantsValue) parsed.value = positional.at(1);
    return parsed;
}

using Command = int (*)(ManagedObjectContext&, const QStringList&, QTextStream&, QTextStream&);

int withStandardStreams(Command run, ManagedObjectContext& context, const QStringList& arguments) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    return run(context, arguments, out, err);
}

}  // namespace

int runGroupsCommand(ManagedObjectContext& context, const QStringList& arguments, QTextStream& out,
                     QTextStream& err) {
    const auto parsed = parse(arguments, false, "groups", err);
    if (!parsed) return 2;
    GroupTabQuery query(parsed->kind, context);
    query.SortAsc = !parsed->descending;
    query.loadValues();
    query.filterValues(parsed->search);
    out << query.headerText() << '\n';
    for (const QString& value : query.rows())
        out << value << '\t' << query.countMovies(value) << '\n';
    out.flush();
    return 0;
}

int runBreakdownCommand(ManagedObjectContext& context, const QStringList& arguments,
                        QTextStream& out, QTextStream& err) {
    const auto parsed = parse(arguments, true, "breakdown", err);
    if (!parsed) return 2;
    BreakdownQuery query(parsed->kind, context);
    query.openFor(parsed->value, parsed->descending, parsed->search);
    out << query.sectionTitle() << '\n';
    for (const MoviePtr& movie : query.rows()) out << query.rowTexts(*movie).join('\t') << '\n';
    out.flush();
    return 0;
}

int runGroupsCommand(ManagedObjectContext& context, const QStringList& arguments) {
    return withStandardStreams(&runGroupsCommand, context, arguments);
}

int runBreakdownCommand(ManagedObjectContext& context, const QStringList& arguments) {
    return withStandardStreams(&runBreakdownCommand, context, arguments);
}

}  // namespace quillon
