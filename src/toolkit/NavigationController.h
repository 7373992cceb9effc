#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QLabel;
class QStackedWidget;
class QToolButton;
class QHBoxLayout;

namespace quillon {

class Storyboard;
class ViewController;

// One window's stack of screens under a navigation bar (back button, title or title view,
// the top screen's right bar buttons). Owns its screens; popped screens are deleted later.
// Changing screens never resizes the window: the stack gives up room rather than asking for it.
// Keys: Escape and Alt+Left go back (Escape not while typing, except in an empty search bar)
// when the top screen lets them (leavesByKey) and its back is enabled;
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
    QList<ViewController*> viewControllers() const { return stack_; }

    // Where performSegue finds its destinations; it must outlive this controller.
    void setStoryboard(const Storyboard* storyboard) { storyboard_ = storyboard; }
    const Storyboard* storyboard() const { return storyboard_; }

    void setNavigationBarHidden(bool hidden, bool animated = false);
    bool isNavigationBarHidden() const;
    QWidget* navigationBar() const { return bar_; }
    QToolButton* backButton() const { return back_; }
    // A line under the screens telling of work going on in the background; hidden while empty.
    void setStatusText(const QString& text);
    QLabel* statusArea() const { return status_; }

signals:
    void topViewControllerChanged(ViewController* top);

private:
    QWidget* buildNavigationBar();
    // Alt+Left always, Escape unless the user is typing in a text entry.
    void installBackKeys();
    void goBackByKey(bool escape);
    void showRoot(ViewController* root);
    void refreshBar();
    void showTop();

    QList<ViewController*> stack_;
    QWidget* bar_ = nullptr;
    QToolButton* back_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    QHBoxLayout* titleSlot_ = nullptr;
    QHBoxLayout* rightSlot_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QLabel* status_ = nullptr;
    bool barHidden_ = false;
    const Storyboard* storyboard_ = nullptr;
    // Widgets the top screen lent to the bar (title view, right buttons) and their owner.
    struct Lent {
        QPointer<QWidget> widget;
        QPointer<ViewController> owner;
    };
    QList<Lent> lent_;
};

}  // namespace quillon
