#pragma once

#include <QColor>

class QWidget;

namespace quillon::appearance {

// Buttons: corners of radius 10, a black border 2 wide; grey title while disabled.
void applyButtonLook(QWidget* button);
// Text entries and text areas: radius 5, border 1 wide.
void applyTextEntryLook(QWidget* entry);
// Text views of a screen loaded dark: black text and a white border.
void applyDarkTextViewLook(QWidget* textView);
QColor listRowBackground();  // hue 0.5, saturation 0.06, brightness 0.96
// True when the application palette is dark (window darker than text).
bool isDarkAppearance();

}  // namespace quillon::appearance
