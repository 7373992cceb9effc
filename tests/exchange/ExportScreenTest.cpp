#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>

#include "ExchangeTestUtil.h"
#include "toolkit/ActivityIndicator.h"
#include "exchange/ExchangeSegues.h"
#include "exchange/ExportViewController.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"

namespace quillon::test {
namespace {

class ExportScreen : public ::testing::Test {
protected:
    void SetUp() override {
        registerExchangeSegues(app.storyboard());
        root = new ViewController;
        navigation = std::make_unique<NavigationController>(root);
        navigation->setStoryboard(&app.storyboard());
        navigation->resize(420, 800);
        navigation->show();
    }
    void TearDown() override {
        for (AlertController* alert : AlertController::presentedAlerts()) alert->close();
        navigation.reset();
        pumpEvents();
    }

    ExportViewController* open() {
        return static_cast<ExportViewController*>(root->performSegue("ExportMovies"));
    }
    // Clicks Export and waits for the completion alert.
    void exportAndWait(ExportViewController* screen) {
        screen->ExportButton->click();
        waitForAlert();
    }
    // Lets the export finish and the clock move on until an alert is up.
    void waitForAlert() {
        for (int i = 0; i < 600 && AlertController::presentedAlerts().isEmpty(); ++i) {
            pumpEvents(10);
            app.devices().clock.advance(0.1);
        }
    }
    // The one alert on screen, answered with OK; returns its message.
    QString dismissAlert(const QString& title) {
        AlertController* alert = onlyAlert();
        if (!alert) return "(none)";
        EXPECT_EQ(alert->title(), title);
        const QString message = alert->message();
        alert->trigger("OK");
        pumpEvents();
        return message;
    }
    AlertController* onlyAlert() {
        const auto alerts = AlertController::presentedAlerts();
        EXPECT_EQ(alerts.size(), 1);
        return alerts.isEmpty() ? nullptr : alerts.last();
    }

