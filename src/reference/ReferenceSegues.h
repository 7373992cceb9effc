#pragma once

namespace quillon {

// Registers the reference-list menu, both lists and their add and edit screens.
void registerReferenceSegues();

}  // namespace quillon
