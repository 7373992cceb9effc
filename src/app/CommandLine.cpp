#include "app/CommandLine.h"

#include <QHash>
#include <QTextStream>
#include <cstdio>

#include "app/AppDelegate.h"
#include "app/CatalogueAccess.h"
#include "catalogue/BreakdownQuery.h"
#include "exchange/ExchangeCommands.h"
#include "groups/GroupCommands.h"
#include "movies/ListCommand.h"
#include "platform/BuildInfo.h"
#include "reports/ReportCommand.h"
#include "statistics/StatsCommand.h"

namespace quillon {

namespace {

void printError(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

QTextStream& standardOutput() {
    static QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    return out;
}

using Runner = int (*)(AppDelegate&, const CommandInput&);

template <int (*run)(ManagedObjectContext&, const CommandInput&)>
int onCatalogue(AppDelegate& delegate, const CommandInput& input) {
    return run(delegate.viewContext(), input);
}

int runReport(ManagedObjectContext& context, const CommandInput& input) {
    return runReportCommand(context, input, breakdownRowsFor);
}

// The code that runs each row of the command table.
Runner runnerOf(const QString& command) {
    static const QHash<QString, Runner> runners = {
        {"list", onCatalogue<runListCommand>},
        {"groups", onCatalogue<runGroupsCommand>},
        {"breakdown", onCatalogue<runBreakdownCommand>},
        {"report", onCatalogue<runReport>},
        {"export", onCatalogue<runExportCommand>},
        {"import", onCatalogue<runImportCommand>},
        {"stats", onCatalogue<runStatsCommand>},
        {"backups", runBackupsCommand},
        {"restore", runRestoreCommand},
    };
    return runners.value(command);
}

}  // namespace

QString versionText() {
    return QStringLiteral("Quillon %1\n").arg(QString::fromUtf8(build::kVersion));
}

int runCommand(const CommandLine& command, AppDelegate& delegate) {
    const Runner run = command.command ? runnerOf(command.command->name) : nullptr;
    if (command.action != CommandLine::Action::Run || !run) {
        printError("quillon: no command to run: " + command.name());
        return kUsageExitStatus;
    }
    // These never open the store, so that a catalogue that cannot be opened can be put back.
    if (command.command->needs != CommandNeeds::DataFolder) {
        if (const Status opened = delegate.openStore(); !opened) {
            printError(storeOpenFailureText(opened, delegate.storeOptions().lockWaitMs));
            return storeOpenFailureExitStatus(opened);
        }
    }
    return run(delegate, command.input);
}

int runBackupsCommand(AppDelegate& delegate, const CommandInput&) {
    QStringList names;
    if (const Status listed = listBackups(delegate, &names); !listed) {
        printError("backups: " + storeOpenFailureText(listed, delegate.storeOptions().lockWaitMs));
        return storeOpenFailureExitStatus(listed);
    }
    QTextStream& out = standardOutput();
    for (const QString& name : names) out << name << '\n';
    out.flush();
    return 0;
}

int runRestoreCommand(AppDelegate& delegate, const CommandInput& input) {
    backups::SafetyCopy safety;
    const Status status = restoreBackup(delegate, input.argument("NAME"), &safety);
    if (!status) {
        const bool refused = status.code == Status::Busy || status.code == Status::NotFound;
        printError("restore: " +
                   (refused ? storeOpenFailureText(status, delegate.storeOptions().lockWaitMs)
                            : status.describe()));
        return storeOpenFailureExitStatus(status);
    }
    if (safety.unrestorable)
        printError(
            QStringLiteral("restore: the catalogue that was replaced could not be read (%1); "
                           "its file was copied unchanged to %2 in the backup folder, which "
                           "quillon backups does not list and restore does not offer.")
                .arg(safety.reason, safety.name));
    else if (safety.name.isEmpty())
        printError("restore: there was no catalogue to back up first.");
    QTextStream& out = standardOutput();
    if (!safety.name.isEmpty()) out << safety.name << '\n';
    out.flush();
    return 0;
}

}  // namespace quillon
