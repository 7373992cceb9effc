#include "toolkit/NavigationController.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QShortcut>
#include <QStackedWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "toolkit/KeyboardShortcuts.h"
#include "toolkit/SearchBar.h"
#include "toolkit/ViewController.h"

namespace quillon {

namespace {
// Outside dialogs (which have default buttons of their own) a focused button ignores Enter;
// desktop users expect it to press the button.
class EnterPressesFocusedButton : public QObject {
public:
    static void installOnce() {
        static QPointer<EnterPressesFocusedButton> installed;
        if (installed || !qApp) return;
        installed = new EnterPressesFocusedButton(qApp);
        qApp->installEventFilter(installed);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (!pressedKeyIs(key, KeyCommand::PressButton)) return false;
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || !button->hasFocus() || qobject_cast<QDialog*>(button->window()))
            return false;
        if (!key->isAutoRepeat() && button->isEnabled()) button->click();
        return true;
    }

private:
    using QObject::QObject;
};
}  // namespace

NavigationController::NavigationController(ViewController* root, QWidget* parent)
    : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    // A screen that needs more room than the window has must not grow the window (nor leave it
    // grown after it is popped).
    column->setSizeConstraint(QLayout::SetNoConstraint);
    column->addWidget(buildNavigationBar());
    titleRow_ = new QWidget(this);
    titleRow_->setObjectName(QStringLiteral("titleRow"));
    titleRowSlot_ = new QHBoxLayout(titleRow_);
    titleRowSlot_->setContentsMargins(6, 0, 6, 4);
    titleRow_->hide();
    column->addWidget(titleRow_);
    pages_ = new QStackedWidget(this);
    column->addWidget(pages_, 1);
    installBackKeys();
    EnterPressesFocusedButton::installOnce();
    if (root)
        showRoot(root);
    else
        refreshBar();
}

QWidget* NavigationController::buildNavigationBar() {
    bar_ = new QWidget(this);
    bar_->setObjectName(QStringLiteral("navigationBar"));
    auto* row = new QHBoxLayout(bar_);
    row->setContentsMargins(6, 4, 6, 4);
    back_ = new QToolButton(bar_);
    back_->setText(tr("< Back"));
    back_->setAccessibleName(tr("Back"));  // read without the "less than" sign
    back_->setAutoRaise(true);
    back_->setObjectName(QStringLiteral("backButton"));
    connect(back_, &QToolButton::clicked, this, [this] { popViewController(); });
    row->addWidget(back_);
    leadingSlot_ = new QHBoxLayout;
    leadingSlot_->setContentsMargins(0, 0, 0, 0);
    row->addLayout(leadingSlot_);
    row->addStretch(1);
    titleLabel_ = new QLabel(bar_);
    titleLabel_->setAlignment(Qt::AlignCenter);
    titleLabel_->setTextFormat(Qt::PlainText);  // titles may be catalogue text
    QFont bold = titleLabel_->font();
    bold.setBold(true);
    titleLabel_->setFont(bold);
    row->addWidget(titleLabel_);
    titleSlot_ = new QHBoxLayout;
    titleSlot_->setContentsMargins(0, 0, 0, 0);
    row->addLayout(titleSlot_);
    row->addStretch(1);
    rightSlot_ = new QHBoxLayout;
    rightSlot_->setContentsMargins(0, 0, 0, 0);
    row->addLayout(rightSlot_);
    return bar_;
}

void NavigationController::installBackKeys() {
    addShortcut(this, KeyCommand::GoBack, Qt::WidgetWithChildrenShortcut,
                [this] { goBackByKey(true); });
    addShortcut(this, KeyCommand::GoBackWhileTyping, Qt::WidgetWithChildrenShortcut,
                [this] { goBackByKey(false); });
}