    AppFixture app;
    LogCapture log;
    ViewController* root = nullptr;
    std::unique_ptr<NavigationController> navigation;
};

TEST_F(ExportScreen, ExportBuildsTheTextShowsCoversShortenedAndAlertsOnce) {
    for (int i = 0; i < 3; ++i) {
        MoviePtr movie = addMovie(app.context(), QString("Movie %1").arg(i), 2000 + i, "Ann");
        movie->setImage(Attribute::frontImage, makeJpeg(200, 300, Qt::red));
    }
    ASSERT_TRUE(app.context().save().ok);
    ExportViewController* screen = open();
    ASSERT_NE(screen, nullptr);
    EXPECT_FALSE(screen->SaveButton->isEnabled());
    EXPECT_FALSE(screen->EmailButton->isEnabled());
    EXPECT_EQ(screen->HelpTextView->toPlainText(),
              "Step 1: Create the Export File\nStep 2: Option 1: Click 'Save To Files' button\n"
              "             Option 2: Click the Email File button to email the file to yourself "
              "and then from your email save the file to your iCloud Drive. There are size "
              "limits to email attachments for most carriers.");
    screen->ExportButton->click();
    EXPECT_FALSE(screen->ExportButton->isEnabled());
    EXPECT_TRUE(screen->activityIndicator->isAnimating());
    waitForAlert();

    EXPECT_EQ(dismissAlert("Data Export"),
              "Process Complete - File Ready to Save to Files or Email");
    EXPECT_FALSE(screen->activityIndicator->isAnimating());
    EXPECT_FALSE(screen->ExportButton->isEnabled());
    EXPECT_TRUE(screen->SaveButton->isEnabled());
    EXPECT_TRUE(screen->EmailButton->isEnabled());
    EXPECT_EQ(screen->ProgressView->value(), 3);
    ASSERT_TRUE(screen->DataString.has_value());
    EXPECT_EQ(*screen->DataString, exportBytes(app.context()));
    const QString shown = screen->ExportTextView->toPlainText();
    EXPECT_EQ(shown.count("[front cover, "), 3);
    EXPECT_LT(shown.size(), 1000) << "no Base64 in the view";
    app.devices().clock.advance(5);
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
}

TEST_F(ExportScreen, ProgressMovesWhileTheExportRuns) {
    for (int i = 0; i < 700; ++i) Movies::insertInto(app.context())->setName(QString::number(i));
    ASSERT_TRUE(app.context().save().ok);
    ExportViewController* screen = open();
    QList<std::pair<int, bool>> seen;  // bar value, and whether the export had ended then
    QObject::connect(screen->ProgressView, &QProgressBar::valueChanged, [&](int value) {
        seen.append({value, screen->SaveButton->isEnabled()});
    });
    exportAndWait(screen);
    ASSERT_GE(seen.size(), 3);
    EXPECT_GT(seen[1].first, 0);
    EXPECT_LT(seen[1].first, 700);
    EXPECT_FALSE(seen[1].second) << "the bar moved before the export ended";
    EXPECT_EQ(seen.last().first, 700);
}

// Save and Email write the file privately (0600, never through a planted link) and hand on the
// complete text; anything else in its place is refused and told.
TEST_F(ExportScreen, SaveAndEmailHandOnAPrivateFileOrTellWhyNot) {
    QTemporaryDir temp, elsewhere;
    ScopedEnv folder("XDG_RUNTIME_DIR", temp.path());
    addMovie(app.context(), "Covered", 2000, "Ann")
        ->setImage(Attribute::frontImage, makeJpeg(120, 160, Qt::green));
    ASSERT_TRUE(app.context().save().ok);
    ExportViewController* screen = open();
    exportAndWait(screen);
    dismissAlert("Data Export");
    const QString path = ExportViewController::exportFilePath();
    EXPECT_TRUE(path.startsWith(temp.path() + "/"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    const QString victim = QDir(elsewhere.path()).filePath("victim");
    auto plantLink = [&] {
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("mine\n");
        QFile::remove(path);
        ASSERT_TRUE(QFile::link(victim, path));
    };
    auto expectPrivateFile = [&] {
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "mine\n");
        struct stat info;
        ASSERT_EQ(lstat(QFile::encodeName(path).constData(), &info), 0);
        EXPECT_TRUE(S_ISREG(info.st_mode));
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        QFile written(path);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_EQ(written.readAll(), *screen->DataString);
    };
    RecordingShareSheet& sheet = app.devices().share;
    RecordingMail& mail = app.devices().mail;
    {
        plantLink();
        screen->SaveButton->click();
        expectPrivateFile();
        ASSERT_EQ(sheet.requests.size(), 1);
        EXPECT_EQ(sheet.requests[0].files, QStringList{path});
        ScriptedHandoff handoff;
        EXPECT_EQ(DesktopShareSheet(mail, handoff).offeredActivities(sheet.requests[0]),
                  QList<ShareActivity>({ShareActivity::SaveToFiles, ShareActivity::OpenInApp}));
        EXPECT_TRUE(log.lines.contains(path));
    }
    {
        plantLink();
        screen->EmailButton->click();
        expectPrivateFile();
        ASSERT_EQ(mail.composed.size(), 1);
        const MailMessage& message = mail.composed[0];
        EXPECT_EQ(message.subject, "Quillon Update Text File");
        EXPECT_EQ(message.body, "Attachment: Quillon Text File");
        EXPECT_TRUE(message.recipients.isEmpty());
        ASSERT_EQ(message.attachments.size(), 1);
        EXPECT_EQ(message.attachments[0].data, *screen->DataString);
        EXPECT_EQ(message.attachments[0].mimeType, "csv");
        EXPECT_EQ(message.attachments[0].fileName, "Quillon.csv");
        EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
    }
    mail.canSend = false;
    screen->EmailButton->click();
    EXPECT_EQ(dismissAlert("Sending Email"), "Email not Setup or Unavailable");
    mail.canSend = true;
    mail.composed.clear();
    sheet.requests.clear();
    QFile::remove(path);
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    screen->SaveButton->click();
    EXPECT_EQ(dismissAlert("Data Export"),
              path + " is not a regular file (a device, a pipe or a folder); nothing was written");
    struct stat info;
    ASSERT_EQ(lstat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkdir(path));  // a folder where the file should be
    screen->EmailButton->click();
    EXPECT_FALSE(dismissAlert("Sending Email").isEmpty());
    screen->SaveButton->click();
    EXPECT_FALSE(dismissAlert("Data Export").isEmpty());
    EXPECT_TRUE(mail.composed.isEmpty());
    EXPECT_TRUE(sheet.requests.isEmpty());
}

TEST_F(ExportScreen, TheCompletionAlertNamesEveryCoverLeftOut) {
    MoviePtr odd = addMovie(app.context(), "Odd", 2000, "Bo");
    odd->setImage(Attribute::backImage, QByteArray("not a picture"));
    addMovie(app.context(), "Fine", 2001, "Cy")
        ->setImage(Attribute::frontImage, makeJpeg(30, 40, Qt::red));
    ASSERT_TRUE(app.context().save().ok);
    ExportViewController* screen = open();
    exportAndWait(screen);
    const QStringList lines = dismissAlert("Data Export").split('\n');
    ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
    EXPECT_EQ(lines[0], "Process Complete - File Ready to Save to Files or Email");
    EXPECT_TRUE(lines[1].startsWith("Odd (2000): back cover left out: it could not be decoded ("));
    EXPECT_TRUE(screen->SaveButton->isEnabled()) << "the file is still ready";
}

}  // namespace
}  // namespace quillon::test
