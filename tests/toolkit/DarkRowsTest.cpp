#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>

#include "toolkit/TableView.h"

namespace quillon {
namespace {

// Row boxes are light in both palettes; a table made under a dark palette must write dark text
// on them even when its screen never says the palette is dark.
TEST(DarkRows, ATableMadeUnderADarkPaletteWritesDarkTextOnItsRows) {
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(35, 38, 41));
    dark.setColor(QPalette::Text, QColor(239, 240, 241));
    QApplication::setPalette(dark);
    TableView underDark;
    QApplication::setPalette(light);
    TableView underLight;
    EXPECT_TRUE(underDark.darkMode());
    EXPECT_FALSE(underLight.darkMode());
}

}  // namespace
}  // namespace quillon
