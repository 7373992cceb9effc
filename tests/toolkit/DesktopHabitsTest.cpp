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
#include <functional>

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
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Window, window);
        p.setColor(group, QPalette::Button, window);
        p.setColor(group, QPalette::WindowText, text);
        p.setColor(group, QPalette::ButtonText, text);
        p.setColor(group, QPalette::Text, text);
        p.setColor(group, QPalette::Base, base);
        QColor placeholder = text;  // what Qt derives when a theme gives none
        placeholder.setAlpha(128);
        p.setColor(group, QPalette::PlaceholderText, placeholder);
    }
    return p;
}

// Sets the application palette for the scope of a test.
class PaletteScope {
public:
    explicit PaletteScope(const QPalette& p) : saved_(QApplication::palette()) {
        QApplication::setPalette(p);
    }
    ~PaletteScope() { QApplication::setPalette(saved_); }

private:
    QPalette saved_;
};

// What a widget shows inside `area` (its own coordinates), painted as in its window: the colour
// of the background at `backgroundAt` and the ink, the pixel that stands out most from it.
struct Shown {
    QColor ink, background;
};
Shown shownIn(QWidget* widget, QRect area, QPoint backgroundAt) {
    QWidget* window = widget->window();
    const QImage shot = window->grab().toImage();
    const QPoint offset = widget->mapTo(window, QPoint(0, 0));
    Shown shown;
    shown.background = shot.pixelColor(backgroundAt + offset);
    double most = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = shot.pixelColor(QPoint(x, y) + offset);
            const double ratio = appearance::contrastRatio(c, shown.background);
            if (ratio > most) {
                most = ratio;
                shown.ink = c;
            }
        }
    return shown;
}

TEST(ContrastTest, FollowsTheWcagFormula) {
    struct Case {
        QColor text, background;
        double ratio;
    };
    const Case cases[] = {
        {Qt::black, Qt::white, 21.0},
        {Qt::white, Qt::white, 1.0},
        {QColor(0x77, 0x77, 0x77), Qt::white, 4.48},  // the classic just-too-light grey
        {QColor(0, 0, 0xff), Qt::white, 8.59},
        {QColor(0, 0, 0, 128), Qt::white, 4.00},  // half-transparent black is a mid grey
    };
    for (const Case& c : cases)
        EXPECT_NEAR(appearance::contrastRatio(c.text, c.background), c.ratio, 0.01)
            << c.text.name(QColor::HexArgb).toStdString() << " on "
            << c.background.name().toStdString();
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
        QFont large = window.font();  // large strokes, so that the ink is the text's own colour
        large.setPointSize(20);
        large.setBold(true);
        window.setFont(large);
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
    // Each probe: the widget, the part holding its text, a point of bare background.
    struct Probe {
        const char* what;
        std::function<QWidget*(ChosenColours&)> widget;
        std::function<QRect(QWidget*)> textArea;
        std::function<QPoint(QWidget*)> backgroundAt;
    };
    const Probe probes[] = {
        {"search placeholder", [](ChosenColours& c) { return c.search; }, leftHalf, nearRightEdge},
        {"entry placeholder", [](ChosenColours& c) { return c.entry; }, leftHalf, nearRightEdge},
        {"unselected key",
         [](ChosenColours& c) { return c.selector->findChildren<QToolButton*>().at(1); },
         [](QWidget* w) { return w->rect().adjusted(3, 3, -3, -3); },
         [](QWidget*) { return QPoint(3, 3); }},
        {"black text view", [](ChosenColours& c) { return c.textView->viewport(); },
         [](QWidget* w) { return QRect(0, 0, w->width(), 40); },
         [](QWidget* w) { return w->rect().bottomRight() - QPoint(4, 4); }},
    };
    for (const auto& [name, palette] : {std::pair{"light", light}, std::pair{"dark", dark}}) {
        PaletteScope scope(palette);
        ChosenColours screen;
        for (const Probe& probe : probes) {
            QWidget* widget = probe.widget(screen);
            const Shown shown = shownIn(widget, probe.textArea(widget), probe.backgroundAt(widget));
            EXPECT_GE(appearance::contrastRatio(shown.ink, shown.background),
                      appearance::kReadableContrast)
                << name << " palette, " << probe.what << ": " << shown.ink.name().toStdString()
                << " on " << shown.background.name().toStdString();
        }
    }
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
        table.resize(width, 400);
        table.show();
        menu.resize(width, 400);
        menu.show();
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
