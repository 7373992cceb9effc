#pragma once

#include <QFrame>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace quillon {

// A small bar at the bottom of a screen that says what was just done (a delete) and offers
// an "Undo" button. Not modal: the screen stays usable, and the bar hides itself after a few
// seconds, when its button is pressed, or when dismissed. The undo key (Ctrl+Z) anywhere in
// the screen's window, while the screen shows, runs the same undo, also after the bar hid.
class UndoNotice : public QFrame {
    Q_OBJECT
public:
    static constexpr int kShownMs = 6000;

    // A child of the screen; place it at the bottom of the screen's layout.
    explicit UndoNotice(QWidget* screen);

    // What the button and the key do; true when something was taken back.
    void setUndoAction(std::function<bool()> undo) { undo_ = std::move(undo); }
    // The undo key in that text field runs the undo too; only when there is nothing to take
    // back does it undo the field's typing.
    void takeUndoKeyFrom(QLineEdit* textField);

    // Shows the text (plain, shortened to fit) and starts the time again.
    void present(const QString& text);
    void dismiss();
    QString text() const { return text_; }
    QPushButton* undoButton() const { return undoButton_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void undoKeyPressed();
    void showFittedText();

    QString text_;
    QLabel* label_;
    QPushButton* undoButton_;
    QTimer* hideTimer_;
    QLineEdit* textField_ = nullptr;
    std::function<bool()> undo_;
};

}  // namespace quillon
