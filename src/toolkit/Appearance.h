#pragma once

#include <QColor>
#include <initializer_list>

class QPalette;
class QWidget;

namespace quillon::appearance {

// Buttons: corners of radius 10, a black border 2 wide; grey title while disabled.
void applyButtonLook(QWidget* button);
// Text entries and text areas: radius 5, border 1 wide; a readable placeholder.
void applyTextEntryLook(QWidget* entry);
// Text views of a screen loaded dark: black text on white, and a white border.
void applyDarkTextViewLook(QWidget* textView);
QColor listRowBackground();  // hue 0.5, saturation 0.06, brightness 0.96
// The widest that list rows and menu entries grow in a wide window (centred beyond it).
constexpr int kReadableColumnWidth = 640;
// True when the application palette is dark (window darker than text).
bool isDarkAppearance();

// Readability after WCAG 2.x: body text needs a contrast ratio of at least 4.5:1.
constexpr double kReadableContrast = 4.5;
// Relative luminance of a colour (0 for black, 1 for white); alpha is ignored.
double relativeLuminance(const QColor& colour);
// Contrast ratio (1 to 21) of text drawn over an opaque background; translucent text is first
// blended over the background, as the painter draws it.
double contrastRatio(const QColor& text, const QColor& background);
// The first candidate readable on the background; when none is, the one of highest contrast.
QColor firstReadable(std::initializer_list<QColor> candidates, const QColor& background);
// Placeholder text for an entry of this palette: the palette's own when it is readable on the
// entry's base, otherwise the palest mix of text and base that is.
QColor readablePlaceholderColor(const QPalette& palette);
// Keeps the entry's placeholder readable, also after its palette changes (light to dark).
void keepPlaceholderReadable(QWidget* entry);

}  // namespace quillon::appearance
