#include "toolkit/ViewController.h"

#include <QAbstractButton>
#include <QHash>
#include <QShortcut>
#include <QToolButton>

#include "platform/DiagnosticLog.h"
#include "toolkit/AlertController.h"
#include "toolkit/KeyboardShortcuts.h"
#include "toolkit/NavigationController.h"
#include "toolkit/Storyboard.h"
#include "toolkit/TabBarController.h"

namespace quillon {

ViewController::ViewController(QWidget* parent) : QWidget(parent) {}

ViewController::~ViewController() {
    // The bar widgets belong to this screen even while the navigation bar shows them.
    if (titleView_ && titleView_->parent() != this) delete titleView_.data();
    const auto buttons = rightBarButtons_;
    rightBarButtons_.clear();
    for (QAbstractButton* button : buttons) {
        if (button->parent() != this) delete button;
    }
}

void ViewController::loadViewIfNeeded() {
    if (loaded_) return;
    loaded_ = true;
    viewDidLoad();
}

void ViewController::setTitle(const QString& title) {
    if (title_ == title) return;
    title_ = title;
    setWindowTitle(title);
    emit titleChanged(title_);
    emit navigationItemChanged();
}

void ViewController::setTitleView(QWidget* view) {
    if (titleView_ == view) return;
    QWidget* old = titleView_;
    titleView_ = view;
    if (view && !view->parent()) {
        view->setParent(this);
        view->hide();
    }
    emit navigationItemChanged();
    if (old && old->parent() != this) {
        old->hide();
        old->setParent(this);
    }
}

QToolButton* ViewController::addSaveButton(std::function<void()> save) {
    auto* button = new QToolButton;
    button->setObjectName("SaveButton");
    button->setText("Save");
    button->setToolTip("Save (" + shortcutText(KeyCommand::Save) + ")");
    connect(button, &QToolButton::clicked, this, [save] { save(); });
    addRightBarButton(button);
    addShortcut(this, KeyCommand::Save, Qt::WidgetWithChildrenShortcut, [save] { save(); });
    return button;
}

void ViewController::addRightBarButton(QAbstractButton* button) {
    if (!button || rightBarButtons_.contains(button)) return;
    rightBarButtons_.append(button);
    if (!button->parent()) {
        button->setParent(this);
        button->hide();
    }
    connect(button, &QObject::destroyed, this,
            [this, button] { rightBarButtons_.removeAll(button); });
    emit navigationItemChanged();
}

void ViewController::setBackEnabled(bool enabled) {
    if (backEnabled_ == enabled) return;
    backEnabled_ = enabled;
    emit navigationItemChanged();
}

NavigationController* ViewController::navigationController() const {
    for (const QWidget* w = this; w; w = w->parentWidget()) {
        if (auto* vc = qobject_cast<const ViewController*>(w); vc && vc->navigation_)
            return vc->navigation_;
        if (auto* nav = qobject_cast<NavigationController*>(const_cast<QWidget*>(w))) return nav;
    }
    return nullptr;
}

bool ViewController::canPerformSegue(const QString& identifier) const {
    const NavigationController* nav = navigationController();
    return nav && nav->storyboard() && nav->storyboard()->isRegistered(identifier);
}

ViewController* ViewController::performSegue(const QString& identifier) {
    const NavigationController* holder = navigationController();
    ViewController* destination =
        holder && holder->storyboard() ? holder->storyboard()->create(identifier) : nullptr;
    if (!destination) {
        diagnosticLog(
            QStringLiteral("performSegue: no segue registered as \"%1\"").arg(identifier));
        return nullptr;
    }
    prepareForSegue(identifier, destination);
    NavigationController* nav = navigationController();
    if (!nav) {
        diagnosticLog(QStringLiteral("performSegue \"%1\": the screen has no navigation controller")
                          .arg(identifier));
        delete destination;
        return nullptr;
    }
    nav->pushViewController(destination);
    return destination;
}

void ViewController::unwind(const QString& name) {
    NavigationController* nav = navigationController();
    if (!nav) {
        diagnosticLog(QStringLiteral("unwind \"%1\": no navigation controller").arg(name));
        return;
    }
    const QList<ViewController*> stack = nav->viewControllers();
    // The stack entry this screen belongs to (itself, or the tab container holding it).
    int from = -1;
    for (const QWidget* w = this; w && from < 0; w = w->parentWidget()) {
        if (auto* vc = qobject_cast<ViewController*>(const_cast<QWidget*>(w)))
            from = stack.indexOf(vc);
    }
    if (from < 0) from = stack.size();  // not on the stack: every screen counts as below
    for (int i = from - 1; i >= 0; --i) {
        ViewController* candidate = stack.at(i);
        ViewController* receiver = nullptr;
        if (candidate->offersReturnPoint(name)) {
            receiver = candidate;
        } else if (auto* tabs = qobject_cast<TabBarController*>(candidate)) {
            ViewController* current = tabs->screenAt(tabs->currentIndex());
            if (current && current->offersReturnPoint(name)) receiver = current;
        }
        if (!receiver) continue;
        QPointer<ViewController> guard(receiver);
        nav->popToViewController(candidate);
        if (guard) guard->arriveAtReturnPoint(name);
        return;
    }
    if (nav->unwindElsewhere(name)) return;
    diagnosticLog(
        QStringLiteral("unwind: no screen below offers the return point \"%1\"").arg(name));
}

void ViewController::offerReturnPoint(const QString& name, std::function<void()> handler) {
    returnPoints_.insert(name, std::move(handler));
}

bool ViewController::offersReturnPoint(const QString& name) const {
    return returnPoints_.contains(name);
}

void ViewController::arriveAtReturnPoint(const QString& name) {
    auto it = returnPoints_.constFind(name);
    if (it == returnPoints_.constEnd()) return;
    const std::function<void()> handler = it.value();  // copy: the handler may change the table
    if (handler) handler();
}

void ViewController::present(AlertController* alert) {
    if (!alert) return;
    QWidget* owner = window();
    alert->setParent(owner, Qt::Dialog);
    alert->setWindowModality(Qt::WindowModal);
    alert->open();
}

}  // namespace quillon
