#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QTest>

#include "feedback/RateShareTableViewController.h"
#include "platform/MailService.h"
#include "platform/ShareSheet.h"
#include "platform/UrlOpener.h"
#include "support/FakePrograms.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"
#include "toolkit/TableView.h"

namespace quillon::test {
namespace {

const QString kStore = "https://apps.example.com/app/quillon/id123456789";
const QString kWeb = "https://quillon.example.org/about";
const QString kMail = "feedback@example.org";

class RateShare : public ::testing::Test {
protected:
    void TearDown() override {
        closeAlerts();
        navigation.reset();
        pumpEvents();
    }

    RateShareTableViewController* open(RateShareAddresses addresses = {kStore, kWeb, kMail}) {
        navigation.reset();
        auto* screen = new RateShareTableViewController(addresses, shareSheet, mail, opener);
        navigation = showNavigation(new ViewController, {420, 700});
        navigation->pushViewController(screen);
        pumpEvents();
        return screen;
    }
    static QStringList rowTexts(RateShareTableViewController* screen, int row) {
        const QAbstractItemModel* model = screen->tableView()->model();
        return model->data(model->index(row, 0), LabelTextsRole).toStringList();
    }
    int effects() const {
        return opener.opened.size() + shareSheet.requests.size() + mail.composed.size() +
               AlertController::presentedAlerts().size();
    }

