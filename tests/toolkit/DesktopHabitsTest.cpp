#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
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
    for (auto role : {QPalette::Window, QPalette::Button}) p.setColor(role, window);
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        p.setColor(role, text);
    p.setColor(QPalette::Base, base);
    text.setAlpha(128);  // the placeholder Qt derives when a theme gives none
    p.setColor(QPalette::PlaceholderText, text);
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

// Every text whose colour the program chooses is readable on what is actually behind it, in a
// light and in a dark palette, measured after WCAG.
TEST(AppearanceTest, ChosenTextColoursAreReadableInBothPalettes) {
    EXPECT_NEAR(appearance::contrastRatio(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(appearance::contrastRatio(QColor(0, 0, 0, 128), Qt::white), 4.00, 0.01);
    const QPalette saved = QApplication::palette();
    for (const bool dark : {false, true}) {
        QApplication::setPalette(
            dark ? makePalette(QColor(0x35, 0x35, 0x35), Qt::white, QColor(0x2a, 0x2a, 0x2a))
                 : makePalette(QColor(0xef, 0xef, 0xef), Qt::black, Qt::white));
        EXPECT_EQ(appearance::isDarkAppearance(), dark);
        // The widgets as the screens use them, in large strokes so that the ink is the text's.
        QWidget window;
        window.setAutoFillBackground(true);
        auto* column = new QVBoxLayout(&window);
        auto* search = new SearchBar;  // its own placeholder
        auto* entry = new QLineEdit;
        entry->setPlaceholderText("Genre");
        appearance::applyTextEntryLook(entry);
        auto* selector = new KeySelector({"Movie", "Genre", "Year"});
        selector->setTintColor(QColor::fromRgbF(0, 0.15, 0.65));
        auto* textView = new QTextEdit;
        appearance::applyDarkTextViewLook(textView);
        textView->setPlainText("Quillon.csv");
        QStandardItemModel rows;
        auto* unavailable = new QStandardItem;
        unavailable->setData(QStringList{"Send", "Not here"}, LabelTextsRole);
        unavailable->setEnabled(false);
        rows.appendRow(unavailable);
        auto* table = new TableView;
        table->setRowHeight(90);
        table->setModel(&rows);
        for (QWidget* w : std::initializer_list<QWidget*>{search, entry, selector, textView, table})
            column->addWidget(w);
        window.setFont(QFont(window.font().family(), 20, QFont::Bold));
        window.resize(500, 500);
        window.show();
        test::pumpEvents();

        // Each probe: the widget, the part holding its text, a point of bare background.
        const auto expectReadable = [dark](const char* what, QWidget* w, QRect text, QPoint bare) {
            EXPECT_GE(shownContrast(w, text, bare), appearance::kReadableContrast)
                << (dark ? "dark" : "light") << " palette, " << what;
        };
        for (QLineEdit* e : {static_cast<QLineEdit*>(search), entry})
            expectReadable("placeholder", e, QRect(4, 4, e->width() / 2, e->height() - 8),
                           QPoint(e->width() - 6, e->height() / 2));
        QWidget* key = selector->findChildren<QToolButton*>().at(1);
        expectReadable("unselected key", key, key->rect().adjusted(3, 3, -3, -3), QPoint(3, 3));
        QWidget* view = textView->viewport();
        expectReadable("black text view", view, QRect(0, 0, view->width(), 40),
                       view->rect().bottomRight() - QPoint(4, 4));
        const QRect row = table->visualRect(rows.index(0, 0));
        expectReadable("unavailable row", table->viewport(), row.adjusted(8, 8, -8, -8),
                       QPoint(row.right() - 12, row.center().y()));
    }
    QApplication::setPalette(saved);
}

// A phone-wide window is filled as before; a wide one gets a centred readable column.
TEST(ReadableWidthTest, MenuEntriesStayReadableAndCentredInAWideWindow) {
    ViewController menu;
    QVBoxLayout* column = createMenuColumn(&menu);
    QPushButton* entry = addMenuEntry(column, &menu, "List Movies", "none");
    menu.show();
    for (const int width : {430, 1400}) {
        menu.resize(width, 400);
        test::pumpEvents();
        EXPECT_EQ(entry->width(), width > 700 ? 640 : width - 48) << width;
        EXPECT_NEAR(entry->geometry().center().x(), menu.rect().center().x(), 1) << width;
    }
}

}  // namespace
