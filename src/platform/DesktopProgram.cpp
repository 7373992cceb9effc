#include "platform/DesktopProgram.h"

#include <QFileInfo>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QTimer>

#include "platform/DiagnosticLog.h"

namespace quillon {
namespace {

// The exit statuses of xdg-utils: 3 is "no program found for it".
QString exitReason(const QString& name, int status) {
    if (status == 3)
        return QStringLiteral("%1 found no program to hand it to (exit status 3)").arg(name);
    return QStringLiteral("%1 ended with exit status %2").arg(name).arg(status);
}

// One run of a program. It lives until the program ends, however long after the answer: its
// QProcess would otherwise stop the program.
class ProgramRun : public QObject {
public:
    ProgramRun(const QString& program, QObject* context, ProgramDone done)
        : name_(QFileInfo(program).fileName()),
          context_(context),
          hasContext_(context != nullptr),
          done_(std::move(done)) {
        // The program and what it becomes share our terminal, as a detached one would.
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.setInputChannelMode(QProcess::ForwardedInputChannel);
        process_.setProgram(program);
        patience_.setSingleShot(true);
        connect(&patience_, &QTimer::timeout, this, [this] { answer(ProgramResult::success()); });
        connect(&process_, &QProcess::finished, this, &ProgramRun::ended);
        connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart) return;  // the rest end in finished()
            answer(
                ProgramResult::failure(name_ + " could not be started: " + process_.errorString()));
            deleteLater();
        });
    }

    void start(const QStringList& arguments, std::chrono::milliseconds patience) {
        process_.setArguments(arguments);
        patience_.start(patience);
        process_.start();
    }

private:
    void ended(int status, QProcess::ExitStatus how) {
        patience_.stop();
        if (how == QProcess::CrashExit)
            answer(ProgramResult::failure(name_ + " ended abnormally"));
        else if (status != 0)
            answer(ProgramResult::failure(exitReason(name_, status)));
        else
            answer(ProgramResult::success());
        deleteLater();
    }

    void answer(const ProgramResult& result) {
        if (!done_) {
            if (!result) diagnosticLog(result.reason + ", after it was taken to have worked");
            return;
        }
        const ProgramDone done = std::exchange(done_, nullptr);
        if (!hasContext_ || context_) done(result);
    }

    const QString name_;
    QProcess process_;
    QTimer patience_;
    const QPointer<QObject> context_;
    const bool hasContext_;
    ProgramDone done_;
};

}  // namespace

void runDesktopProgram(const QString& program, const QStringList& arguments, QObject* context,
                       ProgramDone done, std::chrono::milliseconds patience) {
    (new ProgramRun(program, context, std::move(done)))->start(arguments, patience);
}

}  // namespace quillon
