#include "toolkit/ChoiceWheel.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>

#include "toolkit/RowsAccessible.h"

namespace quillon {

namespace {

// The popup's rows: a screen reader picks one by its default action, as a click does.
class WheelRows : public QListWidget, public RowOpener {
public:
    explicit WheelRows(ChoiceWheel* wheel) : QListWidget(wheel), wheel_(wheel) {
        installRowsAccessible();
    }
    void openRow(int row) override { wheel_->pick(row); }

private:
    ChoiceWheel* wheel_;
};

}  // namespace

ChoiceWheel::ChoiceWheel(QWidget* parent) : TextEntry(parent) {}

void ChoiceWheel::setChoices(const QStringList& choices) {
    choices_ = choices;
    if (popup_) fillWheel();
}

void ChoiceWheel::setRowLook(const QFont& font, Qt::Alignment alignment) {
    rowLook_.emplace(font, alignment);
    if (popup_) fillWheel();
}

void ChoiceWheel::fillWheel() {
    popup_->clear();
    popup_->addItems(choices_);
    if (!rowLook_) return;
    for (int row = 0; row < popup_->count(); ++row) {
        popup_->item(row)->setFont(rowLook_->first);
        popup_->item(row)->setTextAlignment(rowLook_->second);
    }
}

void ChoiceWheel::openWheel() {
    if (choices_.isEmpty()) return;
    if (!popup_) {
        popup_ = new WheelRows(this);
        popup_->setWindowFlags(Qt::Popup);
        popup_->setObjectName(QStringLiteral("choiceWheel"));
        popup_->installEventFilter(this);
        connect(popup_, &QListWidget::itemClicked, this,
                [this](QListWidgetItem* item) { pick(popup_->row(item)); });
        connect(popup_, &QListWidget::itemActivated, this,
                [this](QListWidgetItem* item) { pick(popup_->row(item)); });
    }
    fillWheel();
    popup_->setAccessibleName(accessibleName());
    const int at = choices_.indexOf(text());
    popup_->setCurrentRow(at >= 0 ? at : 0);
    const int rowHeight = qMax(popup_->sizeHintForRow(0), fontMetrics().height() + 4);
    const int visible = qMin(int(choices_.size()), 7);
    popup_->resize(qMax(width(), 120), rowHeight * visible + 2 * popup_->frameWidth() + 2);
    popup_->move(mapToGlobal(QPoint(0, height())));
    popup_->setAttribute(Qt::WA_NoMouseReplay, false);
    popup_->show();
    popup_->setFocus(Qt::PopupFocusReason);
    if (popup_->currentItem()) popup_->scrollToItem(popup_->currentItem());
}

bool ChoiceWheel::isWheelOpen() const {
    return popup_ && popup_->isVisible();
}

void ChoiceWheel::closeWheel() {
    if (popup_) popup_->hide();
}

void ChoiceWheel::pick(int index) {
    if (index < 0 || index >= choices_.size()) return;
    const QString choice = choices_.at(index);
    closeWheel();
    setText(choice);
    emit choicePicked(choice);
    emit textEdited(choice);
}

void ChoiceWheel::mousePressEvent(QMouseEvent* event) {
    TextEntry::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && !isWheelOpen()) openWheel();
}

void ChoiceWheel::focusInEvent(QFocusEvent* event) {
    TextEntry::focusInEvent(event);
    // Keyboard focus opens the wheel; a programmatic focus or the popup closing does not.
    if ((event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) &&
        !isWheelOpen())
        openWheel();
}

bool ChoiceWheel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == popup_ && event->type() == QEvent::MouseButtonPress) {
        // A click on the entry itself closes the wheel without opening it again.
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint global = mouse->globalPosition().toPoint();
        if (!popup_->rect().contains(popup_->mapFromGlobal(global)) &&
            rect().contains(mapFromGlobal(global)))
            popup_->setAttribute(Qt::WA_NoMouseReplay);
    }
    if (watched == popup_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            closeWheel();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            pick(popup_->currentRow());
            return true;
        }
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            // Tab leaves the wheel for the next control, as it leaves a plain entry.
            closeWheel();
            setFocus(Qt::OtherFocusReason);
            focusNextPrevChild(key->key() == Qt::Key_Tab);
            return true;
        }
    }
    return TextEntry::eventFilter(watched, event);
}

}  // namespace quillon
