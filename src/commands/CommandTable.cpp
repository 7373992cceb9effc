#include "commands/CommandTable.h"

namespace quillon {

namespace {

const QStringList kGroupKinds = {"genre", "actor", "actress", "director", "producer"};
const QStringList kFileFormats = {"quillon", "csv", "tellico"};

CommandArgument kindArgument() {
    return {"KIND", "", kGroupKinds};
}

CommandArgument valueArgument() {
    return {"VALUE",
            "the value picked in the group's tab (for actor and actress, either leading role)",
            {},
            true};
}

CommandOption descendingOption() {
    return {"descending", "", "in descending order"};
}

CommandOption searchOption(const QString& help) {
    return {"search", "TEXT", help};
}

QList<CommandRow> makeTable() {
    return {
        {"list",
         {},
         {{"key",
           "KEY",
           "sorts and shows as the key selector does",
           {"movie", "genre", "year", "director", "producer"}},
          descendingOption(),
          searchOption("only the movies whose key field contains TEXT")},
         "prints the movie list: its header, then each row's four texts separated by tabs"},
        {"groups",
         {kindArgument()},
         {descendingOption(), searchOption("only the values that contain TEXT")},
         "prints a group tab: its header, then each value, a tab and its count"},
        {"breakdown",
         {kindArgument(), valueArgument()},
         {descendingOption(), searchOption("only the movies whose names contain TEXT")},
         "prints the movies of one value: the list's title, then each row's labels separated by "
         "tabs"},
        {"report",
         {kindArgument(), valueArgument(), {"FILE.pdf", "the PDF file to write"}},
         {descendingOption(),
          searchOption("only the movies whose names contain TEXT"),
          {"print-layout", "", "the print screen's report instead of the breakdown's"}},
         "writes the report of one value's movies, as the breakdown prints it, to a PDF file",
         CommandNeeds::CatalogueAndText},
        {"export",
         {{"FILE", "the file to write"}},
         {{"format", "FORMAT",
           "a Quillon file (the default), a spreadsheet (csv) or a Tellico collection",
           kFileFormats},
          {"delimiter", "CHAR",
           "the separator of the cells of --format csv: \",\" (unless told), \";\", \"|\" or tab"}},
         "writes the whole catalogue to FILE, as Export Movies does"},
        {"import",
         {{"FILE", "a Quillon file, a spreadsheet (CSV) or a Tellico collection"}},
         {{"format", "FORMAT", "the file's format, told by its content unless given", kFileFormats},
          {"map", "COLUMN=FIELD,...",
           "reads a spreadsheet's COLUMN into FIELD (name, year, director, cast, notes... or "
           "ignore)"},
          {"no-unmapped-notes", "",
           "leaves out the values no field takes, instead of keeping them in the notes"},
          {"dry-run", "", "prints what the import would do and changes nothing"},
          {"delimiter", "CHAR",
           "the separator of a spreadsheet's cells, guessed unless told: \",\", \";\", \"|\" or "
           "tab"},
          {"encoding",
           "ENCODING",
           "the encoding of a spreadsheet: UTF-8, or Windows-1252 when its bytes are not UTF-8, "
           "unless told",
           {"utf-8", "windows-1252"}}},
         "reads FILE into the catalogue, as Import Movies does, and prints what it added, "
         "updated, skipped and could not read"},
        {"stats",
         {},
         {{"json", "", "one JSON object instead of the sections"}},
         "prints the collection in figures: totals, movies per decade, genre, rating and run "
         "time, and the most frequent people"},
        {"backups",
         {},
         {},
         "prints the names of the catalogue's backups, oldest first, one a line",
         CommandNeeds::DataFolder},
        {"restore",
         {{"NAME", "a name that quillon backups prints"}},
         {},
         "puts backup NAME back; the current catalogue is backed up first and that backup's "
         "name printed",
         CommandNeeds::DataFolder},
    };
}

}  // namespace

const QList<CommandRow>& commandTable() {
    static const QList<CommandRow> table = makeTable();
    return table;
}

const CommandRow* findCommand(QStringView name) {
    for (const CommandRow& row : commandTable())
        if (row.name == name) return &row;
    return nullptr;
}

const QList<CommandOption>& globalOptions() {
    static const QList<CommandOption> options = {
        {globalOption::kDataDir, "DIR",
         "keeps the catalogue in DIR instead of the user's data folder (also QUILLON_DATA_DIR)"},
        {globalOption::kWait, "SECONDS",
         "how long a command waits while another Quillon has the catalogue open (10 unless "
         "told; 0 gives up at once); the window waits only when told"},
        {globalOption::kHelp, "", "lists the commands; after a command, tells about it"},
        {globalOption::kVersion, "", "prints Quillon's version"},
    };
    return options;
}

}  // namespace quillon
