#include "app/CommandLine.h"

#include <QTextStream>
#include <cstdio>

#include "app/AppDelegate.h"
#include "exchange/ExchangeCommands.h"
#include "movies/MovieListQuery.h"

namespace quillon {

namespace {

const QStringList kCommands = {"list", "export", "import", "help"};

void printError(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
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
        } else if (command.name.isEmpty() && (arg == "--help" || arg == "-h")) {
            command.name = "help";
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
    return "Usage: quillon [--data-dir DIR] [COMMAND]\n"
           "Without a command the window opens. Commands:\n"
           "  list [--key movie|genre|year|director|producer] [--descending] [--search TEXT]\n"
           "  export FILE      write the whole catalogue to FILE\n"
           "  import FILE      merge an export file into the catalogue\n"
           "The data folder may also be given in QUILLON_DATA_DIR.\n";
}

int runCommand(const CommandLine& command) {
    if (command.name == "list") return runListCommand(command.arguments);
    if (command.name == "export") return runExportCommand(command.arguments);
    if (command.name == "import") return runImportCommand(command.arguments);
    printError("Unknown command: " + command.name);
    return 2;
}

int runListCommand(const QStringList& arguments) {
    static const QStringList keys = {"movie", "genre", "year", "director", "producer"};
    int key = MovieListQuery::Movie;
    bool ascending = true;
    QString search;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == "--key" && i + 1 < arguments.size() && keys.contains(arguments[i + 1])) {
            key = int(keys.indexOf(arguments[++i]));
        } else if (arg == "--descending") {
            ascending = false;
        } else if (arg == "--search" && i + 1 < arguments.size()) {
            search = arguments[++i];
        } else {
            printError("list: unexpected argument " + arg);
            printError(usageText());
            return 2;
        }
    }
    MovieListQuery query(AppDelegate::shared().viewContext());
    query.segmentIndex = key;
    query.SortAsc = ascending;
    query.fetchMovies();
    query.filterMovies(search);

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    out << query.headerText() << '\n';
    for (const MoviePtr& movie : query.rows()) {
        const MovieRowTexts t = MovieListQuery::rowTexts(*movie, key);
        out << t.MovieNameLabel << '\t' << t.SecondLabel << '\t' << t.ThirdLabel << '\t'
            << t.FourthLabel << '\n';
    }
    out.flush();
    return 0;
}

}  // namespace quillon
