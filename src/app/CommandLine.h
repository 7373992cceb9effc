#pragma once

#include <QString>
#include <QStringList>

#include "app/CatalogueAccess.h"

namespace quillon {

// `quillon [--data-dir DIR] [--wait SECONDS] [COMMAND ARGS...]`. An empty name opens the
// window.
struct CommandLine {
    QString name;
    QStringList arguments;  // after the command name, the global options removed
    QString dataDir;
    // How long to wait for another process to close the catalogue; the window waits only
    // when --wait is given.
    int lockWaitMs = kDefaultLockWaitMs;
    bool waitGiven = false;
    QString error;
};

CommandLine parseCommandLine(const QStringList& arguments);
QString usageText();
// "Quillon" and the version of this build, one line.
QString versionText();
// Opens the delegate's store and runs a headless command on it; returns the exit status (that of
// a store that cannot be opened, after saying why on standard error).
int runCommand(const CommandLine& command, AppDelegate& delegate);

// `quillon backups`: the backup names, oldest first, one a line.
int runBackupsCommand(AppDelegate& delegate, const QStringList& arguments);
// `quillon restore NAME`: puts a backup back; prints the name of the backup taken first (and
// says on standard error when the catalogue replaced could only be copied as it was). Neither
// command opens the store.
int runRestoreCommand(AppDelegate& delegate, const QStringList& arguments);

}  // namespace quillon