void NavigationController::goBackByKey(bool escape) {
    ViewController* top = topViewController();
    if (stack_.size() <= 1 || !top->backEnabled() || !top->leavesByKey()) return;
    const std::function<void()> ownWayBack = top->backAction();
    if (!ownWayBack && (barHidden_ || !back_->isVisibleTo(this))) return;
    // A search bar keeps Escape while it has a text to clear, so a second Escape goes back.
    QWidget* focus = QApplication::focusWidget();
    const bool typing = qobject_cast<QLineEdit*>(focus) || qobject_cast<QTextEdit*>(focus) ||
                        qobject_cast<QPlainTextEdit*>(focus) ||
                        qobject_cast<QAbstractSpinBox*>(focus);
    if (escape && typing && !qobject_cast<SearchBar*>(focus)) return;
    if (ownWayBack)
        ownWayBack();
    else
        popViewController();
}

void NavigationController::showRoot(ViewController* root) {
    root->navigation_ = this;
    stack_.append(root);
    pages_->addWidget(root);
    connect(root, &ViewController::navigationItemChanged, this, &NavigationController::refreshBar);
    root->loadViewIfNeeded();
    // Loading may have pushed a screen over the root already.
    if (topViewController() == root) {
        root->viewWillAppear();
        showTop();
    }
}

NavigationController::~NavigationController() = default;

void NavigationController::pushViewController(ViewController* vc) {
    if (!vc || stack_.contains(vc)) return;
    ViewController* old = topViewController();
    vc->navigation_ = this;
    stack_.append(vc);
    pages_->addWidget(vc);
    connect(vc, &ViewController::navigationItemChanged, this, &NavigationController::refreshBar,
            Qt::UniqueConnection);
    if (old) old->viewWillDisappear();
    vc->loadViewIfNeeded();
    vc->viewWillAppear();
    showTop();
    if (old) old->viewDidDisappear();
}

bool NavigationController::popViewController() {
    if (stack_.size() <= 1) return false;
    ViewController* popped = stack_.takeLast();
    ViewController* below = stack_.last();
    popped->viewWillDisappear();
    below->viewWillAppear();
    showTop();
    popped->viewDidDisappear();
    pages_->removeWidget(popped);
    popped->hide();
    popped->deleteLater();
    return true;
}

void NavigationController::popToViewController(ViewController* target) {
    const int at = stack_.indexOf(target);
    if (at < 0 || at == stack_.size() - 1) return;
    ViewController* oldTop = stack_.last();
    const QList<ViewController*> removed = stack_.mid(at + 1);
    stack_ = stack_.mid(0, at + 1);
    oldTop->viewWillDisappear();
    target->viewWillAppear();
    showTop();
    oldTop->viewDidDisappear();
    for (ViewController* vc : removed) {
        pages_->removeWidget(vc);
        vc->hide();
        vc->deleteLater();
    }
}

ViewController* NavigationController::takeTopViewController() {
    if (stack_.size() <= 1) return nullptr;
    ViewController* taken = stack_.takeLast();
    taken->viewWillDisappear();
    showTop();
    taken->viewDidDisappear();
    pages_->removeWidget(taken);
    taken->hide();
    taken->setParent(nullptr);
    taken->navigation_ = nullptr;
    disconnect(taken, &ViewController::navigationItemChanged, this,
               &NavigationController::refreshBar);
    return taken;
}

void NavigationController::addLeadingBarWidget(QWidget* widget) {
    leadingSlot_->addWidget(widget);
}

ViewController* NavigationController::topViewController() const {
    return stack_.isEmpty() ? nullptr : stack_.last();
}

void NavigationController::setNavigationBarHidden(bool hidden, bool animated) {
    Q_UNUSED(animated);  // the state changes at once; no slide animation on the desktop
    barHidden_ = hidden;
    bar_->setVisible(!hidden);
    placeTitleView();
}

bool NavigationController::isNavigationBarHidden() const {
    return barHidden_;
}

void NavigationController::showTop() {
    ViewController* top = topViewController();
    if (top) {
        pages_->setCurrentWidget(top);
        top->show();
        if (QWidget* focus = top->focusOnAppear()) focus->setFocus(Qt::OtherFocusReason);
    }
    refreshBar();
    emit topViewControllerChanged(top);
}

