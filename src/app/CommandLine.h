#pragma once

#include <QString>
#include <QStringList>

namespace quillon {

// `quillon [--data-dir DIR] [COMMAND ARGS...]`. An empty name opens the window.
struct CommandLine {
    QString name;
    QStringList arguments;  // after the command name, --data-dir removed
    QString dataDir;
    QString error;
};

CommandLine parseCommandLine(const QStringList& arguments);
QString usageText();
// Runs a headless command against AppDelegate::shared(); returns the exit status.
int runCommand(const CommandLine& command);

// `quillon list [--key movie|genre|year|director|producer] [--descending] [--search TEXT]`
int runListCommand(const QStringList& arguments);

}  // namespace quillon
