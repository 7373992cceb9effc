#include "app/CommandLine.h"

#include <QTextStream>
#include <cstdio>

#include "app/AppDelegate.h"
#include "catalogue/BreakdownQuery.h"
#include "exchange/ExchangeCommands.h"
#include "groups/GroupCommands.h"
#include "movies/ListCommand.h"
#include "platform/BuildInfo.h"
#include "reports/ReportCommand.h"

namespace quillon {

namespace {

const QStringList kCommands = {"list",   "groups",  "breakdown", "report", "export",
                               "import", "backups", "restore",   "help"};

void printError(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

// Whole or fractional seconds, not negative; -1 when the text is none of that.
int parseWaitMs(const QString& text) {
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || !(seconds >= 0) || seconds > 24 * 3600) return -1;
    return int(seconds * 1000 + 0.5);
}

QTextStream& standardOutput() {
    static QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    return out;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine command;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == "--data-dir") {
            if (i + 1 >= arguments.size()) {
                command.error = "--data-dir needs a folder";
                return command;
            }
            command.dataDir = arguments[++i];
        } else if (arg.startsWith("--data-dir=")) {
            command.dataDir = arg.mid(QStringLiteral("--data-dir=").size());
        } else if (arg == "--wait" || arg.startsWith("--wait=")) {
            QString value;
            if (arg != "--wait") {
                value = arg.mid(QStringLiteral("--wait=").size());
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            }
            command.lockWaitMs = parseWaitMs(value);
            command.waitGiven = true;
            if (command.lockWaitMs < 0) {
                command.error = "--wait needs a number of seconds, not \"" + value + "\"";
                return command;
            }
        } else if (command.name.isEmpty() && (arg == "--help" || arg == "-h")) {
            command.name = "help";
        } else if (command.name.isEmpty() && arg == "--version") {
            command.name = "version";
        } else if (command.name.isEmpty()) {
            if (!kCommands.contains(arg)) {
                command.error = "Unknown command: " + arg;
                return command;
            }
            command.name = arg;
        } else {
            command.arguments << arg;
        }
    }
    return command;
}

QString usageText() {
    return "Usage: quillon [--data-dir DIR] [--wait SECONDS] [COMMAND]\n"
           "       quillon --help | --version\n"
           "Without a command the window opens. Commands:\n"
           "  list [--key movie|genre|year|director|producer] [--descending] [--search TEXT]\n"
           "  groups KIND [--descending] [--search TEXT]\n"
           "                   a group tab: its header, then each value TAB its count\n"
           "  breakdown KIND VALUE [--descending] [--search TEXT]\n"
           "                   the movies of one value: the title, then each row's labels\n"
           "  report KIND VALUE [--descending] [--search TEXT] [--print-layout] FILE.pdf\n"
           "                   the breakdown's report (or the print layout) as a PDF file\n"
           "                   (KIND: genre, actor, actress, director or producer)\n"
           "  export FILE      write the whole catalogue to FILE\n"
           "  import FILE      merge an export file into the catalogue\n"
           "  backups          list the catalogue's backups, oldest first\n"
           "  restore NAME     put a backup back (the current catalogue is backed up first)\n"
           "The data folder may also be given in QUILLON_DATA_DIR.\n"
           "A command waits up to 10 s (--wait SECONDS) while another Quillon has the\n"
           "catalogue open, then ends with status 3.\n";
}

QString versionText() {
    return QStringLiteral("Quillon %1\n").arg(QString::fromUtf8(build::kVersion));
}

int runCommand(const CommandLine& command, AppDelegate& delegate) {
    if (!kCommands.contains(command.name) || command.name == "help" || command.name == "version") {
        printError("Unknown command: " + command.name);
        return 2;
    }
    // These two never open the store, so that a catalogue that cannot be opened can be put back.
    if (command.name == "backups") return runBackupsCommand(delegate, command.arguments);
    if (command.name == "restore") return runRestoreCommand(delegate, command.arguments);
    if (const Status opened = delegate.openStore(); !opened) {
        printError(storeOpenFailureText(opened, delegate.storeOptions().lockWaitMs));
        return storeOpenFailureExitStatus(opened);
    }
    ManagedObjectContext& context = delegate.viewContext();
    if (command.name == "list") return runListCommand(context, command.arguments, usageText());
    if (command.name == "groups") return runGroupsCommand(context, command.arguments);
    if (command.name == "breakdown") return runBreakdownCommand(context, command.arguments);
    if (command.name == "report")
        return runReportCommand(context, command.arguments, breakdownRowsFor);
    if (command.name == "export") return runExportCommand(context, command.arguments);
    if (command.name == "import") return runImportCommand(context, command.arguments);
    printError("Unknown command: " + command.name);
    return 2;
}

int runBackupsCommand(AppDelegate& delegate, const QStringList& arguments) {
    if (!arguments.isEmpty()) {
        printError("backups: unexpected argument " + arguments.first());
        return 2;
    }
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

int runRestoreCommand(AppDelegate& delegate, const QStringList& arguments) {
    if (arguments.size() != 1) {
        printError("restore: give the name of one backup (quillon backups lists them)");
        return 2;
    }
    backups::SafetyCopy safety;
    const Status status = restoreBackup(delegate, arguments.first(), &safety);
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
