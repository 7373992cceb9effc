#pragma once

#include <QLineEdit>

namespace quillon {

// The search bar of a list screen: a placeholder and a report on every change of the text,
// also to empty (textChanged). deactivate() ends the search: clears the text and the focus.
// Escape clears a text; on an empty bar it is left to the screen (the navigation goes back).
class SearchBar : public QLineEdit {
    Q_OBJECT
public:
    explicit SearchBar(QWidget* parent = nullptr);
    void deactivate();
    // The placeholder is also the bar's accessible name: a screen reader reads no placeholder.
    void setPlaceholderText(const QString& text);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace quillon
