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
#include <functional>
#include <optional>

#include "PlatformFakes.h"
#include "exchange/DocumentPicker.h"
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

void closeAlerts() {
    for (AlertController* alert : AlertController::presentedAlerts()) alert->trigger("OK");
    pumpEvents();
}

TEST(ShareSheet, IsANonBlockingDialogSayingWhatIsSharedWithButtonsNamingWhatTheyDo) {
    Installed<MailService, RecordingMail> mail(true, true);
    ShareRequest request;
    request.files = {"/somewhere/Quillon.csv"};
    EXPECT_EQ(ShareSheet::offeredActivities(request),
              QList<ShareActivity>({ShareActivity::SaveToFiles, ShareActivity::OpenInApp,
                                    ShareActivity::CopyToPasteboard, ShareActivity::Mail}));
    QWidget anchor;
    anchor.show();
    DesktopShareSheet().present(request, &anchor);  // returns: the dialog is opened, not run
    QDialog* dialog = presentedSheet(anchor);
    ASSERT_NE(dialog, nullptr);
    pumpEvents();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Share");
    EXPECT_GE(dialog->width(), 320);
    auto* summary = dialog->findChild<QLabel*>("ShareSheetSummary");
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(summary->text(), "The file \"Quillon.csv\" is ready to share.");
    EXPECT_EQ(summary->textFormat(), Qt::PlainText);
    EXPECT_EQ(buttonTitles(dialog), QStringList({"Save to a Folder…", "Open with Default Program",
                                                 "Copy", "Send by E-mail", "Cancel"}));
    dialog->close();
    pumpEvents();

    request.excluded = {ShareActivity::Mail, ShareActivity::CopyToPasteboard};
    DesktopShareSheet().present(request, &anchor);
    ASSERT_NE(presentedSheet(anchor), nullptr);
    EXPECT_EQ(buttonTitles(presentedSheet(anchor)),
              QStringList({"Save to a Folder…", "Open with Default Program", "Cancel"}));
    presentedSheet(anchor)->close();
    pumpEvents();

    ShareRequest texts;
    texts.texts = {"Quillon keeps my movies"};
    texts.urls = {QUrl("https://example.org/quillon")};
    EXPECT_EQ(DesktopShareSheet::summaryOf(texts),
              "The text \"Quillon keeps my movies\" and the address https://example.org/quillon "
              "are ready to share.");
    EXPECT_EQ(ShareSheet::offeredActivities(texts),
              QList<ShareActivity>({ShareActivity::OpenInApp, ShareActivity::CopyToPasteboard,
                                    ShareActivity::Mail}));
}

