#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <ctime>

#include "platform/ReviewService.h"
#include "platform/UrlOpener.h"
#include "platform/UserDefaults.h"
#include "support/FakePrograms.h"
#include "support/TestSupport.h"

namespace quillon::test {
namespace {

// Local time is German time for these tests: summer time starts on 29 March 2026 and ends on
// 25 October 2026.
class ReviewServiceTest : public ::testing::Test {
protected:
    ReviewServiceTest() { ::tzset(); }
    ~ReviewServiceTest() override {
        zone.reset();
        ::tzset();
    }
    static QDateTime local(int month, int day, int hour, int minute = 0) {
        return QDateTime(QDate(2026, month, day), QTime(hour, minute), Qt::LocalTime);
    }

    std::unique_ptr<ScopedEnv> zone = std::make_unique<ScopedEnv>("TZ", "Europe/Berlin");
    AppFixture fixture;
    ManualClock& clock = fixture.devices().clock;
    RecordingStoreReview& store = fixture.devices().storeReview;
    ReviewService service{clock, store};
};

TEST_F(ReviewServiceTest, AsksWhenMoreThanSevenCalendarDaysHavePassedAcrossSummerTime) {
    EXPECT_FALSE(service.lastRequest());
    EXPECT_TRUE(service.canRequestReview());

    struct Case {
        QDateTime now, last;
        bool can;
        const char* what;
    };
    const Case cases[] = {
        // Spring: 168 hours before the 1st of April at noon is 11:00 on the 25th of March.
        {local(4, 1, 12), local(3, 25, 13), false, "6 days 23 hours, clocks put forward"},
        {local(4, 1, 12), local(3, 25, 11, 59), true, "7 days 1 minute, clocks put forward"},
        {local(4, 1, 12), local(3, 25, 12), false, "exactly 7 days, clocks put forward"},
        // Autumn: 168 hours before the 28th of October at noon is 13:00 on the 21st.
        {local(10, 28, 12), local(10, 21, 13), false, "6 days 23 hours, clocks put back"},
        {local(10, 28, 12), local(10, 21, 12, 30), false, "6 days 23 h 30 min, clocks put back"},
        {local(10, 28, 12), local(10, 21, 11, 59), true, "7 days 1 minute, clocks put back"},
        {local(7, 8, 12), local(7, 1, 11, 59), true, "7 days 1 minute in summer"},
        {local(7, 8, 12), local(7, 1, 13), false, "6 days 23 hours in summer"},
    };
    for (const Case& c : cases) {
        clock.setNow(c.now);
        service.setLastRequest(c.last);
        ASSERT_EQ(service.lastRequest(), c.last) << c.what;
        EXPECT_EQ(service.canRequestReview(), c.can) << c.what;
    }
}

TEST_F(ReviewServiceTest, TakesAnythingButADateUnderTheKeyAsNeverAsked) {
    standardUserDefaults()->setValue(ReviewService::kLastRequestKey, "2026-03-01T09:00:00");
    EXPECT_FALSE(service.lastRequest());
    EXPECT_TRUE(service.canRequestReview());
}

TEST_F(ReviewServiceTest, AsksTheStoreAtMostOnceInSevenDays) {
    QWidget window;
    service.requestReview(&window);
    ASSERT_EQ(store.windows, QList<QWidget*>{&window});
    EXPECT_EQ(service.lastRequest(), clock.now());

    const QDateTime first = clock.now();
    clock.advance(6 * 24 * 3600);
    service.requestReview(&window);
    EXPECT_EQ(store.windows.size(), 1);
    EXPECT_EQ(service.lastRequest(), first);

    clock.advance(2 * 24 * 3600);
    service.requestReview(&window);
    EXPECT_EQ(store.windows.size(), 2);
    EXPECT_EQ(service.lastRequest(), clock.now());
    // Remembered in the user-defaults file, for the next run of the program.
    EXPECT_EQ(ReviewService(clock, store).lastRequest(), clock.now());
}

TEST_F(ReviewServiceTest, RecordsTheRequestEvenWhenTheStoreShowsNothing) {
    DesktopStoreReview withoutPage(QUrl(), fixture.devices().urls);
    ReviewService desktop(clock, withoutPage);
    QWidget window;
    window.show();
    desktop.requestReview(&window);
    EXPECT_EQ(desktop.lastRequest(), clock.now());
    EXPECT_EQ(window.findChild<QWidget*>("reviewPrompt"), nullptr);
}

class StorePrompt : public ::testing::Test {
protected:
    StorePrompt() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(entry);
        window.resize(360, 500);
        window.show();
        QApplication::setActiveWindow(&window);
        active = QTest::qWaitForWindowActive(&window);
        entry->setFocus();
        pumpEvents();
    }
    QWidget* prompt() { return window.findChild<QWidget*>("reviewPrompt"); }

