#pragma once

#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include "platform/MailService.h"
#include "platform/UrlOpener.h"
#include "support/TestSupport.h"

namespace quillon::test {

// The desktop's programs (xdg-open, xdg-email) replaced by shell scripts, in a folder that is the
// whole of PATH while this lives, so that no real program is ever reached. Each script writes
// its arguments, one a line, beside itself, then runs its body. Scripts still running end soon
// after this, with their folder.
class FakePrograms {
public:
    FakePrograms()
        : sleep_(QStandardPaths::findExecutable("sleep")), path_("PATH", folder_.path()) {}

    void install(const QString& name, const QByteArray& body) {
        const QString path = script(name);
        QFile::remove(path + ".arguments");
        // A closing "." tells a reader that the arguments are written whole.
        writeBytes(path, "#!/bin/sh\n{ printf '%s\\n' \"$@\"; echo .; } > \"$0.arguments\"\n" +
                             body + "\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // A body that runs until this ends, as a browser that stays open does.
    QByteArray runsOn() const {
        return "while [ -e \"$0\" ]; do " + QFile::encodeName(sleep_) + " 0.05; done";
    }
    // What the program was last run with, once it has written it; waits a while for that.
    QStringList arguments(const QString& name) const {
        const QString path = script(name) + ".arguments";
        QByteArray written;
        for (int i = 0; i < 500 && !written.endsWith(".\n"); ++i) {
            pumpEvents(10);
            QFile file(path);
            written = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }
        if (!written.endsWith(".\n")) return {"(not run)"};
        QStringList lines = QString(written.chopped(2)).split('\n');
        if (lines.last().isEmpty()) lines.removeLast();
        return lines;
    }

private:
    QString script(const QString& name) const { return folder_.filePath(name); }

    QTemporaryDir folder_;
    QString sleep_;
    ScopedEnv path_;
};

// The desktop's own opener and mail service, counting their answers.
struct AnsweringDesktop : UrlOpener, MailService {
    void openUrl(const QUrl& url, QObject* context, ProgramDone done) override {
        opener.openUrl(url, context, counted(std::move(done)));
    }
    bool canSendMail() const override { return mail.canSendMail(); }
    void compose(const MailMessage& message, QObject* context, ProgramDone done) override {
        mail.compose(message, context, counted(std::move(done)));
    }
    ProgramDone counted(ProgramDone done) {
        return [this, done](const ProgramResult& result) {
            ++answers;
            done(result);
        };
    }
    DesktopUrlOpener opener;
    DesktopMailService mail;
    int answers = 0;
};

}  // namespace quillon::test
