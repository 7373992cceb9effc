#include <gtest/gtest.h>

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QSignalSpy>
#include <QTableWidget>

#include "Journey.h"
#include "groups/BreakdownTableViewController.h"
#include "movies/EditMoviesViewController.h"
#include "statistics/BarChart.h"
#include "statistics/StatisticsViewController.h"

using namespace quillon;

namespace {

constexpr int kGenres = 1;
constexpr int kDirectors = 4;

// Clicks the bar of `value` in a chart.
bool clickBar(BarChartView* chart, const QString& value) {
    const auto& values = chart->section().values;
    for (int row = 0; row < int(values.size()); ++row) {
        if (values[size_t(row)].value != value) continue;
        const QRectF r =
            BarChartLayout(chart->section(), chart->font(), chart->width()).rowRect(row);
        QTest::mouseClick(chart, Qt::LeftButton, {}, r.center().toPoint());
        return true;
    }
    return false;
}

QStringList tableRows(QTableWidget* table) {
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row)
        rows << table->item(row, 0)->text() + '=' + table->item(row, 1)->text();
    return rows;
}

// A user opens the statistics from the main menu, clicks a director's bar through to the
// director's movies, changes one of them and finds the figures changed when coming back; reads
// the figures as tables, and saves the page as a PDF.
TEST(StatisticsJourney, BarToBreakdownAndBackTablesAndPdf) {
    test::AppHarness app;
    for (auto [name, genre, director, runTime] :
         {std::tuple{"Alien", "Horror", "Ridley Scott", 117},
          {"Blade Runner", "Science Fiction", "Ridley Scott", 117},
          {"Witness", "", "Peter Weir", 0}}) {
        MoviePtr movie = Movies::insertInto(app.context());
        movie->setName(name);
        movie->setYear(1982);
        movie->setRunTime(qint16(runTime));
        movie->setText(Attribute::genre, genre);
        movie->setText(Attribute::director, director);
    }
    ASSERT_TRUE(app.context().save().ok);
    auto window = test::showWindow(app);
    window->resize(430, 860);
    auto* stats = test::openFromMenu<StatisticsViewController>(
        *window, &MainMenuViewController::StatisticsButton);
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(stats->statistics().movies, 3);
    EXPECT_EQ(stats->table(kGenres)->rowCount(), 3) << "two genres and (none)";
    EXPECT_EQ(tableRows(stats->table(kDirectors)), (QStringList{"Ridley Scott=2", "Peter Weir=1"}));

    ASSERT_TRUE(clickBar(stats->chart(kGenres), "(none)"));
    test::pumpEvents();
    EXPECT_EQ(window->topViewController(), stats) << "the movies without a genre open nothing";
    ASSERT_TRUE(clickBar(stats->chart(kDirectors), "Ridley Scott"));
    test::pumpEvents();
    auto* breakdown = qobject_cast<BreakdownTableViewController*>(window->topViewController());
    ASSERT_NE(breakdown, nullptr);
    ASSERT_EQ(breakdown->query().rows().size(), 2u);

    breakdown->tableView()->setFocus();
    breakdown->tableView()->setCurrentIndex(breakdown->tableView()->model()->index(0, 0));
    QTest::keyClick(breakdown->tableView(), Qt::Key_Return);
    auto* edit = qobject_cast<EditMoviesViewController*>(window->topViewController());
    ASSERT_NE(edit, nullptr);
    QLineEdit* director = edit->entry(FormField::Director);
    director->setFocus();
    director->selectAll();
    QTest::keyClicks(director, "Peter Weir");
    QSignalSpy saved(edit, &MovieFormViewController::saveFinished);
    QTest::keyClick(director, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(saved.size(), 1);
    ASSERT_EQ(window->topViewController(), breakdown);
    QTest::keyClick(breakdown, Qt::Key_Escape);
    test::pumpEvents();
    ASSERT_EQ(window->topViewController(), stats);
    QTest::mouseClick(stats->tablesButton(), Qt::LeftButton);
    EXPECT_TRUE(stats->table(kDirectors)->isVisible());
    EXPECT_FALSE(stats->chart(kDirectors)->isVisible());
    EXPECT_EQ(tableRows(stats->table(kDirectors)), (QStringList{"Peter Weir=2", "Ridley Scott=1"}))
        << "the figures follow the edit";

    QTest::mouseClick(stats->pdfButton(), Qt::LeftButton);
    ASSERT_EQ(app.devices().share.requests.size(), 1);
    QPdfDocument pdf;
    ASSERT_EQ(pdf.load(app.devices().share.requests[0].files.value(0)), QPdfDocument::Error::None);
    QString text;
    for (int page = 0; page < pdf.pageCount(); ++page) text += pdf.getAllText(page).text();
    for (const char* shown : {"Statistics", "Movies: 3", "Total run time: 3 hours 54 minutes",
                              "Movies per decade", "1980s", "Top directors", "Peter Weir",
                              "Run time in minutes", "Top producers", "No movies"})
        EXPECT_TRUE(text.contains(shown)) << shown << " in\n" << text.toStdString();
}

}  // namespace
