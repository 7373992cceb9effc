#include "store/SelectionState.h"

namespace quillon {

SelectionState& SelectionState::shared() {
    static SelectionState state;
    return state;
}

}  // namespace quillon
