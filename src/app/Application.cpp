#include "app/Application.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <cstdio>

#include "app/AppDelegate.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "platform/DataFolders.h"
#include "toolkit/NavigationController.h"

namespace quillon {

namespace {

int signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(signalPipe[1], &byte, 1);
}

// SIGINT and SIGTERM quit through the event loop, so pending changes are saved.
void quitOnTerminationSignals(QApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { QApplication::quit(); });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int runWindow(QApplication& app, AppDelegate& delegate) {
    delegate.didFinishLaunching();
    // Before the store opens, so that no signal can cut a save short.
    quitOnTerminationSignals(app);
    auto window = createMainWindow();
    window->show();
    const int status = app.exec();
    delegate.applicationWillTerminate();
    return status;
}

}  // namespace

int runApplication(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = parseCommandLine(arguments);
    QCoreApplication::setApplicationName("Quillon");
    QCoreApplication::setOrganizationName("Quillon");
    if (!command.error.isEmpty()) {
        std::fprintf(stderr, "%s\n%s", command.error.toUtf8().constData(),
                     usageText().toUtf8().constData());
        return 2;
    }
    if (command.name == "help") {
        std::fputs(usageText().toUtf8().constData(), stdout);
        return 0;
    }
    if (!command.dataDir.isEmpty()) DataFolders::setDataDir(command.dataDir);
    if (command.name.isEmpty()) {
        QApplication app(argc, argv);
        AppDelegate delegate(DataFolders::dataDir());
        return runWindow(app, delegate);
    }
    // Commands need no display.
    QCoreApplication app(argc, argv);
    AppDelegate delegate(DataFolders::dataDir());
    delegate.setHeadless(true);
    const int status = runCommand(command);
    delegate.applicationWillTerminate();
    return status;
}

}  // namespace quillon
