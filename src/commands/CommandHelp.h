#pragma once

#include <QString>

#include "commands/CommandTable.h"

namespace quillon {

// The texts that tell about the commands, all made from the rows of the command table.

// "--search", or "-h" for a name of one letter.
QString dashed(const QString& optionName);
// "genre, actor or producer"
QString orList(const QStringList& words);

// "quillon groups KIND [--descending] [--search TEXT]"
QString usageLine(const CommandRow& command);
// `quillon --help`: every command with its usage line and what it does, the global options and the
// exit statuses.
QString programHelp();
// `quillon help COMMAND`: its usage line, what it does, its arguments and options.
QString commandHelp(const CommandRow& command);
// What standard error says of a command line that is refused: the fault, then the usage line of
// the command (of the program when no command was recognised).
QString usageErrorText(const CommandRow* command, const QString& fault);
// The guide's command table, in Markdown: a row for each command, followed by one for each of its
// options, then the options of every command, and the exit statuses.
QString commandGuideMarkdown();

}  // namespace quillon