    const QUrl page{"https://store.example.org/app/quillon"};
    RecordingUrlOpener urls;
    DesktopStoreReview review{page, urls};
    QWidget window;
    QLineEdit* entry = new QLineEdit;
    bool active = false;
};

TEST_F(StorePrompt, ShowsBesideTheWindowWithoutTakingTheKeyboardAndOpensTheStorePage) {
    if (!active) GTEST_SKIP() << "no active window on this platform";
    ASSERT_EQ(QApplication::focusWidget(), entry);
    review.requestReview(entry);
    pumpEvents();
    QWidget* shown = prompt();
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_GT(shown->x(), window.frameGeometry().right());
    EXPECT_EQ(QApplication::focusWidget(), entry);
    QTest::keyClicks(entry, "Alien");
    EXPECT_EQ(entry->text(), "Alien");

    // A second request while the first is up shows no second prompt.
    review.requestReview(&window);
    EXPECT_EQ(window.findChildren<QWidget*>("reviewPrompt").size(), 1);

    auto* rate = shown->findChild<QPushButton*>("reviewPromptRate");
    ASSERT_NE(rate, nullptr);
    QTest::mouseClick(rate, Qt::LeftButton);
    EXPECT_EQ(urls.opened, QList<QUrl>{QUrl(page.toString() + "?action=write-review")});
    pumpEvents();
    EXPECT_EQ(prompt(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), entry);
}

// The answer of xdg-open decides: the prompt closes when a program took the review page, and
// says so and stays when none did (exit status 3).
TEST_F(StorePrompt, ClosesOnceXdgOpenTookTheReviewPageElseSaysSoAndStays) {
    DesktopUrlOpener desktop;
    DesktopStoreReview review{QUrl(page.toString() + "?mt=8"), desktop};
    for (const char* script : {"exit 3", "exit 0"}) {
        SCOPED_TRACE(script);
        FakePrograms programs;
        programs.install("xdg-open", script);
        review.requestReview(&window);
        QPointer<QWidget> shown = prompt();
        ASSERT_TRUE(shown);
        auto* rate = shown->findChild<QPushButton*>("reviewPromptRate");
        QTest::mouseClick(rate, Qt::LeftButton);
        EXPECT_FALSE(rate->isEnabled()) << "one browser for one click";
        EXPECT_EQ(programs.arguments("xdg-open"),
                  QStringList{"https://store.example.org/app/quillon?action=write-review"});
        for (int i = 0; i < 1000 && shown && !rate->isEnabled(); ++i) pumpEvents(10);
        if (QByteArray(script) == "exit 0") {
            EXPECT_FALSE(shown);
            continue;
        }
        ASSERT_TRUE(shown && shown->isVisible());
        EXPECT_TRUE(rate->isEnabled());
        EXPECT_TRUE(shown->findChild<QLabel*>("reviewPromptMessage")
                        ->text()
                        .startsWith("No program opened https://store.example.org/app/"
                                    "quillon?action=write-review."));
        QTest::mouseClick(shown->findChild<QPushButton*>("reviewPromptClose"), Qt::LeftButton);
        pumpEvents();
        EXPECT_FALSE(shown);
    }
}

}  // namespace
}  // namespace quillon::test
