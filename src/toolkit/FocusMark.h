#pragma once

namespace quillon {

// Marks the control that has the keyboard focus with a frame around it, whatever its own look
// (style sheets draw no focus of their own): two pixels in the palette's highlight colour where
// that stands out from the window behind it, else in the window's text colour. The frame follows
// the control as it moves, and ignores the mouse. Installed once for the whole program.
void installFocusMark();

}  // namespace quillon
