#include "commands/CommandParser.h"

#include <QCommandLineParser>
#include <algorithm>

#include "commands/CommandHelp.h"

namespace quillon {

CommandInput::CommandInput(const CommandRow* row, QStringList arguments,
                           QHash<QString, QString> options)
    : row_(row), arguments_(std::move(arguments)), options_(std::move(options)) {}

QString CommandInput::argument(const QString& name) const {
    for (qsizetype i = 0; row_ && i < row_->arguments.size(); ++i)
        if (row_->arguments[i].name == name) return arguments_.value(i);
    qWarning("The command takes no argument %s", qUtf8Printable(name));
    return {};
}

bool CommandInput::isSet(const QString& option) const {
    return declared(option) && options_.contains(option);
}

QString CommandInput::value(const QString& option) const {
    return declared(option) ? options_.value(option) : QString();
}

int CommandInput::choiceIndex(const QString& option) const {
    const CommandOption* declaredOption = declared(option);
    if (!declaredOption || !options_.contains(option)) return -1;
    return int(declaredOption->choices.indexOf(options_.value(option)));
}

const CommandOption* CommandInput::declared(const QString& name) const {
    for (qsizetype i = 0; row_ && i < row_->options.size(); ++i)
        if (row_->options[i].name == name) return &row_->options[i];
    qWarning("The command takes no option --%s", qUtf8Printable(name));
    return nullptr;
}

namespace {

// A refusal, told as `usageErrorText` says.
struct Refusal {
    const CommandRow* command = nullptr;
    QString fault;
};

QString quoted(const QString& word) {
    return '"' + word + '"';
}

QList<CommandOption> optionsOf(const CommandRow* command) {
    return command ? globalOptions() + command->options : globalOptions();
}

void addOptions(QCommandLineParser& parser, const QList<CommandOption>& options) {
    for (const CommandOption& option : options) {
        QStringList names{option.name};
        if (option.name == globalOption::kHelp) names.prepend("h");
        parser.addOption(QCommandLineOption(names, option.help, option.valueName));
    }
}

// What the parser refused, said in our words: an option nobody takes, an option's value missing
// (it takes the next word, so only the last word can lack one), or a value given to an option
// that takes none.
QString parserFault(const QCommandLineParser& parser, const QStringList& words,
                    const QList<CommandOption>& options) {
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().first();
        const bool longForm = std::any_of(words.begin(), words.end(), [&](const QString& word) {
            return word == "--" + name || word.startsWith("--" + name + '=');
        });
        return QString("unknown option ") + (longForm ? "--" : "-") + name;
    }
    for (const CommandOption& option : options) {
        if (!option.valueName.isEmpty() && !words.isEmpty() && words.last() == dashed(option.name))
            return dashed(option.name) + " needs " + option.valueName;
        for (const QString& word : words)
            if (option.valueName.isEmpty() && word.startsWith(dashed(option.name) + '='))
                return dashed(option.name) + " takes no value";
    }
    return parser.errorText();
}

// Whole or fractional seconds from 0 to a day; nothing when the text is none of that.
std::optional<int> waitMsOf(const QString& text) {
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || !(seconds >= 0) || seconds > 24 * 3600) return std::nullopt;
    return int(seconds * 1000 + 0.5);
}

// The global options given to `parser`, into `line`; later ones win over earlier ones.
std::optional<Refusal> readGlobalOptions(const QCommandLineParser& parser,
                                         const CommandRow* command, CommandLine& line) {
    if (parser.isSet(globalOption::kDataDir)) line.dataDir = parser.value(globalOption::kDataDir);
    if (parser.isSet(globalOption::kWait)) {
        const QString text = parser.value(globalOption::kWait);
        line.lockWaitMs = waitMsOf(text);
        if (!line.lockWaitMs)
            return Refusal{command, "--wait must be a number of seconds, not " + quoted(text)};
    }
    if (parser.isSet(globalOption::kHelp))
        line.action = CommandLine::Action::Help;
    else if (parser.isSet(globalOption::kVersion))
        line.action = CommandLine::Action::Version;
    return std::nullopt;
}

