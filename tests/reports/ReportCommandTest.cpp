#include <gtest/gtest.h>

#include <QFile>

#include "catalogue/ReportReadBack.h"
#include "commands/CommandParser.h"
#include "reports/ReportCommand.h"
#include "support/TestSupport.h"

namespace quillon {
namespace {

CommandInput reportInput(const QStringList& words) {
    return parseCommandLine(QStringList{"quillon", "report"} + words).input;
}

TEST(ReportCommandTest, WritesEitherLayoutOrNothing) {
    test::AppFixture fixture;
    const std::vector<MoviePtr> movies = test::addMannMovies(fixture, 2);
    QStringList asked;
    auto rows = [&](ManagedObjectContext&, GroupKind kind, const QString& value, bool descending,
                    const QString& search) {
        asked << QString("%1 %2 %3 %4").arg(commandNameOf(kind), value).arg(descending).arg(search);
        return value == "Mann" ? movies : std::vector<MoviePtr>{};
    };
    const QString path = fixture.dataDir() + "/out.pdf";
    EXPECT_EQ(runReportCommand(fixture.context(),
                               reportInput({"actor", "Mann", "--descending", "--search", "ov",
                                            "--print-layout", path}),
                               rows),
              0);
    EXPECT_EQ(asked, QStringList{"actor Mann 1 ov"});
    EXPECT_EQ(
        test::readBack(path).lines.mid(0, 3),
        (QStringList{"Movies Filtered by Actor: Mann", "Actor 1: Ann", "Movie Name: Movie 0"}));
    EXPECT_EQ(runReportCommand(fixture.context(), reportInput({"director", "Mann", path}), rows),
              0);
    EXPECT_EQ(test::readBack(path).lines, test::mannReportLines(movies));

    const QString none = fixture.dataDir() + "/none.pdf";
    EXPECT_EQ(runReportCommand(fixture.context(), reportInput({"director", "Nobody", none}), rows),
              1);
    EXPECT_FALSE(QFile::exists(none));
}

}  // namespace
}  // namespace quillon