    FakeDevices devices;
    RecordingUrlOpener& opener = devices.urls;
    RecordingShareSheet& shareSheet = devices.share;
    RecordingMail& mail = devices.mail;
    std::unique_ptr<NavigationController> navigation;
};

TEST_F(RateShare, ShowsFiveRowsAndMarksThoseWhoseAddressTheBuildLacks) {
    const QStringList titles = {"Rate Quillon", "Share Quillon", "Share the Web Page",
                                "Visit the Web Page", "Send Feedback"};
    struct Case {
        RateShareAddresses addresses;
        QList<int> unavailable;
    } cases[] = {
        {{kStore, kWeb, kMail}, {}}, {{"", kWeb, kMail}, {0, 1}},     {{kStore, "", kMail}, {2, 3}},
        {{kStore, kWeb, ""}, {4}},   {{"", "", ""}, {0, 1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        RateShareTableViewController* screen = open(c.addresses);
        ASSERT_EQ(screen->tableView()->model()->rowCount(), 5);
        for (int row = 0; row < 5; ++row) {
            QStringList expected{titles[row]};
            if (c.unavailable.contains(row)) expected << "Not available in this build";
            EXPECT_EQ(rowTexts(screen, row), expected) << "row " << row;
        }
    }
}

TEST_F(RateShare, RowsWithoutTheirAddressDoNothing) {
    RateShareTableViewController* screen = open({"", "", ""});
    mail.canSend = false;  // not even the no-mail alert
    for (int row : {0, 1, 2, 3, 4, 5, -1}) screen->didSelectRow(row);
    pumpEvents();
    EXPECT_EQ(effects(), 0);
}

TEST_F(RateShare, RateOpensTheStorePageWithOnlyTheWriteReviewQuery) {
    for (const QString& query : {QString(), QString("?mt=8&ls=1"), QString("?action=open")}) {
        opener.opened.clear();
        open({kStore + query, kWeb, kMail})->didSelectRow(0);
        ASSERT_EQ(opener.opened.size(), 1) << query.toStdString();
        EXPECT_EQ(opener.opened[0].toString(), kStore + "?action=write-review")
            << query.toStdString();
    }
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
}

TEST_F(RateShare, ShareVisitAndFeedbackHandTheirItemsToTheirServices) {
    RateShareTableViewController* screen = open();
    for (int row : {1, 2, 3, 4}) screen->didSelectRow(row);
    ASSERT_EQ(shareSheet.requests.size(), 2);
    EXPECT_EQ(shareSheet.requests[0].urls, QList<QUrl>{QUrl(kStore)});
    EXPECT_TRUE(shareSheet.requests[0].texts.isEmpty());
    EXPECT_EQ(shareSheet.requests[1].texts,
              (QStringList{"Click the following link to visit the Larkspire App website", kWeb}));
    EXPECT_TRUE(shareSheet.requests[1].urls.isEmpty());
    EXPECT_EQ(shareSheet.anchors, (QList<QWidget*>{screen, screen}));
    EXPECT_EQ(opener.opened, QList<QUrl>{QUrl(kWeb)});
    ASSERT_EQ(mail.composed.size(), 1);
    EXPECT_EQ(mail.composed[0].recipients, QStringList{kMail});
    EXPECT_EQ(mail.composed[0].body, "Enter your comments about Quillon app below: ");
    EXPECT_FALSE(mail.composed[0].bodyIsHtml);
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
}

TEST_F(RateShare, TellsInAnAlertWhatCouldNotBeDone) {
    auto expectAlert = [&](int row, RateShareAddresses addresses, const QString& alert) {
        open(addresses)->didSelectRow(row);
        EXPECT_EQ(answerAlert(), alert) << row;
        EXPECT_TRUE(shareSheet.requests.isEmpty()) << row;
    };
    mail.canSend = false;
    expectAlert(4, {kStore, kWeb, kMail},
                "Can't Send Email / Your Device is not able to send Email.");
    mail.canSend = true;
    mail.composes = false;
    expectAlert(4, {kStore, kWeb, kMail},
                "Can't Send Email / The e-mail program could not be started.");
    opener.opens = false;
    expectAlert(0, {kStore, kWeb, kMail},
                "Can't Open the Address / No program opened " + kStore +
                    "?action=write-review. Is a web browser set up?");
    opener.opens = true;
    expectAlert(3, {kStore, "quillon web page", kMail},
                "Can't Open the Address / quillon web page is not a web address.");
    expectAlert(1, {"/app/id1", kWeb, kMail},
                "Can't Share the Address / /app/id1 is not a web address.");
}

// A row's alert comes when xdg-open or xdg-email ends with an exit status other than 0 (3: no
// browser or mail program set up), and none when it ends with 0.
TEST_F(RateShare, TellsWhenXdgOpenOrXdgEmailFoundNoProgram) {
    const QString noBrowser =
        "Can't Open the Address / No program opened %1. Is a web browser "
        "set up?";
    const struct {
        int row;
        QString alert;
    } cases[] = {
        {0, noBrowser.arg(kStore + "?action=write-review")},
        {3, noBrowser.arg(kWeb)},
        {4, "Can't Send Email / The e-mail program could not be started."},
    };
    AnsweringDesktop desktop;
    for (const char* script : {"exit 3", "exit 0"}) {
        FakePrograms programs;
        for (const char* program : {"xdg-open", "xdg-email"}) programs.install(program, script);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(c.row) + " " + script);
            navigation.reset();
            auto* screen = new RateShareTableViewController({kStore, kWeb, kMail}, shareSheet,
                                                            desktop, desktop);
            navigation = showNavigation(screen);
            desktop.answers = 0;
            screen->didSelectRow(c.row);
            EXPECT_TRUE(AlertController::presentedAlerts().isEmpty()) << "before it ended";
            for (int i = 0; i < 1000 && desktop.answers == 0; ++i) pumpEvents(10);
            EXPECT_EQ(answerAlert(), QByteArray(script) == "exit 3" ? c.alert : "");
        }
    }
}

TEST_F(RateShare, EnterOnARowRunsItsActionAndLeavesNoRowSelected) {
    RateShareTableViewController* screen = open();
    TableView* table = screen->tableView();
    table->setFocus();
    for (int i = 0; i < 3; ++i) QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Return);
    EXPECT_EQ(opener.opened, QList<QUrl>{QUrl(kWeb)});
    EXPECT_TRUE(table->selectionModel()->selectedIndexes().isEmpty());
}

}  // namespace
}  // namespace quillon::test