std::optional<Refusal> checkValue(const CommandRow& command, const QString& name,
                                  const QStringList& choices, bool mayBeEmpty,
                                  const QString& value) {
    if (!choices.isEmpty() && !choices.contains(value))
        return Refusal{&command, name + " must be " + orList(choices) + ", not " + quoted(value)};
    if (!mayBeEmpty && value.isEmpty()) return Refusal{&command, name + " must not be empty"};
    return std::nullopt;
}

// The words after the command's name: its options, then its arguments one for one.
std::optional<Refusal> readCommandWords(const CommandRow& command, const QStringList& words,
                                        CommandLine& line) {
    QCommandLineParser parser;
    const QList<CommandOption> options = optionsOf(&command);
    addOptions(parser, options);
    const QStringList all = QStringList{"quillon"} + words;
    if (!parser.parse(all)) return Refusal{&command, parserFault(parser, all, options)};
    if (auto refused = readGlobalOptions(parser, &command, line)) return refused;
    if (line.action == CommandLine::Action::Help) return std::nullopt;

    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() < command.arguments.size())
        return Refusal{&command, command.arguments[arguments.size()].name + " is missing"};
    if (arguments.size() > command.arguments.size())
        return Refusal{&command,
                       "unexpected argument " + quoted(arguments[command.arguments.size()])};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const CommandArgument& argument = command.arguments[i];
        if (auto refused = checkValue(command, argument.name, argument.choices, argument.mayBeEmpty,
                                      arguments[i]))
            return refused;
    }
    QHash<QString, QString> given;
    for (const CommandOption& option : command.options) {
        if (!parser.isSet(option.name)) continue;
        const QString value = option.valueName.isEmpty() ? QString() : parser.value(option.name);
        if (!option.valueName.isEmpty())
            if (auto refused =
                    checkValue(command, dashed(option.name), option.choices, true, value))
                return refused;
        given.insert(option.name, value);
    }
    line.input = CommandInput(&command, arguments, given);
    if (line.action == CommandLine::Action::Window) line.action = CommandLine::Action::Run;
    return std::nullopt;
}

// `help [COMMAND]`.
std::optional<Refusal> readHelpTopic(const QStringList& words, CommandLine& line) {
    line.action = CommandLine::Action::Help;
    if (words.isEmpty()) return std::nullopt;
    if (words.size() > 1) return Refusal{nullptr, "unexpected argument " + quoted(words[1])};
    line.command = findCommand(words.first());
    if (!line.command) return Refusal{nullptr, "unknown command " + quoted(words.first())};
    return std::nullopt;
}

// Global options up to the first word that is no option, which names the command; the rest
// belongs to the command.
std::optional<Refusal> read(const QStringList& arguments, CommandLine& line) {
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    addOptions(parser, globalOptions());
    if (!parser.parse(arguments))
        return Refusal{nullptr, parserFault(parser, arguments, globalOptions())};
    if (auto refused = readGlobalOptions(parser, nullptr, line)) return refused;
    const QStringList words = parser.positionalArguments();
    if (words.isEmpty()) return std::nullopt;
    if (words.first() == kHelpCommand) return readHelpTopic(words.mid(1), line);
    line.command = findCommand(words.first());
    if (!line.command) return Refusal{nullptr, "unknown command " + quoted(words.first())};
    if (line.action != CommandLine::Action::Window) return std::nullopt;  // --help, --version
    return readCommandWords(*line.command, words.mid(1), line);
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine line;
    if (const auto refused = read(arguments, line)) {
        line.action = CommandLine::Action::Refuse;
        line.command = refused->command;
        line.error = usageErrorText(refused->command, refused->fault);
    }
    return line;
}

}  // namespace quillon
