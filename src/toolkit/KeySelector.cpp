#include "toolkit/KeySelector.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QToolButton>

#include "toolkit/Appearance.h"

namespace quillon {

namespace {

// One item of the selector.
class KeyButton : public QToolButton {
    Q_OBJECT
public:
    using QToolButton::QToolButton;
};

// A screen reader sees an item as one choice among several, and its action picks it by a click:
// a plain toggle would tick the button without telling the selector.
class KeyButtonAccessible : public QAccessibleWidget {
public:
    explicit KeyButtonAccessible(KeyButton* button)
        : QAccessibleWidget(button, QAccessible::RadioButton) {}

    QString text(QAccessible::Text t) const override {
        const QString own = QAccessibleWidget::text(t);
        return t == QAccessible::Name && own.isEmpty() ? button()->text() : own;
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->isChecked();
        return state;
    }
    QStringList actionNames() const override {
        return button()->isEnabled() ? QStringList{pressAction()} : QStringList();
    }
    void doAction(const QString& action) override {
        if ((action == pressAction() || action == toggleAction()) && button()->isEnabled())
            button()->click();
    }

private:
    KeyButton* button() const { return static_cast<KeyButton*>(widget()); }
};

QAccessibleInterface* keyButtonAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(KeyButton::staticMetaObject.className()))
        if (auto* button = qobject_cast<KeyButton*>(object)) return new KeyButtonAccessible(button);
    return nullptr;
}

}  // namespace

KeySelector::KeySelector(const QStringList& items, QWidget* parent) : QWidget(parent) {
    static const bool factoryInstalled = (QAccessible::installFactory(keyButtonAccessible), true);
    Q_UNUSED(factoryInstalled);
    // Its style sheet fixes its palette: a change of the desktop's reaches it through the program
    // and through the widget it lies on.
    qApp->installEventFilter(this);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    group_.setExclusive(true);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new KeyButton(this);
        button->setText(items.at(i));
        button->setCheckable(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        group_.addButton(button, i);
        row->addWidget(button);
    }
    if (!items.isEmpty()) {
        group_.button(0)->setChecked(true);
        current_ = 0;
    }
    connect(&group_, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == current_) return;
        current_ = id;
        emit valueChanged(id);
    });
    setTintColor(QColor(0, 122, 255));
}

int KeySelector::selectedIndex() const {
    return current_;
}

void KeySelector::setSelectedIndex(int index) {
    if (index < -1 || index >= count() || index == current_) return;
    if (index < 0) {
        group_.setExclusive(false);
        if (QAbstractButton* b = group_.checkedButton()) b->setChecked(false);
        group_.setExclusive(true);
    } else {
        group_.button(index)->setChecked(true);
    }
    current_ = index;
    emit valueChanged(index);
}

int KeySelector::count() const {
    return group_.buttons().size();
}

QString KeySelector::itemText(int index) const {
    QAbstractButton* b = group_.button(index);
    return b ? b->text() : QString();
}

void KeySelector::setTintColor(const QColor& color) {
    tint_ = color;
    restyle();
}

void KeySelector::restyle() {
    // Unselected items lie on whatever is behind the selector (the navigation bar), so their
    // colour is judged against the parent's window colour, not the selector's own palette.
    const QPalette pal = parentWidget() ? parentWidget()->palette() : QApplication::palette(this);
    const QColor text = appearance::firstReadable(
        {tint_, pal.color(QPalette::WindowText), pal.color(QPalette::ButtonText)},
        pal.color(QPalette::Window));
    const QString sheet = QStringLiteral(
                              "QToolButton { border: 1px solid %1; padding: 4px 6px; color: %2; "
                              "background: transparent; }"
                              "QToolButton:checked { background-color: %1; color: white; }")
                              .arg(tint_.name(), text.name());
    if (sheet != styleSheet()) setStyleSheet(sheet);
    keepCaptionsWhole();
}

bool KeySelector::eventFilter(QObject* watched, QEvent* event) {
    // What lies behind the unselected items took another palette.
    if ((watched == qApp && event->type() == QEvent::ApplicationPaletteChange) ||
        (watched == parentWidget() && event->type() == QEvent::PaletteChange))
        QMetaObject::invokeMethod(this, &KeySelector::restyle, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}

int KeySelector::captionWidth(int index) const {
    QAbstractButton* button = group_.button(index);
    if (!button) return 0;
    QStyleOptionToolButton option;
    option.initFrom(button);
    option.text = button->text();
    option.toolButtonStyle = Qt::ToolButtonTextOnly;
    const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, option.text);
    return button->style()->sizeFromContents(QStyle::CT_ToolButton, &option, text, button).width();
}

void KeySelector::keepCaptionsWhole() {
    for (int i = 0; i < count(); ++i) group_.button(i)->setMinimumWidth(captionWidth(i));
}

bool KeySelector::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
        case QEvent::ApplicationPaletteChange:
        case QEvent::PaletteChange:
            // Once every widget has resolved the new palette.
            QMetaObject::invokeMethod(this, &KeySelector::restyle, Qt::QueuedConnection);
            break;
        case QEvent::ParentChange:
            restyle();
            break;
        case QEvent::FontChange:
        case QEvent::StyleChange:
            keepCaptionsWhole();
            break;
        default:
            break;
    }
    return handled;
}

}  // namespace quillon

#include "KeySelector.moc"
