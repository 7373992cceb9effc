#include "toolkit/SearchBar.h"

namespace quillon {

SearchBar::SearchBar(QWidget* parent) : QLineEdit(parent) {
    setClearButtonEnabled(true);
    setPlaceholderText(tr("Search"));
}

void SearchBar::deactivate() {
    clear();  // textChanged("") reports the return to empty
    clearFocus();
}

}  // namespace quillon