TEST(ShareSheet, TargetsThatFailSaySoAndASavedCopyTellsWhereItWent) {
    QTemporaryDir folder;
    const QString source = folder.filePath("Quillon.csv");
    {
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[QUILLON]\n");
    }
    const QString savedAs = folder.filePath("Backup.csv");
    const QString unreachable = folder.filePath("missing/Quillon.csv");
    struct Case {
        const char* name;
        QString button;
        QString sharedFile;
        std::function<void(ScriptedHandoff&)> setUp;
        bool composes;
        std::optional<std::pair<QString, QString>> alert;  // title, message
    };
    const QList<Case> cases = {
        {"open finds a program", "Open with Default Program", source, [](ScriptedHandoff&) {}, true,
         std::nullopt},
        {"open finds no program", "Open with Default Program", source,
         [](ScriptedHandoff& h) { h.opens = false; }, true,
         std::pair{"Could Not Open", "No program was found to open \"Quillon.csv\"."}},
        {"save", "Save to a Folder…", source, [&](ScriptedHandoff& h) { h.savePath = savedAs; },
         true, std::pair{"File Saved", "The file was saved as " + savedAs}},
        {"save cancelled", "Save to a Folder…", source, [](ScriptedHandoff&) {}, true,
         std::nullopt},
        {"save into a missing folder", "Save to a Folder…", source,
         [&](ScriptedHandoff& h) { h.savePath = unreachable; }, true,
         std::pair{"Could Not Save the File",
                   "\"Quillon.csv\" could not be saved as " + unreachable + ": "}},
        {"mail taken", "Send by E-mail", source, [](ScriptedHandoff&) {}, true, std::nullopt},
        {"mail program fails", "Send by E-mail", source, [](ScriptedHandoff&) {}, false,
         std::pair{"Could Not Send by E-mail", "The e-mail program could not be started."}},
        {"mail of a vanished file", "Send by E-mail", folder.filePath("gone.csv"),
         [](ScriptedHandoff&) {}, true,
         std::pair{"Could Not Send by E-mail", "\"gone.csv\" could not be read: "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Installed<MailService, RecordingMail> mail(true, c.composes);
        Installed<DesktopHandoff, ScriptedHandoff> handoff;
        c.setUp(*handoff);
        LogCapture log;
        QWidget anchor;
        anchor.show();
        ShareRequest request;
        request.files = {c.sharedFile};
        DesktopShareSheet().present(request, &anchor);
        QPointer<QDialog> dialog = presentedSheet(anchor);
        ASSERT_NE(dialog, nullptr);
        QPushButton* button = nullptr;
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->text() == c.button) button = b;
        ASSERT_NE(button, nullptr);
        button->click();
        pumpEvents();
        EXPECT_FALSE(dialog && dialog->isVisible());
        if (c.button == "Open with Default Program") {
            EXPECT_EQ(handoff->opened, QList<QUrl>{QUrl::fromLocalFile(c.sharedFile)});
        }
        if (c.button == "Save to a Folder…") {
            EXPECT_EQ(handoff->asked, QStringList{"Quillon.csv"});
        }
        if (c.button == "Send by E-mail" && !c.alert) {
            ASSERT_EQ(mail->composed.size(), 1);
            ASSERT_EQ(mail->composed[0].attachments.size(), 1);
            EXPECT_EQ(mail->composed[0].attachments[0].data, "[QUILLON]\n");
            EXPECT_EQ(mail->composed[0].attachments[0].fileName, "Quillon.csv");
        }

        const QList<AlertController*> alerts = AlertController::presentedAlerts();
        if (!c.alert) {
            EXPECT_TRUE(alerts.isEmpty());
        } else {
            ASSERT_EQ(alerts.size(), 1);
            EXPECT_EQ(alerts[0]->title(), c.alert->first);
            EXPECT_TRUE(alerts[0]->message().startsWith(c.alert->second))
                << alerts[0]->message().toStdString();
            EXPECT_EQ(alerts[0]->parentWidget(), &anchor);
            EXPECT_EQ(log.lines.isEmpty(), c.alert->first == "File Saved");
        }
        closeAlerts();
    }
    QFile saved(savedAs);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "[QUILLON]\n");
}

TEST(FileDialogs, StartInDocumentsThenInTheLastFolderUsed) {
    QTemporaryDir root;
    const QString home = root.filePath("home"), documents = root.filePath("home/Documents"),
                  elsewhere = root.filePath("elsewhere");
    for (const QString& dir : {documents, elsewhere}) QDir().mkpath(dir);
    const QString picked = QDir(elsewhere).filePath("movies.csv");
    QFile(picked).open(QIODevice::WriteOnly);
    ScopedEnv homeEnv("HOME", home), configEnv("XDG_CONFIG_HOME", root.filePath("config"));
    QWidget parent;
    parent.show();
    auto openedDialog = [&](const char* name) {
        pumpEvents();
        auto* dialog = parent.findChild<QFileDialog*>(name);
        EXPECT_TRUE(dialog && dialog->isVisible());
        return dialog;
    };

    DesktopHandoff().askSavePath(&parent, "Quillon.csv", [](const QString&) {});
    QFileDialog* save = openedDialog("SaveToFolderDialog");
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->directory().absolutePath(), documents);
    EXPECT_EQ(save->selectedFiles(), QStringList{QDir(documents).filePath("Quillon.csv")});
    save->reject();

    QString answer;
    DesktopDocumentPicker().pick(
        &parent, [&](const QString& path) { answer = path; }, [] {});
    QFileDialog* picker = openedDialog("DocumentPicker");
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->directory().absolutePath(), documents);
    auto* typed = picker->findChild<QLineEdit*>("fileNameEdit");  // the user types the path
    ASSERT_NE(typed, nullptr);
    typed->setText(picked);
    static_cast<QDialog*>(picker)->accept();  // as the Open button does
    EXPECT_EQ(answer, picked);
    pumpEvents();

    DesktopHandoff().askSavePath(&parent, "Quillon.csv", [](const QString&) {});
    save = openedDialog("SaveToFolderDialog");
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->directory().absolutePath(), elsewhere);
    save->reject();
    DesktopDocumentPicker().pick(
        &parent, [](const QString&) {}, [] {});
    picker = openedDialog("DocumentPicker");
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->directory().absolutePath(), elsewhere);
    picker->reject();
    pumpEvents();
}

}  // namespace
}  // namespace quillon::test
