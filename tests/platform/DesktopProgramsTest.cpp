#include <gtest/gtest.h>

#include <optional>

#include "platform/MailService.h"
#include "platform/UrlOpener.h"
#include "support/FakePrograms.h"

namespace quillon::test {
namespace {

using namespace std::chrono_literals;

// xdg-open and xdg-email run beside the window: the call returns at once and the answer comes
// with their exit status (3: nothing set up to take it). One still running after the wait has
// become the browser or the mail program, and is left running.
TEST(DesktopPrograms, AnswerWithTheExitStatusOfXdgOpenAndXdgEmailWithoutBlocking) {
    const QUrl page("https://quillon.example.org/about?q=a b");
    const MailMessage message{{"me@example.org"}, "Subject", "Body", false, {}};
    const struct {
        QString program;
        std::function<void(std::chrono::milliseconds, QObject*, ProgramDone)> run;
        QStringList arguments;
    } kinds[] = {
        {"xdg-open",
         [&](auto patience, QObject* context, ProgramDone done) {
             DesktopUrlOpener(patience).openUrl(page, context, std::move(done));
         },
         {"https://quillon.example.org/about?q=a%20b"}},
        {"xdg-email",
         [&](auto patience, QObject* context, ProgramDone done) {
             DesktopMailService(patience).compose(message, context, std::move(done));
         },
         {"--utf8", "--subject", "Subject", "--body", "Body", "me@example.org"}},
    };
    const std::optional<QByteArray> runsOn;  // the script that never ends by itself
    const struct {
        std::optional<QByteArray> script;
        QString reason;  // told after the program's name; empty for success
    } cases[] = {
        {"exit 0", {}},
        {"exit 3", "found no program to hand it to (exit status 3)"},
        {"exit 4", "ended with exit status 4"},
        {"kill -KILL $$", "ended abnormally"},
        {runsOn, {}},
    };
    for (const auto& kind : kinds) {
        for (const auto& c : cases) {
            SCOPED_TRACE((kind.program + ": " + c.script.value_or("runs on")).toStdString());
            FakePrograms programs;
            programs.install(kind.program, c.script.value_or(programs.runsOn()));
            std::optional<ProgramResult> answer;
            kind.run(c.script ? 60s : 300ms, nullptr, [&](auto& result) { answer = result; });
            EXPECT_FALSE(answer) << "answered before the program ended";
            EXPECT_EQ(programs.arguments(kind.program), kind.arguments);
            for (int i = 0; i < 1000 && !answer; ++i) pumpEvents(10);
            ASSERT_TRUE(answer);
            EXPECT_EQ(answer->ok, c.reason.isEmpty());
            EXPECT_EQ(answer->reason, c.reason.isEmpty() ? "" : kind.program + " " + c.reason);
        }
    }

    // Not installed; and an answer for a screen that has closed meanwhile is dropped.
    FakePrograms none;
    std::optional<ProgramResult> answer;
    DesktopUrlOpener().openUrl(page, nullptr, [&](auto& result) { answer = result; });
    EXPECT_EQ(answer.value_or(ProgramResult::success()).reason, "xdg-open is not installed");
    none.install("xdg-email", "exit 3");
    answer.reset();
    auto screen = std::make_unique<QObject>();
    DesktopMailService().compose(message, screen.get(), [&](auto& result) { answer = result; });
    screen.reset();
    EXPECT_EQ(none.arguments("xdg-email").size(), 6);
    pumpEvents(200);
    EXPECT_FALSE(answer);
}

}  // namespace
}  // namespace quillon::test
