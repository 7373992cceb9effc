#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

class QLabel;
class QStackedWidget;
class QToolButton;
class QHBoxLayout;

namespace quillon {

class Storyboard;
class ViewController;

// One window's stack of screens under a navigation bar (back button, title or title view,
// the top screen's right bar buttons). A title view the bar cannot hold whole beside the
// buttons takes its own row under the bar. Owns its screens; popped screens are deleted later.
// Changing screens never resizes the window: the stack gives up room rather than asking for it.
// Keys: Escape and Alt+Left go back (Escape not while typing, except in an empty search bar)
// when the top screen lets them (leavesByKey) and its back is enabled, by the screen's own back
// action when it has one;
// Enter presses the focused button, as Space does.
class NavigationController : public QWidget {
    Q_OBJECT
public:
    explicit NavigationController(ViewController* root, QWidget* parent = nullptr);
    ~NavigationController() override;

    void pushViewController(ViewController* vc);
    // Pops the top screen; false on the root, which stays. The popped screen is deleted once
    // control is back in the event loop (the caller may be one of its slots), so no pointer to
    // it is handed out: nothing may keep one, nor push it again.
    bool popViewController();
    void popToViewController(ViewController* target);  // pops everything above target
    ViewController* topViewController() const;
    // Takes the top screen off the stack without deleting it: the caller owns it and may push
    // it on another navigation controller, its input kept. nullptr on the root. The screen
    // below shows again without viewWillAppear: it is where the user left it.
    ViewController* takeTopViewController();
    QList<ViewController*> viewControllers() const { return stack_; }

    // Where performSegue finds its destinations; it must outlive this controller.
    void setStoryboard(const Storyboard* storyboard) { storyboard_ = storyboard; }
    const Storyboard* storyboard() const { return storyboard_; }

    void setNavigationBarHidden(bool hidden, bool animated = false);
    bool isNavigationBarHidden() const;
    QWidget* navigationBar() const { return bar_; }
    QToolButton* backButton() const { return back_; }
    // A widget kept in the bar beside the back button, whatever screen is on top.
    void addLeadingBarWidget(QWidget* widget);

    // Where an unwind goes when no screen of this stack offers its return point (a stack shown
    // beside another one); true when it was taken there.
    void setUnwindElsewhere(std::function<bool(const QString&)> elsewhere) {
        unwindElsewhere_ = std::move(elsewhere);
    }
    bool unwindElsewhere(const QString& name) const {
        return unwindElsewhere_ && unwindElsewhere_(name);
    }

signals:
    void topViewControllerChanged(ViewController* top);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* buildNavigationBar();
    // Alt+Left always, Escape unless the user is typing in a text entry.
    void installBackKeys();
    void goBackByKey(bool escape);
    void showRoot(ViewController* root);
    void refreshBar();
    void showTop();
    // In the bar when it can hold the title view whole beside its buttons, else on its own row.
    void placeTitleView();
    void orderBarForTab();
    int barWidthNeeded(QWidget* titleView) const;

    QList<ViewController*> stack_;
    QWidget* bar_ = nullptr;
    QToolButton* back_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    QHBoxLayout* titleSlot_ = nullptr;
    QHBoxLayout* rightSlot_ = nullptr;
    QWidget* titleRow_ = nullptr;
    QHBoxLayout* titleRowSlot_ = nullptr;
    QPointer<QWidget> titleView_;
    QStackedWidget* pages_ = nullptr;
    bool barHidden_ = false;
    const Storyboard* storyboard_ = nullptr;
    // Widgets the top screen lent to the bar (title view, right buttons) and their owner.
    struct Lent {
        QPointer<QWidget> widget;
        QPointer<ViewController> owner;
    };
    QList<Lent> lent_;
    QHBoxLayout* leadingSlot_ = nullptr;
    std::function<bool(const QString&)> unwindElsewhere_;
};

}  // namespace quillon
