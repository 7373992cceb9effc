#include "toolkit/TextEntry.h"

#include <limits>

namespace quillon {

TextEntry::TextEntry(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(std::numeric_limits<int>::max());
}

}  // namespace quillon
