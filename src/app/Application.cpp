#include "app/Application.h"

#include <QApplication>
#include <QIcon>
#include <QStatusBar>
#include <cstdio>

#include "app/AppDelegate.h"
#include "app/BlockingMessage.h"
#include "app/CatalogueAccess.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/TerminationSignals.h"
#include "catalogue/SmallCopyBuilder.h"
#include "commands/CommandHelp.h"
#include "platform/DataFolders.h"
#include "platform/DiagnosticLog.h"
#include "toolkit/AlertController.h"
#include "toolkit/MainQueue.h"

namespace quillon {

namespace {

// Small copies of the covers are made once the window is up, and told in its status area.
// Progress in the window's status bar, which shows only while there is some.
void startSmallCopies(AppDelegate& delegate, MainWindow& window) {
    SmallCopyBuilder* builder = delegate.smallCopyBuilder();
    if (!builder) return;
    QStatusBar* bar = window.statusBar();
    bar->hide();
    QObject::connect(builder, &SmallCopyBuilder::progressed, bar, [bar](int done, int total) {
        bar->showMessage(
            QStringLiteral("Making small copies of the covers: %1 of %2").arg(done).arg(total));
        bar->show();
    });
    QObject::connect(builder, &SmallCopyBuilder::finished, bar, [bar](const Status& status) {
        bar->clearMessage();
        bar->hide();
        if (!status) diagnosticLog("Small copies of the covers not made: " + status.describe());
    });
    mainQueue::async([builder] { builder->start(); }, &window);
}

int runWindow(QApplication& app, AppDelegate& delegate) {
    // First of all, so that no signal can cut a save short and a blocking box still ends.
    quitOnTerminationSignals(app);
    delegate.didFinishLaunching();
    int status = 0;
    auto window = startWindow(delegate, &status);
    if (!window) return status;
    window->show();
    status = app.exec();
    delegate.applicationWillTerminate();
    return status;
}

}  // namespace

std::unique_ptr<MainWindow> startWindow(AppDelegate& delegate, int* exitStatus) {
    if (const Status status = delegate.openStore(); !status) {
        const bool told = status.code == Status::Busy || status.code == Status::NotFound;
        const QString message = told ? status.error : unresolvedErrorText(status);
        diagnosticLog(message);
        showBlockingMessage(told ? QMessageBox::Warning : QMessageBox::Critical,
                            told ? "Quillon" : "Unresolved error", message);
        if (exitStatus) *exitStatus = storeOpenFailureExitStatus(status);
        return nullptr;
    }
    auto window = createMainWindow(delegate);
    startSmallCopies(delegate, *window);
    if (delegate.persistentContainer().isReadOnly()) {
        window->setWindowTitle(readOnlyWindowTitle(window->windowTitle()));
        QWidget* shown = window.get();
        const QString dataDir = delegate.dataDir();
        mainQueue::async(
            [shown, dataDir] {
                auto* alert =
                    AlertController::ok(readOnlyAlertTitle(), readOnlyAlertMessage(dataDir));
                alert->setParent(shown, alert->windowFlags());
                alert->setWindowModality(Qt::WindowModal);
                alert->open();
            },
            window.get());
    }
    if (exitStatus) *exitStatus = 0;
    return window;
}

namespace {

int runHeadlessCommand(const CommandLine& command) {
    AppDelegate delegate(DataFolders::dataDir());
    delegate.setHeadless(true);
    delegate.setStoreOptions({.lockWaitMs = command.lockWaitMs.value_or(kDefaultLockWaitMs)});
    const int status = runCommand(command, delegate);
    delegate.applicationWillTerminate();
    return status;
}

int print(FILE* stream, const QString& text, int status) {
    std::fputs(text.toUtf8().constData(), stream);
    return status;
}

}  // namespace

int runApplication(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = parseCommandLine(arguments);
    QCoreApplication::setApplicationName("Quillon");
    QCoreApplication::setOrganizationName("Quillon");
    switch (command.action) {
        case CommandLine::Action::Refuse:
            return print(stderr, command.error, kUsageExitStatus);
        case CommandLine::Action::Help:
            return print(stdout, command.command ? commandHelp(*command.command) : programHelp(),
                         0);
        case CommandLine::Action::Version:
            return print(stdout, versionText(), 0);
        case CommandLine::Action::Window:
        case CommandLine::Action::Run:
            break;
    }
    if (!command.dataDir.isEmpty()) DataFolders::setDataDir(command.dataDir);
    if (command.action == CommandLine::Action::Window) {
        QApplication app(argc, argv);
        // Ties the window to the installed menu entry and its icon (Wayland matches by this).
        QGuiApplication::setDesktopFileName("org.quillon.Quillon");
        QApplication::setWindowIcon(QIcon::fromTheme("org.quillon.Quillon"));
        AppDelegate delegate(DataFolders::dataDir());
        // A second window is refused at once unless asked to wait.
        delegate.setStoreOptions({.lockWaitMs = command.lockWaitMs.value_or(0)});
        return runWindow(app, delegate);
    }
    // Commands need no display. Laying out text needs the fonts of a GUI application: the
    // offscreen platform gives them without a display.
    if (command.command->needs == CommandNeeds::CatalogueAndText) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return runHeadlessCommand(command);
    }
    QCoreApplication app(argc, argv);
    return runHeadlessCommand(command);
}

}  // namespace quillon
