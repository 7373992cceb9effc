#pragma once

#include <QString>

#include "commands/CommandParser.h"

namespace quillon {

class AppDelegate;

// "Quillon" and the version of this build, one line.
QString versionText();
// Runs the headless command of a command line asking for one (CommandLine::Action::Run), with the
// feature's code, after opening the delegate's store unless the command needs only the data
// folder; returns the exit status (that of a store that cannot be opened, after saying why on
// standard error).
int runCommand(const CommandLine& command, AppDelegate& delegate);

// `quillon backups`: the backup names, oldest first, one a line.
int runBackupsCommand(AppDelegate& delegate, const CommandInput& input);
// `quillon restore NAME`: puts a backup back; prints the name of the backup taken first (and
// says on standard error when the catalogue replaced could only be copied as it was). Neither
// command opens the store.
int runRestoreCommand(AppDelegate& delegate, const CommandInput& input);

}  // namespace quillon
