#pragma once

namespace quillon {

// The main menu's return point, where screens of every feature come back to.
inline constexpr char kUnwindToMenu[] = "unwindToMenu";

}  // namespace quillon