void NavigationController::refreshBar() {
    // Give back what the previous top lent to the bar.
    QList<Lent>& lent = lent_;
    for (const Lent& item : lent) {
        if (!item.widget) continue;
        titleSlot_->removeWidget(item.widget);
        titleRowSlot_->removeWidget(item.widget);
        rightSlot_->removeWidget(item.widget);
        item.widget->hide();
        item.widget->setParent(item.owner ? static_cast<QWidget*>(item.owner.data()) : nullptr);
        if (!item.owner) item.widget->deleteLater();
    }
    lent.clear();
    titleView_ = nullptr;

    ViewController* top = topViewController();
    back_->setVisible(stack_.size() > 1);
    back_->setEnabled(!top || top->backEnabled());
    if (!top) {
        titleLabel_->clear();
        placeTitleView();
        return;
    }
    if (QWidget* view = top->titleView()) {
        titleLabel_->hide();
        titleView_ = view;
        lent.append({view, top});
    } else {
        titleLabel_->setText(top->title());
        titleLabel_->show();
    }
    for (QAbstractButton* button : top->rightBarButtons()) {
        rightSlot_->addWidget(button);
        button->show();
        lent.append({button, top});
    }
    placeTitleView();
}

namespace {

// The widget and those inside it that Tab stops at, in the order they were made (the order of
// the chain itself changes as the widgets are placed).
QList<QWidget*> tabStopsIn(QWidget* widget) {
    QList<QWidget*> stops;
    if (widget->focusPolicy() & Qt::TabFocus) stops << widget;
    for (QWidget* inside : widget->findChildren<QWidget*>())
        if (inside->focusPolicy() & Qt::TabFocus) stops << inside;
    return stops;
}

QList<QWidget*> slotWidgets(const QLayout* slot) {
    QList<QWidget*> widgets;
    for (int i = 0; i < slot->count(); ++i)
        if (QWidget* widget = slot->itemAt(i)->widget()) widgets << widget;
    return widgets;
}

}  // namespace

void NavigationController::orderBarForTab() {
    // Screens lend their bar buttons after they were made, so Tab would reach them last: it
    // crosses the bar from left to right (then the title's own row) before the screen below.
    QList<QWidget*> bar = slotWidgets(leadingSlot_);
    bar << back_;
    bar += slotWidgets(titleSlot_) + slotWidgets(rightSlot_) + slotWidgets(titleRowSlot_);
    QWidget* previous = nullptr;
    for (QWidget* widget : std::as_const(bar)) {
        for (QWidget* stop : tabStopsIn(widget)) {
            if (previous) QWidget::setTabOrder(previous, stop);
            previous = stop;
        }
    }
}

int NavigationController::barWidthNeeded(QWidget* titleView) const {
    const QLayout* row = bar_->layout();
    const QMargins margins = row->contentsMargins();
    const int spacing = qMax(0, row->spacing());
    int needed = margins.left() + margins.right() + titleView->minimumSizeHint().width();
    if (back_->isVisibleTo(bar_)) needed += back_->sizeHint().width() + spacing;
    for (int i = 0; i < leadingSlot_->count(); ++i)
        if (QWidget* widget = leadingSlot_->itemAt(i)->widget())
            needed += widget->sizeHint().width() + spacing;
    for (int i = 0; i < rightSlot_->count(); ++i)
        if (QWidget* button = rightSlot_->itemAt(i)->widget())
            needed += button->sizeHint().width() + spacing;
    return needed;
}

void NavigationController::placeTitleView() {
    QWidget* view = titleView_;
    const bool ownRow = view && barWidthNeeded(view) > width();
    if (view) {
        QHBoxLayout* slot = ownRow ? titleRowSlot_ : titleSlot_;
        if (slot->indexOf(view) < 0) {
            (ownRow ? titleSlot_ : titleRowSlot_)->removeWidget(view);
            slot->addWidget(view);
        }
        view->show();
    }
    titleRow_->setVisible(ownRow && !barHidden_);
    orderBarForTab();
}

void NavigationController::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeTitleView();
}

}  // namespace quillon
