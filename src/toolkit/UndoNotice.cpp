#include "toolkit/UndoNotice.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include "toolkit/Announcement.h"
#include "toolkit/Appearance.h"
#include "toolkit/KeyboardShortcuts.h"

namespace quillon {

UndoNotice::UndoNotice(QWidget* screen)
    : QFrame(screen),
      label_(new QLabel),
      undoButton_(new QPushButton(QStringLiteral("Undo"))),
      hideTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("UndoNotice"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 4, 6, 4);
    label_->setTextFormat(Qt::PlainText);
    label_->setForegroundRole(QPalette::ToolTipText);
    // A long name is shortened instead of widening the screen.
    label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label_->installEventFilter(this);
    layout->addWidget(label_, 1);
    undoButton_->setObjectName(QStringLiteral("UndoButton"));
    undoButton_->setFocusPolicy(Qt::TabFocus);  // showing the bar never takes the focus
    appearance::applyButtonLook(undoButton_);
    layout->addWidget(undoButton_);
    hideTimer_->setSingleShot(true);
    hideTimer_->setInterval(kShownMs);
    connect(hideTimer_, &QTimer::timeout, this, &UndoNotice::dismiss);
    connect(undoButton_, &QPushButton::clicked, this, [this] {
        dismiss();
        if (undo_) undo_();
    });
    if (screen) {
        // A hidden screen (covered by another) does not answer the key.
        QShortcut* undoKey = addShortcut(screen, KeyCommand::UndoDelete, Qt::WindowShortcut, {});
        connect(undoKey, &QShortcut::activated, this, &UndoNotice::undoKeyPressed);
    }
    hide();
}

void UndoNotice::takeUndoKeyFrom(QLineEdit* textField) {
    if (textField_) textField_->removeEventFilter(this);
    textField_ = textField;
    if (textField_) textField_->installEventFilter(this);
}

void UndoNotice::undoKeyPressed() {
    dismiss();
    const bool undone = undo_ && undo_();
    if (!undone && textField_ && textField_->hasFocus()) textField_->undo();
}

void UndoNotice::present(const QString& text) {
    text_ = text;
    setAccessibleName(text);
    show();
    showFittedText();
    hideTimer_->start();
    announce(this);  // it does not take the focus, so nothing else would read it
}

void UndoNotice::dismiss() {
    hideTimer_->stop();
    hide();
}

bool UndoNotice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label_ && event->type() == QEvent::Resize) showFittedText();
    if (watched == textField_ && event->type() == QEvent::ShortcutOverride &&
        pressedKeyIs(static_cast<QKeyEvent*>(event), KeyCommand::UndoDelete)) {
        // Not claimed by the field: the key goes on to the screen's shortcut.
        event->ignore();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void UndoNotice::showFittedText() {
    label_->setText(
        label_->fontMetrics().elidedText(text_, Qt::ElideMiddle, qMax(0, label_->width())));
    label_->setToolTip(text_);
}

}  // namespace quillon
