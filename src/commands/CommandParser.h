#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

#include "commands/CommandTable.h"

namespace quillon {

// The words given to one command, checked against its row: each argument there, each value one
// of its choices.
class CommandInput {
public:
    CommandInput() = default;
    CommandInput(const CommandRow* row, QStringList arguments, QHash<QString, QString> options);

    const CommandRow* row() const { return row_; }
    // The argument the row calls `name` (KIND, FILE...).
    QString argument(const QString& name) const;
    bool isSet(const QString& option) const;
    // The option's value, the last one given; empty when not given.
    QString value(const QString& option) const;
    // Where the option's value stands among its choices; -1 when it was not given.
    int choiceIndex(const QString& option) const;

private:
    // The row's option `name`; a name the row lacks is a fault of the code asking, logged.
    const CommandOption* declared(const QString& name) const;

    const CommandRow* row_ = nullptr;
    QStringList arguments_;
    QHash<QString, QString> options_;
};

// `quillon [--data-dir DIR] [--wait SECONDS] [COMMAND ARGUMENTS...]`, the global options before or
// after the command; `quillon --help`, `quillon help [COMMAND]`, `quillon COMMAND --help`,
// `quillon --version`.
struct CommandLine {
    enum class Action { Window, Run, Help, Version, Refuse };
    Action action = Action::Window;
    // Run: the command and its words. Help: the command asked about, or none for all.
    const CommandRow* command = nullptr;
    CommandInput input;
    QString dataDir;
    std::optional<int> lockWaitMs;  // given by --wait
    // Refuse: what is wrong with the command line, then the usage line, for standard error.
    QString error;

    QString name() const { return command ? command->name : QString(); }
};

// `arguments` begins with the program's name, as QCoreApplication::arguments() does.
CommandLine parseCommandLine(const QStringList& arguments);

// The exit status of a command line that is refused.
inline constexpr int kUsageExitStatus = 2;

}  // namespace quillon
