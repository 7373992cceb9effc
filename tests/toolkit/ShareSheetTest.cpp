#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>

#include "platform/DocumentPicker.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"

namespace quillon::test {
namespace {

QDialog* presentedSheet(QWidget& anchor) {
    return anchor.findChild<QDialog*>("ShareSheet");
}

QStringList buttonTitles(QDialog* dialog) {
    QStringList titles;
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) titles << button->text();
    return titles;
}

TEST(ShareSheet, IsANonBlockingDialogSayingWhatIsSharedWithButtonsNamingWhatTheyDo) {
    RecordingMail mail;
    ScriptedHandoff handoff;
    DesktopShareSheet sheet(mail, handoff);
    ShareRequest request;
    request.files = {"/somewhere/Quillon.csv"};
    QWidget anchor;
    anchor.show();
    for (const auto& [excluded, buttons] :
         {std::pair{QSet<ShareActivity>{},
                    QStringList{"Save to a Folder…", "Open with Default Program", "Copy",
                                "Send by E-mail", "Cancel"}},
          std::pair{QSet<ShareActivity>{ShareActivity::Mail, ShareActivity::CopyToPasteboard},
                    QStringList{"Save to a Folder…", "Open with Default Program", "Cancel"}}}) {
        request.excluded = excluded;
        sheet.present(request, &anchor);  // returns: the dialog is opened, not run
        QDialog* dialog = presentedSheet(anchor);
        ASSERT_NE(dialog, nullptr);
        pumpEvents();
        EXPECT_TRUE(dialog->isVisible());
        auto* summary = dialog->findChild<QLabel*>("ShareSheetSummary");
        ASSERT_NE(summary, nullptr);
        EXPECT_EQ(summary->text(), "The file \"Quillon.csv\" is ready to share.");
        EXPECT_EQ(summary->textFormat(), Qt::PlainText);
        EXPECT_EQ(buttonTitles(dialog), buttons);
        dialog->close();
        pumpEvents();
    }

    ShareRequest texts;
    texts.texts = {"Quillon keeps my movies"};
    texts.urls = {QUrl("https://example.org/quillon")};
    EXPECT_EQ(DesktopShareSheet::summaryOf(texts),
              "The text \"Quillon keeps my movies\" and the address https://example.org/quillon "
              "are ready to share.");
    EXPECT_EQ(sheet.offeredActivities(texts),
              QList<ShareActivity>({ShareActivity::OpenInApp, ShareActivity::CopyToPasteboard,
                                    ShareActivity::Mail}));
}

TEST(ShareSheet, TargetsThatFailSaySoAndASavedCopyTellsWhereItWent) {
    QTemporaryDir folder;
    const QString source = folder.filePath("Quillon.csv");
    ASSERT_TRUE(writeBytes(source, "[QUILLON]\n"));
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
         "Could Not Save the File / \"Quillon.csv\" could not be saved as " + missing + ": "},
        {send, source, true, {}, {}},
        {send, source, false, {}, "Could Not Send by E-mail / The e-mail program could not"},
        {send, gone, true, {}, "Could Not Send by E-mail / \"gone.csv\" could not be read: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.button + " " + c.sharedFile + " " + c.savePath).toStdString());
        RecordingMail mail;
        mail.composes = c.works;
        ScriptedHandoff handoff;
        handoff.opens = c.works;
        handoff.savePath = c.savePath;
        DesktopShareSheet sheet(mail, handoff);
        LogCapture log;
        QWidget anchor;
        anchor.show();
        ShareRequest request;
        request.files = {c.sharedFile};
        sheet.present(request, &anchor);
        QPointer<QDialog> dialog = presentedSheet(anchor);
        ASSERT_NE(dialog, nullptr);
        QPushButton* button = nullptr;
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->text() == c.button) button = b;
        ASSERT_NE(button, nullptr);
        button->click();
        pumpEvents();
        EXPECT_FALSE(dialog && dialog->isVisible());
        EXPECT_EQ(handoff.opened,
                  c.button == open ? QList<QUrl>{QUrl::fromLocalFile(source)} : QList<QUrl>{});
        EXPECT_EQ(handoff.asked, c.button == save ? QStringList{"Quillon.csv"} : QStringList{});
        if (c.button == send && c.alert.isEmpty()) {
            ASSERT_EQ(mail.composed.size(), 1);
            ASSERT_EQ(mail.composed[0].attachments.size(), 1);
            EXPECT_EQ(mail.composed[0].attachments[0].data, "[QUILLON]\n");
            EXPECT_EQ(mail.composed[0].attachments[0].fileName, "Quillon.csv");
        }

        const QList<AlertController*> alerts = AlertController::presentedAlerts();
        ASSERT_EQ(alerts.size(), c.alert.isEmpty() ? 0 : 1);
        if (!alerts.isEmpty()) {
            const QString shown = alerts[0]->title() + " / " + alerts[0]->message();
            EXPECT_TRUE(shown.startsWith(c.alert)) << shown.toStdString();
            EXPECT_EQ(alerts[0]->parentWidget(), &anchor);
            EXPECT_EQ(log.lines.isEmpty(), c.alert.startsWith("File Saved"));
            alerts[0]->trigger("OK");
            pumpEvents();
        }
    }
    EXPECT_EQ(contents(savedAs), "[QUILLON]\n");
}

TEST(FileDialogs, StartInDocumentsThenInTheLastFolderUsed) {
    QTemporaryDir root;
    const QString home = root.filePath("home"), documents = root.filePath("home/Documents"),
                  elsewhere = root.filePath("elsewhere");
    for (const QString& dir : {documents, elsewhere}) QDir().mkpath(dir);
    const QString picked = QDir(elsewhere).filePath("movies.csv");
    writeBytes(picked, {});
    ScopedEnv homeEnv("HOME", home), configEnv("XDG_CONFIG_HOME", root.filePath("config"));
    QWidget parent;
    parent.show();
    auto openedDialog = [&](const char* name) {
        pumpEvents();
        auto* dialog = parent.findChild<QFileDialog*>(name);
        EXPECT_TRUE(dialog && dialog->isVisible());
        return dialog;
    };

    for (const QString& folder : {documents, elsewhere}) {
        SCOPED_TRACE(folder.toStdString());
        DesktopHandoff().askSavePath(&parent, "Quillon.csv", [](const QString&) {});
        QFileDialog* save = openedDialog("SaveToFolderDialog");
        ASSERT_NE(save, nullptr);
        EXPECT_EQ(save->directory().absolutePath(), folder);
        EXPECT_EQ(save->selectedFiles(), QStringList{QDir(folder).filePath("Quillon.csv")});
        save->reject();

        QString answer;
        DesktopDocumentPicker().pick(
            &parent, [&](const QString& path) { answer = path; }, [] {});
        QFileDialog* picker = openedDialog("DocumentPicker");
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(picker->directory().absolutePath(), folder);
        auto* typed = picker->findChild<QLineEdit*>("fileNameEdit");  // the user types the path
        ASSERT_NE(typed, nullptr);
        typed->setText(picked);
        static_cast<QDialog*>(picker)->accept();  // as the Open button does
        EXPECT_EQ(answer, picked);
        pumpEvents();
    }
}

}  // namespace
}  // namespace quillon::test
