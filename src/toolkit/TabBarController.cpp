#include "toolkit/TabBarController.h"

#include <QVBoxLayout>

#include "toolkit/StackedTabBar.h"

namespace quillon {

namespace {

// The tabs' images above their captions, on the black bar.
class StackedTabWidget : public QTabWidget {
public:
    explicit StackedTabWidget(QWidget* parent) : QTabWidget(parent) {
        setTabBar(new StackedTabBar(this));
        connect(this, &QTabWidget::currentChanged, this, [this] { putBarLastForTab(); });
    }

protected:
    void showEvent(QShowEvent* event) override {
        QTabWidget::showEvent(event);
        putBarLastForTab();
    }

private:
    // The bar lies below the screen shown: Tab reaches it when it leaves the screen.
    void putBarLastForTab() {
        QWidget* screen = currentWidget();
        if (QWidget* exit = screen ? lastTabStopIn(screen) : nullptr)
            QWidget::setTabOrder(exit, tabBar());
    }

    // The screen's stop after which Tab leaves it.
    static QWidget* lastTabStopIn(QWidget* screen) {
        const auto stops = [](QWidget* w) { return bool(w->focusPolicy() & Qt::TabFocus); };
        for (QWidget* stop : screen->findChildren<QWidget*>()) {
            if (!stops(stop)) continue;
            QWidget* next = stop->nextInFocusChain();
            while (next != stop && !stops(next)) next = next->nextInFocusChain();
            if (!screen->isAncestorOf(next)) return stop;
        }
        return nullptr;
    }
};

}  // namespace

TabBarController::TabBarController(QWidget* parent) : ViewController(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    tabs_ = new StackedTabWidget(this);
    tabs_->setTabPosition(QTabWidget::South);
    tabs_->setDocumentMode(true);
    column->addWidget(tabs_);
    connect(tabs_, &QTabWidget::currentChanged, this, &TabBarController::onCurrentChanged);
}

void TabBarController::addTab(ViewController* screen, const QString& title, const QIcon& icon) {
    if (!screen) return;
    tabs_->addTab(screen, icon, title);  // a null icon leaves the tab without an image
}

void TabBarController::setTabIcon(int index, const QIcon& icon) {
    if (index >= 0 && index < tabs_->count()) tabs_->setTabIcon(index, icon);
}

int TabBarController::count() const {
    return tabs_->count();
}

ViewController* TabBarController::screenAt(int index) const {
    return qobject_cast<ViewController*>(tabs_->widget(index));
}

int TabBarController::currentIndex() const {
    return tabs_->currentIndex();
}

void TabBarController::setCurrentIndex(int index) {
    tabs_->setCurrentIndex(index);
}

void TabBarController::onCurrentChanged(int index) {
    const int previous = shownIndex_;
    shownIndex_ = index;
    if (!appeared_ || previous == index) return;
    ViewController* old = screenAt(previous);
    ViewController* now = screenAt(index);
    if (old) old->viewWillDisappear();
    if (now) {
        now->loadViewIfNeeded();
        now->viewWillAppear();
    }
    if (old) old->viewDidDisappear();
}

void TabBarController::viewWillAppear() {
    appeared_ = true;
    shownIndex_ = tabs_->currentIndex();
    if (ViewController* now = screenAt(shownIndex_)) {
        now->loadViewIfNeeded();
        now->viewWillAppear();
    }
}

void TabBarController::viewWillDisappear() {
    if (ViewController* now = screenAt(shownIndex_)) now->viewWillDisappear();
}

void TabBarController::viewDidDisappear() {
    appeared_ = false;
    if (ViewController* now = screenAt(shownIndex_)) now->viewDidDisappear();
}

}  // namespace quillon
