#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "support/TestSupport.h"
#include "toolkit/Appearance.h"
#include "toolkit/KeySelector.h"
#include "toolkit/MenuColumn.h"
#include "toolkit/SearchBar.h"
#include "toolkit/TableView.h"
#include "toolkit/ViewController.h"

using namespace quillon;

namespace {

QPalette makePalette(QColor window, QColor text, QColor base) {
    QPalette p;
    QColor placeholder = text;  // what Qt derives when a theme gives none
    placeholder.setAlpha(128);
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        for (auto role : {QPalette::Window, QPalette::Button}) p.setColor(group, role, window);
        for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            p.setColor(group, role, text);
        p.setColor(group, QPalette::Base, base);
        p.setColor(group, QPalette::PlaceholderText, placeholder);
    }
    return p;
}

// How far what a widget shows inside `area` (its own coordinates), painted as in its window,
// stands out at most from the background at `backgroundAt`.
double shownContrast(QWidget* widget, QRect area, QPoint backgroundAt) {
    QWidget* window = widget->window();
    const QImage shot = window->grab().toImage();
    const QPoint offset = widget->mapTo(window, QPoint(0, 0));
    const QColor background = shot.pixelColor(backgroundAt + offset);
    double most = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            most = std::max(most, appearance::contrastRatio(shot.pixelColor(QPoint(x, y) + offset),
                                                            background));
    return most;
}

TEST(ContrastTest, FollowsTheWcagFormula) {
    EXPECT_NEAR(appearance::contrastRatio(Qt::black, Qt::white), 21.0, 0.01);
    // The classic just-too-light grey, and half-transparent black: a mid grey.
    EXPECT_NEAR(appearance::contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    EXPECT_NEAR(appearance::contrastRatio(QColor(0, 0, 0, 128), Qt::white), 4.00, 0.01);
}

// The widgets whose text colours the program chooses, as the screens use them.
struct ChosenColours {
    QWidget window;
    SearchBar* search = new SearchBar;
    QLineEdit* entry = new QLineEdit;
    KeySelector* selector = new KeySelector({"Movie", "Genre", "Year"});
    QTextEdit* textView = new QTextEdit;

    ChosenColours() {
        window.setAutoFillBackground(true);
        auto* column = new QVBoxLayout(&window);
        search->setPlaceholderText("Search by Movie Name");
        entry->setPlaceholderText("Genre");
        appearance::applyTextEntryLook(entry);
        selector->setTintColor(QColor::fromRgbF(0, 0.15, 0.65));
        appearance::applyDarkTextViewLook(textView);
        textView->setPlainText("Quillon.csv");
        for (QWidget* w : std::initializer_list<QWidget*>{search, entry, selector, textView})
            column->addWidget(w);
        // Large strokes, so that the ink is the text's own colour.
        window.setFont(QFont(window.font().family(), 20, QFont::Bold));
        window.resize(500, 500);
        window.show();
        test::pumpEvents();
    }
};

// Every text whose colour the program chooses is readable on what is actually behind it.
TEST(ContrastTest, PlaceholdersSelectorItemsAndBlackTextsAreReadableInBothPalettes) {
    const QPalette light = makePalette(QColor(0xef, 0xef, 0xef), Qt::black, Qt::white);
    const QPalette dark =
        makePalette(QColor(0x35, 0x35, 0x35), Qt::white, QColor(0x2a, 0x2a, 0x2a));
    const auto leftHalf = [](QWidget* w) { return QRect(4, 4, w->width() / 2, w->height() - 8); };
    const auto nearRightEdge = [](QWidget* w) { return QPoint(w->width() - 6, w->height() / 2); };
    const QPalette saved = QApplication::palette();
    for (const auto& [name, palette] : {std::pair{"light", light}, std::pair{"dark", dark}}) {
        QApplication::setPalette(palette);
        ChosenColours s;
        QWidget* key = s.selector->findChildren<QToolButton*>().at(1);
        QWidget* view = s.textView->viewport();
        // Each probe: the widget, the part holding its text, a point of bare background.
        const struct {
            const char* what;
            QWidget* widget;
            QRect textArea;
            QPoint backgroundAt;
        } probes[] = {
            {"search placeholder", s.search, leftHalf(s.search), nearRightEdge(s.search)},
            {"entry placeholder", s.entry, leftHalf(s.entry), nearRightEdge(s.entry)},
            {"unselected key", key, key->rect().adjusted(3, 3, -3, -3), QPoint(3, 3)},
            {"black text view", view, QRect(0, 0, view->width(), 40),
             view->rect().bottomRight() - QPoint(4, 4)},
        };
        for (const auto& probe : probes) {
            EXPECT_GE(shownContrast(probe.widget, probe.textArea, probe.backgroundAt),
                      appearance::kReadableContrast)
                << name << " palette, " << probe.what;
        }
    }
    QApplication::setPalette(saved);
}

TEST(ReadableWidthTest, RowsAndMenuEntriesStayReadableAndCentredInAWideWindow) {
    QStandardItemModel model;
    for (int i = 0; i < 3; ++i) model.appendRow(new QStandardItem(QString("row %1").arg(i)));
    TableView table;
    table.setModel(&model);
    ViewController menu;
    QVBoxLayout* column = createMenuColumn(&menu);
    QPushButton* entry = addMenuEntry(column, &menu, "List Movies", "none");
    column->addStretch(1);

    // A phone-wide window is filled as before; a wide one gets a centred readable column.
    for (const int width : {430, 1000, 1400}) {
        const bool wide = width > 700;
        for (QWidget* w : std::initializer_list<QWidget*>{&table, &menu}) {
            w->resize(width, 400);
            w->show();
        }
        test::pumpEvents();
        const QRect row = table.visualRect(model.index(0, 0));
        const QRect rowInTable(table.viewport()->mapTo(&table, row.topLeft()), row.size());
        EXPECT_EQ(row.width(), wide ? 640 : table.contentsRect().width()) << width;
        EXPECT_NEAR(rowInTable.center().x(), table.contentsRect().center().x(), 1) << width;
        EXPECT_EQ(entry->width(), wide ? 640 : width - 48) << width;
        EXPECT_NEAR(entry->geometry().center().x(), menu.rect().center().x(), 1) << width;
    }
    // A click beside the centred rows selects nothing.
    QSignalSpy selected(&table, &TableView::rowSelected);
    QTest::mouseClick(&table, Qt::LeftButton, {}, QPoint(20, 30));
    EXPECT_EQ(selected.count(), 0);
}

}  // namespace
