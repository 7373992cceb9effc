#include "toolkit/SearchBar.h"

#include <QKeyEvent>

#include "toolkit/Appearance.h"

namespace quillon {

namespace {
bool isPlainEscape(const QKeyEvent* event) {
    return event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier;
}
}  // namespace

SearchBar::SearchBar(QWidget* parent) : QLineEdit(parent) {
    setClearButtonEnabled(true);
    setPlaceholderText(tr("Search"));
    appearance::keepPlaceholderReadable(this);
}

void SearchBar::setPlaceholderText(const QString& text) {
    QLineEdit::setPlaceholderText(text);
    setAccessibleName(text);
    // Without a description of its own an entry is described by its placeholder, which its name
    // already says: a blank one keeps it from being read twice.
    setAccessibleDescription(QStringLiteral(" "));
}

void SearchBar::deactivate() {
    clear();  // textChanged("") reports the return to empty
    clearFocus();
}

bool SearchBar::event(QEvent* event) {
    // Claim Escape from the window's shortcuts only while there is a text to clear.
    if (event->type() == QEvent::ShortcutOverride &&
        isPlainEscape(static_cast<QKeyEvent*>(event)) && !text().isEmpty()) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void SearchBar::keyPressEvent(QKeyEvent* event) {
    if (isPlainEscape(event) && !text().isEmpty()) {
        clear();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace quillon
