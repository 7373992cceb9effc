#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QPdfDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>

#include "RunQuillon.h"
#include "app/CommandLine.h"
#include "catalogue/GroupKind.h"
#include "catalogue/MovieListQuery.h"
#include "commands/CommandHelp.h"
#include "reports/OverviewViewController.h"
#include "store/Backups.h"
#include "support/AppHarness.h"
#include "support/TestSupport.h"

using namespace quillon;

namespace {

using test::Ran, test::run, test::runQuillon;

// Starts the real program's window on a data folder; returns its merged output once that
// holds `shown` (or the program ended).
QByteArray startWindowUntil(QProcess& process, const QString& dataDir, const QByteArray& shown) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUILLON_DATA_DIR", dataDir);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QUILLON_BINARY, QStringList{});
    QByteArray seen;
    while (!seen.contains(shown) && process.waitForReadyRead(10000)) seen += process.readAll();
    return seen + process.readAll();
}

TEST(CommandLineTest,
     ListBackupsAndRestorePrintTheirResultsAndAReadOnlyFolderStillListsAndExports) {
    test::AppHarness app;
    for (auto [name, year, genre] : {std::tuple{"Heat", 1995, "Crime"},
                                     {"alien", 1979, "Horror"},
                                     {"Aliens", 1986, "Action"}}) {
        auto m = Movies::insertInto(app.context());
        m->setName(QString(name));
        m->setYear(qint16(year));
        m->setText(Attribute::genre, QString(genre));
    }
    Movies::insertInto(app.context())->setText(Attribute::leadingActress1, "Weaver");
    ASSERT_TRUE(app.context().save());
    QString first, second;
    ASSERT_TRUE(backups::make(app.context(), &first, QDateTime(QDate(2026, 3, 1), QTime(12, 0))));
    app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Heat")).at(0)->setName("Cold");
    ASSERT_TRUE(app.context().save());
    ASSERT_TRUE(backups::make(app.context(), &second, QDateTime(QDate(2026, 3, 2), QTime(12, 0))));
    app.app().closeStore();  // the program takes the catalogue's lock

    auto result =
        runQuillon(app.dataDir(), {"list", "--key", "genre", "--descending", "--search", "O"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(
        result.out,
        "# Movies = 2 of 4\n"
        "Genre: Horror\tMovie: alien   Year: 1979  Run Time: 0\tActors: , \tActress's: , \n"
        "Genre: Action\tMovie: Aliens   Year: 1986  Run Time: 0\tActors: , \tActress's: , \n");
    EXPECT_EQ(runQuillon(app.dataDir(), {"list", "--key", "colour"}).status, 2);
    result = runQuillon(app.dataDir(), {"stats", "--json"});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.out.startsWith("{\"movies\":4,\"withFrontCover\":0,"))
        << result.out.toStdString();
    EXPECT_TRUE(result.out.contains("\"byGenre\":[{\"value\":\"Action\",\"count\":1}"));

    // Global options may follow the command.
    EXPECT_EQ(run({QUILLON_BINARY, "backups", "--data-dir", app.dataDir()}).out,
              first + "\n" + second + "\n");
    result = runQuillon(app.dataDir(), {"restore", first});
    EXPECT_EQ(result.status, 0) << result.errors.toStdString();
    EXPECT_EQ(backups::list(app.dataDir()), (QStringList{first, second, result.out.chopped(1)}));
    EXPECT_EQ(app.context().fetch<Movies>(Predicate::equals(Attribute::name, "Heat")).size(), 1u);
    app.app().closeStore();
    for (const auto& [arguments, status, error] :
         {std::tuple{QStringList{"restore", "Quillon 1999.sqlite"}, 1,
                     "restore: There is no backup named \"Quillon 1999.sqlite\""},
          {QStringList{"restore", first, second}, 2, "restore: unexpected argument"},
          {QStringList{"backups", "now"}, 2, "backups: unexpected argument \"now\""}}) {
        result = runQuillon(app.dataDir(), arguments);
        EXPECT_EQ(result.status, status) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.errors.startsWith(error)) << result.errors.toStdString();
    }
    EXPECT_EQ(backups::list(app.dataDir()).size(), 3) << "a refused restore backs up nothing";

    // A folder that cannot be written; root writes anywhere, so root runs the program as nobody.
    QTemporaryDir outDir;
    ASSERT_TRUE(QFile::setPermissions(outDir.path(), QFileDevice::Permissions(0x7777)));
    ASSERT_TRUE(QFile::setPermissions(app.dataDir(), QFileDevice::Permissions(0x5055)));
    QStringList asUser;
    if (::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (setpriv.isEmpty()) GTEST_SKIP() << "running as root without setpriv";
        asUser = {setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    if (run(asUser + QStringList{"touch", app.dataDir() + "/probe"}).status == 0)
        GTEST_SKIP() << "the folder stays writable for this user";
    const auto quillon = [&](const QStringList& arguments) {
        return run(asUser + QStringList{QUILLON_BINARY, "--data-dir", app.dataDir()} + arguments);
    };
    result = quillon({"list"});  // by name, ascending
    EXPECT_TRUE(result.out.startsWith("# Movies = 4\nMovie: \tYear: 0"))
        << result.out.toStdString();
    const QString exported = outDir.filePath("Quillon.csv");
    EXPECT_EQ(quillon({"export", exported}).status, 0);
    EXPECT_EQ(test::contents(exported).count('\n'), 5);  // header and four movies
    QFile::setPermissions(app.dataDir(), QFileDevice::Permissions(0x7700));
}

// What the parser made of a command line, in one line: the action and command, then the
// arguments and options given (or the refusal's first line).
QString parsed(const QStringList& words) {
    const CommandLine line = parseCommandLine(QStringList{"quillon"} + words);
    if (line.action == CommandLine::Action::Refuse) {
        const QString usage = line.error.section('\n', 1, 1);
        const QString expected =
            line.command ? "Usage: " + usageLine(*line.command) : "Usage: quillon [--data-dir";
        EXPECT_TRUE(usage.startsWith(expected)) << line.error.toStdString();
        return line.error.section('\n', 0, 0);
    }
    static const char* const actions[] = {"window", "run", "help", "version", ""};
    QStringList out{actions[int(line.action)] + (line.command ? ' ' + line.name() : QString())};
    if (line.action == CommandLine::Action::Run) {
        for (const CommandArgument& argument : line.command->arguments)
            out << argument.name + '=' + line.input.argument(argument.name);
        for (const CommandOption& option : line.command->options)
            if (line.input.isSet(option.name))
                out << "--" + option.name +
                           (option.choices.isEmpty()
                                ? QString()
                                : '#' + QString::number(line.input.choiceIndex(option.name))) +
                           (option.valueName.isEmpty() ? QString()
                                                       : '=' + line.input.value(option.name));
    }
    if (line.lockWaitMs) out << "wait " + QString::number(*line.lockWaitMs);
    if (!line.dataDir.isEmpty()) out << "in " + line.dataDir;
    return out.join(' ');
}

TEST(CommandLineTest, EveryCommandTakesItsWordsAnywhereAndRefusesWrongOnesWithItsUsageLine) {
    const struct {
        QStringList words;
        const char* parsed;
    } cases[] = {
        {{}, "window"},
        {{"--wait", "2.5", "--data-dir=d"}, "window wait 2500 in d"},
        {{"list"}, "run list"},
        {{"--descending", "list"}, "quillon: unknown option --descending"},
        {{"list", "--search", "-x", "--key=genre", "--descending", "--key", "year"},
         "run list --key#2=year --descending --search=-x"},
        {{"list", "--key", "colour"},
         "list: --key must be movie, genre, year, director or producer, not \"colour\""},
        {{"list", "--sort"}, "list: unknown option --sort"},
        {{"list", "-s"}, "list: unknown option -s"},
        {{"list", "--search"}, "list: --search needs TEXT"},
        {{"list", "--descending=yes"}, "list: --descending takes no value"},
        {{"list", "heat"}, "list: unexpected argument \"heat\""},
        {{"groups", "--search", "", "actor"}, "run groups KIND=actor --search="},
        {{"groups", "actors"},
         "groups: KIND must be genre, actor, actress, director or producer, not \"actors\""},
        {{"groups"}, "groups: KIND is missing"},
        {{"breakdown", "director", "", "--descending"},
         "run breakdown KIND=director VALUE= --descending"},
        {{"breakdown", "director", "--", "--Mann--"}, "run breakdown KIND=director VALUE=--Mann--"},
        {{"breakdown", "director"}, "breakdown: VALUE is missing"},
        {{"report", "actor", "Mann", "--print-layout", "out.pdf", "--search", "ov"},
         "run report KIND=actor VALUE=Mann FILE.pdf=out.pdf --search=ov --print-layout"},
        {{"report", "director", "Mann", ""}, "report: FILE.pdf must not be empty"},
        {{"report", "director", "--x", "f.pdf"}, "report: unknown option --x"},
        {{"export", "out.csv"}, "run export FILE=out.csv"},
        {{"export", "a", "b"}, "export: unexpected argument \"b\""},
        {{"import", "in.csv"}, "run import FILE=in.csv"},
        {{"import"}, "import: FILE is missing"},
        {{"stats", "--json"}, "run stats --json"},
        {{"backups", "--wait", "0"}, "run backups wait 0"},
        {{"--data-dir", "d", "restore", "x", "--data-dir", "e", "--wait=1"},
         "run restore NAME=x wait 1000 in e"},
        {{"restore"}, "restore: NAME is missing"},
        {{"restore", "x", "--wait", "-1"},
         "restore: --wait must be a number of seconds, not \"-1\""},
        {{"restore", "x", "--wait", "soon"},
         "restore: --wait must be a number of seconds, not \"soon\""},
        {{"restore", "x", "--wait"}, "restore: --wait needs SECONDS"},
        {{"--wait", "2", "--wait", ""}, "quillon: --wait must be a number of seconds, not \"\""},
        {{"--data-dir"}, "quillon: --data-dir needs DIR"},
        {{"colour"}, "quillon: unknown command \"colour\""},
        {{"--help"}, "help"},
        {{"-h"}, "help"},
        {{"help"}, "help"},
        {{"help", "report"}, "help report"},
        {{"report", "--help"}, "help report"},
        {{"--help", "restore"}, "help restore"},
        {{"help", "colour"}, "quillon: unknown command \"colour\""},
        {{"help", "list", "groups"}, "quillon: unexpected argument \"groups\""},
        {{"--version"}, "version"},
    };
    QSet<QString> run;
    for (const auto& c : cases) {
        EXPECT_EQ(parsed(c.words), c.parsed) << c.words.join(' ').toStdString();
        if (QString(c.parsed).startsWith("run ")) run << QString(c.parsed).section(' ', 1, 1);
    }
    for (const CommandRow& command : commandTable())
        EXPECT_TRUE(run.contains(command.name)) << "no case runs " << command.name.toStdString();

    // The choices let through are the names the commands' code reads, in its order.
    QStringList keys, kinds;
    for (const MovieListKey& key : kMovieListKeys) keys << QString(key.title).toLower();
    for (GroupKind kind : kGroupKinds) kinds << commandNameOf(kind);
    EXPECT_EQ(findCommand(u"list")->options.at(0).choices, keys);
    for (const char16_t* name : {u"groups", u"breakdown", u"report"})
        EXPECT_EQ(findCommand(name)->arguments.at(0).choices, kinds);
}

// The real program: its help and each command's, from the same rows as the guide's table.
TEST(CommandLineTest, TheHelpListsEveryCommandAndTheGuideShowsEachOfThem) {
    const Ran help = run({QUILLON_BINARY, "--help"});
    EXPECT_EQ(help.status, 0);
    QStringList listed;
    static const QRegularExpression commandLine("^  quillon (\\S+)",
                                                QRegularExpression::MultilineOption);
    for (auto match = commandLine.globalMatch(help.out); match.hasNext();)
        listed << match.next().captured(1);
    QStringList names;
    for (const CommandRow& command : commandTable()) names << command.name;
    EXPECT_EQ(listed, names);

    QPdfDocument guide;
    ASSERT_EQ(guide.load(OverviewViewController::kDocumentPath), QPdfDocument::Error::None);
    QString text;
    for (int page = 0; page < guide.pageCount(); ++page)
        text += guide.getAllText(page).text() + ' ';
    text = text.simplified();
    for (const QString& name : listed) {
        const CommandRow* command = findCommand(name);
        ASSERT_TRUE(command);
        const Ran told = run({QUILLON_BINARY, "help", name});
        EXPECT_EQ(told.status, 0);
        EXPECT_TRUE(told.out.startsWith("Usage: " + usageLine(*command) + '\n'))
            << told.out.toStdString();
        EXPECT_TRUE(text.contains("quillon " + name)) << "the guide lacks " << name.toStdString();
        for (const CommandOption& option : command->options)
            EXPECT_TRUE(text.contains("--" + option.name))
                << name.toStdString() << " --" << option.name.toStdString();
    }

    const Ran refused = run({QUILLON_BINARY, "colour"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_TRUE(refused.errors.startsWith("quillon: unknown command \"colour\"\nUsage: quillon"))
        << refused.errors.toStdString();
    EXPECT_EQ(run({QUILLON_BINARY, "--version"}).out.left(8), "Quillon ");
}

// (A lock left by a killed process is taken over: the store's own tests.)
TEST(CommandLineTest, SignalsEndTheWindowAndItsBoxesAndACommandWaitsForTheLockOrIsRefused) {
    QTemporaryDir fine, broken, locked;
    ASSERT_TRUE(test::writeBytes(broken.filePath("Quillon.sqlite"), QByteArray(8192, 'z')));
    Status status;
    auto holder = CatalogueStore::open(locked.path(), &status);
    ASSERT_TRUE(holder) << status.describe().toStdString();
    // `shown` is logged once the window or the box is up.
    for (const auto& [dataDir, shown, signal, exitStatus] :
         {std::tuple{fine.path(), "Launch", SIGTERM, 0},
          {broken.path(), "Unresolved error", SIGINT, 1},
          {locked.path(), "Quillon is already open on this catalogue", SIGTERM, 3}}) {
        QProcess process;
        const QByteArray output = startWindowUntil(process, dataDir, shown);
        ASSERT_TRUE(output.contains(shown)) << output.toStdString();
        ::kill(pid_t(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << shown;
        EXPECT_EQ(process.exitCode(), exitStatus) << shown;
        // A refused start brings nothing else up.
        EXPECT_EQ((output + process.readAll()).contains("Launch"), exitStatus == 0) << shown;
    }

    for (const auto& [dataDir, exitStatus, error] :
         {std::tuple{locked.path(), 3, "Quillon is already open on this catalogue"},
          {broken.path(), 1, "Unresolved error "}}) {
        const auto refused = runQuillon(dataDir, {"--wait", "0", "list"});
        EXPECT_EQ(refused.status, exitStatus);
        EXPECT_TRUE(refused.errors.startsWith(error)) << refused.errors.toStdString();
        EXPECT_EQ(refused.errors.contains("--wait SECONDS"), exitStatus == 3);
    }
    QProcess waiting;
    waiting.start(QUILLON_BINARY, {"--data-dir", locked.path(), "--wait", "60", "list"});
    ASSERT_TRUE(waiting.waitForStarted());
    EXPECT_FALSE(waiting.waitForFinished(1500)) << waiting.readAllStandardError().toStdString();
    holder.reset();
    ASSERT_TRUE(waiting.waitForFinished(30000));
    EXPECT_EQ(waiting.exitCode(), 0);
    EXPECT_EQ(waiting.readAllStandardOutput(), "# Movies = 0\n");
}

}  // namespace
