#include "commands/CommandHelp.h"

#include <QStringList>
#include <utility>

namespace quillon {

namespace {

constexpr qsizetype kLineWidth = 80;
constexpr qsizetype kWidestHead = 22;  // a longer head puts its text on the next line

using Entry = std::pair<QString, QString>;  // what is written, what it means

const QString kProgramUsage =
    "quillon [--data-dir DIR] [--wait SECONDS] [COMMAND [ARGUMENTS] [OPTIONS]]";
const QString kStatuses =
    "0 done; 1 failed; 2 a wrong command line (for import also a file without the \"[QUILLON]\" "
    "line); 3 another Quillon has the catalogue open";

QString capitalised(const QString& text) {
    return text.left(1).toUpper() + text.mid(1);
}

// `text` in lines of at most kLineWidth, each after `indent` spaces but the first, which
// continues a line already `start` long.
QString wrapped(const QString& text, qsizetype indent, qsizetype start) {
    QString out;
    qsizetype column = start;
    bool lineStarted = false;
    for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
        if (lineStarted && column + 1 + word.size() > kLineWidth) {
            out += '\n' + QString(indent, ' ');
            column = indent;
        } else if (lineStarted) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineStarted = true;
    }
    return out;
}

// Each head on a line of its own, its meaning indented below it.
QString entriesBelow(const QList<Entry>& list) {
    constexpr qsizetype indent = 6;
    QString out;
    for (const auto& [head, text] : list)
        out += "  " + head + '\n' + QString(indent, ' ') + wrapped(text, indent, indent) + '\n';
    return out;
}

// Heads in a column of their own, each meaning beside it.
QString entriesBeside(const QList<Entry>& list) {
    qsizetype width = 0;
    for (const auto& [head, text] : list)
        if (head.size() <= kWidestHead) width = std::max(width, head.size());
    const qsizetype indent = 2 + width + 2;
    QString out;
    for (const auto& [head, text] : list) {
        out += "  " + head;
        if (head.size() > width)
            out += '\n' + QString(indent, ' ');
        else
            out += QString(width - head.size() + 2, ' ');
        out += wrapped(text, indent, indent) + '\n';
    }
    return out;
}

QString optionUsage(const CommandOption& option) {
    return option.valueName.isEmpty() ? dashed(option.name)
                                      : dashed(option.name) + ' ' + option.valueName;
}

QString meaningOf(const CommandArgument& argument) {
    if (argument.choices.isEmpty()) return argument.help;
    return (argument.help.isEmpty() ? "" : argument.help + ": ") + orList(argument.choices);
}

QString meaningOf(const CommandOption& option) {
    if (option.choices.isEmpty()) return option.help;
    return option.help + "; " + option.valueName + " is " + orList(option.choices);
}

QString commandWithArguments(const CommandRow& command) {
    QStringList words{"quillon", command.name};
    for (const CommandArgument& argument : command.arguments) words << argument.name;
    return words.join(' ');
}

QString globalOptionsUsage() {
    QStringList usages;
    for (const CommandOption& option : globalOptions())
        if (!option.valueName.isEmpty()) usages << optionUsage(option);
    return usages.join(", ");
}

QString cell(QString text) {
    return text.replace('|', "\\|");
}

QString guideRow(const QString& code, const QString& meaning) {
    return "| `" + cell(code) + "` | " + cell(meaning) + " |\n";
}

}  // namespace

QString dashed(const QString& optionName) {
    return (optionName.size() == 1 ? "-" : "--") + optionName;
}

QString orList(const QStringList& words) {
    if (words.size() < 2) return words.join(QString());
    return words.mid(0, words.size() - 1).join(", ") + " or " + words.last();
}

QString usageLine(const CommandRow& command) {
    QString line = commandWithArguments(command);
    for (const CommandOption& option : command.options) line += " [" + optionUsage(option) + ']';
    return line;
}

QString programHelp() {
    QList<Entry> commands;
    for (const CommandRow& command : commandTable())
        commands.append({usageLine(command), command.help});
    QList<Entry> options;
    for (const CommandOption& option : globalOptions())
        options.append({optionUsage(option), option.help});
    return "Usage: " + kProgramUsage + "\n       quillon help COMMAND\n" +
           "Without a command the window opens.\n\nCommands:\n" + entriesBelow(commands) +
           "\nOptions, before or after the command:\n" + entriesBeside(options) +
           "\nExit status: " + wrapped(kStatuses, 2, 13) + '\n';
}

QString commandHelp(const CommandRow& command) {
    QString out = "Usage: " + usageLine(command) + '\n' + capitalised(command.help) + ".\n";
    QList<Entry> arguments;
    for (const CommandArgument& argument : command.arguments)
        arguments.append({argument.name, meaningOf(argument)});
    if (!arguments.isEmpty()) out += "\nArguments:\n" + entriesBeside(arguments);
    QList<Entry> options;
    for (const CommandOption& option : command.options)
        options.append({optionUsage(option), meaningOf(option)});
    if (!options.isEmpty()) out += "\nOptions:\n" + entriesBeside(options);
    return out + "\nAs every command, it also takes " + globalOptionsUsage() +
           " (quillon --help).\n";
}

QString usageErrorText(const CommandRow* command, const QString& fault) {
    if (!command)
        return "quillon: " + fault + "\nUsage: " + kProgramUsage +
               "\nquillon --help lists the commands.\n";
    return command->name + ": " + fault + "\nUsage: " + usageLine(*command) + '\n';
}

QString commandGuideMarkdown() {
    QString out = "| Command | What it does |\n|---|---|\n";
    for (const CommandRow& command : commandTable()) {
        QStringList meaning{command.help};
        for (const CommandArgument& argument : command.arguments)
            meaning << argument.name + " is " + meaningOf(argument);
        out += guideRow(commandWithArguments(command), meaning.join("; "));
        for (const CommandOption& option : command.options)
            out += guideRow(optionUsage(option), meaningOf(option));
    }
    out += guideRow("quillon help COMMAND", "tells what COMMAND takes: its arguments and options");
    for (const CommandOption& option : globalOptions()) {
        if (option.valueName.isEmpty())
            out += guideRow("quillon " + dashed(option.name), option.help);
        else
            out += guideRow("quillon [COMMAND] " + optionUsage(option), option.help);
    }
    return out + "\nExit status: " + kStatuses + ".\n";
}

}  // namespace quillon
