#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace quillon {

// A word the command takes after its name, in its place.
struct CommandArgument {
    QString name;  // as the usage line shows it: KIND, VALUE, FILE
    QString help;
    QStringList choices = {};  // the words allowed; any word when empty
    bool mayBeEmpty = false;
};

// An option, given as --name, or --name VALUE (also --name=VALUE), anywhere after the command.
struct CommandOption {
    QString name;       // without the dashes
    QString valueName;  // empty for an option that takes no value
    QString help;
    QStringList choices = {};  // the values allowed; any value when empty
};

// What has to be ready before a command runs.
enum class CommandNeeds {
    Catalogue,         // the store, opened
    CatalogueAndText,  // the store and the fonts of a QGuiApplication, for laying out text
    DataFolder,        // the data folder only: works when the store cannot be opened
};

// One command: what it is called, what it takes and one line saying what it does. The parser,
// `quillon --help`, `quillon help COMMAND` and the guide's command table all read these rows.
struct CommandRow {
    QString name;
    QList<CommandArgument> arguments;
    QList<CommandOption> options;
    QString help;
    CommandNeeds needs = CommandNeeds::Catalogue;
};

// Every command, in the order the help lists them.
const QList<CommandRow>& commandTable();
// The row of `name`; null when there is no such command.
const CommandRow* findCommand(QStringView name);

// The options every command (and the window) takes, before or after the command's name.
namespace globalOption {
inline constexpr char kDataDir[] = "data-dir";
inline constexpr char kWait[] = "wait";
inline constexpr char kHelp[] = "help";
inline constexpr char kVersion[] = "version";
}  // namespace globalOption
const QList<CommandOption>& globalOptions();

// The command that tells about the others: `quillon help [COMMAND]`.
inline constexpr char kHelpCommand[] = "help";

}  // namespace quillon
