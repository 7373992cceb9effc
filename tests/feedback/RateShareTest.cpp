#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QTest>

#include "feedback/RateShareTableViewController.h"
#include "platform/MailService.h"
#include "platform/UrlOpener.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"
#include "toolkit/ShareSheet.h"
#include "toolkit/TableView.h"

namespace quillon::test {
namespace {

const QString kStore = "https://apps.example.com/app/quillon/id123456789";
const QString kWeb = "https://quillon.example.org/about";
const QString kMail = "feedback@example.org";

class RateShare : public ::testing::Test {
protected:
    void TearDown() override {
        for (AlertController* alert : AlertController::presentedAlerts()) alert->close();
        navigation.reset();
        pumpEvents();
    }

    RateShareTableViewController* open(RateShareAddresses addresses = {kStore, kWeb, kMail}) {
        navigation.reset();
        auto* screen = new RateShareTableViewController(addresses, shareSheet, mail, opener);
        navigation = std::make_unique<NavigationController>(new ViewController);
        navigation->resize(420, 700);
        navigation->show();
        navigation->pushViewController(screen);
        pumpEvents();
        return screen;
    }
    static QStringList rowTexts(RateShareTableViewController* screen, int row) {
        const QAbstractItemModel* model = screen->tableView()->model();
        return model->data(model->index(row, 0), LabelTextsRole).toStringList();
    }
    // The one alert shown, as "title / message"; closes it with its only action.
    static QString takeAlert() {
        const auto alerts = AlertController::presentedAlerts();
        if (alerts.size() != 1) return QStringLiteral("%1 alerts").arg(alerts.size());
        AlertController* alert = alerts.first();
        const QString shown = alert->title() + " / " + alert->message();
        EXPECT_EQ(alert->actionTitles(), QStringList{"OK"});
        alert->trigger("OK");
        pumpEvents();
        return shown;
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
        EXPECT_EQ(screen->title(), "Rate and Share");
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

TEST_F(RateShare, ShareRowsHandTheirItemsInOrderToTheShareSheet) {
    RateShareTableViewController* screen = open();
    screen->didSelectRow(1);
    screen->didSelectRow(2);
    ASSERT_EQ(shareSheet.requests.size(), 2);
    const ShareRequest& store = shareSheet.requests[0];
    EXPECT_EQ(store.urls, QList<QUrl>{QUrl(kStore)});
    EXPECT_TRUE(store.texts.isEmpty());
    EXPECT_TRUE(store.files.isEmpty());
    const ShareRequest& web = shareSheet.requests[1];
    EXPECT_EQ(web.texts,
              (QStringList{"Click the following link to visit the Larkspire App website", kWeb}));
    EXPECT_TRUE(web.urls.isEmpty());
    EXPECT_EQ(shareSheet.anchors, (QList<QWidget*>{screen, screen}));
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_TRUE(mail.composed.isEmpty());
}

TEST_F(RateShare, VisitOpensTheWebPageAndFeedbackWritesToTheMaker) {
    RateShareTableViewController* screen = open();
    screen->didSelectRow(3);
    EXPECT_EQ(opener.opened, QList<QUrl>{QUrl(kWeb)});
    screen->didSelectRow(4);
    ASSERT_EQ(mail.composed.size(), 1);
    const MailMessage& message = mail.composed[0];
    EXPECT_EQ(message.recipients, QStringList{kMail});
    EXPECT_EQ(message.subject, "");
    EXPECT_EQ(message.body, "Enter your comments about Quillon app below: ");
    EXPECT_FALSE(message.bodyIsHtml);
    EXPECT_TRUE(message.attachments.isEmpty());
    EXPECT_TRUE(shareSheet.requests.isEmpty());
    EXPECT_TRUE(AlertController::presentedAlerts().isEmpty());
}

TEST_F(RateShare, TellsInAnAlertWhatCouldNotBeDone) {
    struct Case {
        const char* what;
        RateShareAddresses addresses;
        bool opens, canSend, composes;
        int row;
        QString alert;
    } cases[] = {
        {"no mail program",
         {kStore, kWeb, kMail},
         true,
         false,
         true,
         4,
         "Can't Send Email / Your Device is not able to send Email."},
        {"mail program fails",
         {kStore, kWeb, kMail},
         true,
         true,
         false,
         4,
         "Can't Send Email / The e-mail program could not be started."},
        {"no browser for the store",
         {kStore, kWeb, kMail},
         false,
         true,
         true,
         0,
         "Can't Open the Address / No program opened " + kStore +
             "?action=write-review. Is a web browser set up?"},
        {"no browser for the web page",
         {kStore, kWeb, kMail},
         false,
         true,
         true,
         3,
         "Can't Open the Address / No program opened " + kWeb + ". Is a web browser set up?"},
        {"web page not an address",
         {kStore, "quillon web page", kMail},
         true,
         true,
         true,
         3,
         "Can't Open the Address / quillon web page is not a web address."},
        {"store page not an address",
         {"store:", kWeb, kMail},
         true,
         true,
         true,
         0,
         "Can't Open the Address / store: is not a web address."},
        {"sharing a store page that is no address",
         {"/app/id1", kWeb, kMail},
         true,
         true,
         true,
         1,
         "Can't Share the Address / /app/id1 is not a web address."},
    };
    for (const Case& c : cases) {
        opener.opens = c.opens;
        mail.canSend = c.canSend;
        mail.composes = c.composes;
        open(c.addresses)->didSelectRow(c.row);
        EXPECT_EQ(takeAlert(), c.alert) << c.what;
        EXPECT_TRUE(shareSheet.requests.isEmpty()) << c.what;
    }
    EXPECT_EQ(mail.composed.size(), 1);  // only the one whose program then failed
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
