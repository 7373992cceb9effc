#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>

#include "platform/DocumentPicker.h"
#include "platform/ShareSheet.h"
#include "support/FakePrograms.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"

using namespace quillon;

namespace {

// Offered in order: what the request has something for, less the excluded (and mail when none
// can be sent). The sheet does not block; each button closes it and does what it names.
TEST(ShareSheet, TargetsThatFailSaySoAndASavedCopyTellsWhereItWent) {
    test::RecordingMail noMail;
    noMail.canSend = false;
    test::ScriptedHandoff desktop;
    const ShareRequest file{{"/somewhere/Quillon.csv"}, {}, {}, {ShareActivity::CopyToPasteboard}};
    EXPECT_EQ(DesktopShareSheet(noMail, desktop, AlertController::tell).offeredActivities(file),
              QList<ShareActivity>({ShareActivity::SaveToFiles, ShareActivity::OpenInApp}));
    EXPECT_EQ(DesktopShareSheet::summaryOf(file), "The file \"Quillon.csv\" is ready to share.");
    QTemporaryDir folder;
    const QString source = folder.filePath("Quillon.csv");
    ASSERT_TRUE(test::writeBytes(source, "[QUILLON]\n"));
    const QString savedAs = folder.filePath("Backup.csv");
    const QString missing = folder.filePath("missing/Quillon.csv");
    const QString open = "Open with Default Program", save = "Save to a Folder…",
                  send = "Send by E-mail", gone = folder.filePath("gone.csv");
    const struct {
        QString button, sharedFile;
        bool works;               // the default program opens, the mail program starts
        QString savePath, alert;  // "title / start of the message", or no alert
    } cases[] = {
        {open, source, true, {}, {}},
        {open, source, false, {}, "Could Not Open / No program was found to open \"Quillon.csv\"."},
        {save, source, true, savedAs, "File Saved / The file was saved as " + savedAs},
        {save, source, true, {}, {}},  // cancelled
        {save, source, true, missing,
         "Could Not Save the File / \"Quillon.csv\" could not be saved: " + missing +
             ": No such file or directory"},
        {send, source, true, {}, {}},
        {send, source, false, {}, "Could Not Send by E-mail / The e-mail program could not"},
        {send, gone, true, {}, "Could Not Send by E-mail / \"gone.csv\" could not be read: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.button + " " + c.sharedFile + " " + c.savePath).toStdString());
        test::RecordingMail mail;
        test::ScriptedHandoff handoff;
        mail.composes = handoff.opens = c.works;
        handoff.savePath = c.savePath;
        test::LogCapture log;
        QWidget anchor;
        anchor.show();
        DesktopShareSheet(mail, handoff, AlertController::tell)
            .present(ShareRequest{{c.sharedFile}, {}, {}, {}}, &anchor);
        QPointer<QDialog> dialog = anchor.findChild<QDialog*>("ShareSheet");
        ASSERT_TRUE(dialog && dialog->isVisible());
        QPushButton* button = nullptr;
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->text() == c.button) button = b;
        ASSERT_NE(button, nullptr);
        button->click();
        test::pumpEvents();
        EXPECT_FALSE(dialog && dialog->isVisible());
        EXPECT_EQ(handoff.opened,
                  c.button == open ? QList<QUrl>{QUrl::fromLocalFile(source)} : QList<QUrl>{});
        EXPECT_EQ(handoff.asked, c.button == save ? QStringList{"Quillon.csv"} : QStringList{});
        if (c.button == send && c.alert.isEmpty()) {
            const QList<MailAttachment> sent = mail.composed.value(0).attachments;
            EXPECT_TRUE(sent.size() == 1 && sent[0].data == "[QUILLON]\n" &&
                        sent[0].fileName == "Quillon.csv");
        }
        const QList<AlertController*> alerts = AlertController::presentedAlerts();
        ASSERT_EQ(alerts.size(), c.alert.isEmpty() ? 0 : 1);
        if (!alerts.isEmpty()) {
            const QString shown = alerts[0]->title() + " / " + alerts[0]->message();
            EXPECT_TRUE(shown.startsWith(c.alert)) << shown.toStdString();
            EXPECT_EQ(alerts[0]->parentWidget(), &anchor);
            alerts[0]->trigger("OK");
            test::pumpEvents();
        }
    }
    EXPECT_EQ(test::contents(savedAs), "[QUILLON]\n");
}

// With the desktop's own programs, Open and Send by E-mail tell when xdg-open or xdg-email ends
// with an exit status other than 0 (3: nothing set up to take it), and nothing on 0.
TEST(ShareSheet, OpenAndMailTellWhenXdgOpenOrXdgEmailFoundNoProgram) {
    struct AnsweringHandoff : DesktopHandoff {
        explicit AnsweringHandoff(test::AnsweringDesktop& counter) : counter(counter) {}
        void openUrl(const QUrl& url, QObject* context, ProgramDone done) override {
            DesktopHandoff::openUrl(url, context, counter.counted(std::move(done)));
        }
        test::AnsweringDesktop& counter;
    };
    QTemporaryDir folder;
    const QString file = folder.filePath("Quillon.csv");
    ASSERT_TRUE(test::writeBytes(file, "[QUILLON]\n"));
    test::AnsweringDesktop desktop;
    AnsweringHandoff handoff(desktop);
    const struct {
        const char* script;
        ShareActivity target;
        QString alert;
    } cases[] = {
        {"exit 3", ShareActivity::OpenInApp,
         "Could Not Open / No program was found to open \"Quillon.csv\"."},
        {"exit 3", ShareActivity::Mail,
         "Could Not Send by E-mail / The e-mail program could not be started."},
        {"exit 0", ShareActivity::OpenInApp, {}},
        {"exit 0", ShareActivity::Mail, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(DesktopShareSheet::titleOf(c.target).toStdString() + " " + c.script);
        test::FakePrograms programs;
        for (const char* program : {"xdg-open", "xdg-email"}) programs.install(program, c.script);
        QWidget anchor;
        anchor.show();
        desktop.answers = 0;
        DesktopShareSheet(desktop, handoff, AlertController::tell)
            .perform(c.target, {{file}, {}, {}, {}}, &anchor);
        for (int i = 0; i < 1000 && desktop.answers == 0; ++i) test::pumpEvents(10);
        if (c.target == ShareActivity::OpenInApp) {
            EXPECT_EQ(programs.arguments("xdg-open"), QStringList{file});
        }
        const QList<AlertController*> alerts = AlertController::presentedAlerts();
        ASSERT_EQ(alerts.size(), c.alert.isEmpty() ? 0 : 1);
        if (alerts.isEmpty()) continue;
        EXPECT_EQ(alerts[0]->title() + " / " + alerts[0]->message(), c.alert);
        EXPECT_EQ(alerts[0]->parentWidget(), &anchor);
        alerts[0]->trigger("OK");
        test::pumpEvents();
    }
}

// Both dialogs open in Documents, then in the folder last picked from.
TEST(FileDialogs, StartInDocumentsThenInTheLastFolderUsed) {
    QTemporaryDir root;
    const QString documents = root.filePath("home/Documents"),
                  elsewhere = root.filePath("elsewhere");
    for (const QString& dir : {documents, elsewhere}) QDir().mkpath(dir);
    const QString picked = QDir(elsewhere).filePath("movies.csv");
    test::writeBytes(picked, {});
    test::ScopedEnv homeEnv("HOME", root.filePath("home")),
        configEnv("XDG_CONFIG_HOME", root.filePath("config"));
    QWidget parent;
    parent.show();
    for (const QString& folder : {documents, elsewhere}) {
        DesktopHandoff().askSavePath(&parent, "Quillon.csv", [](const QString&) {});
        test::pumpEvents();
        auto* save = parent.findChild<QFileDialog*>("SaveToFolderDialog");
        ASSERT_TRUE(save && save->isVisible());
        EXPECT_EQ(save->selectedFiles(), QStringList{QDir(folder).filePath("Quillon.csv")});
        save->reject();
        QString answer;
        DesktopDocumentPicker().pick(
            &parent, [&](const QString& path) { answer = path; }, [] {});
        test::pumpEvents();
        auto* picker = parent.findChild<QFileDialog*>("DocumentPicker");
        ASSERT_TRUE(picker && picker->isVisible());
        EXPECT_EQ(picker->directory().absolutePath(), folder);
        if (auto* typed = picker->findChild<QLineEdit*>("fileNameEdit")) typed->setText(picked);
        static_cast<QDialog*>(picker)->accept();  // as the Open button does
        EXPECT_EQ(answer, picked);
        test::pumpEvents();
    }
}

}  // namespace
