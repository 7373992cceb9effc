#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

class QAbstractButton;
class QToolButton;

namespace quillon {

class NavigationController;
class AlertController;

// One screen. Life cycle: viewDidLoad runs once, before the first appearance (loadViewIfNeeded);
// viewWillAppear every time the screen comes into view, also on returns; viewWillDisappear and
// viewDidDisappear when another screen covers it or it is popped.
class ViewController : public QWidget {
    Q_OBJECT
public:
    explicit ViewController(QWidget* parent = nullptr);
    ~ViewController() override;

    void loadViewIfNeeded();
    bool isViewLoaded() const { return loaded_; }

    virtual void viewDidLoad() {}
    virtual void viewWillAppear() {}
    virtual void viewWillDisappear() {}
    virtual void viewDidDisappear() {}
    // Runs before the destination loads; the destination is already created.
    virtual void prepareForSegue(const QString& identifier, ViewController* destination) {
        Q_UNUSED(identifier);
        Q_UNUSED(destination);
    }

    QString title() const { return title_; }
    void setTitle(const QString& title);
    // A widget shown in place of the title in the navigation bar (e.g. a key selector).
    QWidget* titleView() const { return titleView_; }
    void setTitleView(QWidget* view);
    // Buttons shown on the right of the navigation bar while this screen is on top.
    QList<QAbstractButton*> rightBarButtons() const { return rightBarButtons_; }
    void addRightBarButton(QAbstractButton* button);
    // A "Save" bar button that runs `save`, as does Ctrl+S anywhere in the screen.
    QToolButton* addSaveButton(std::function<void()> save);
    // The widget that takes the keyboard focus each time this screen comes into view.
    QWidget* focusOnAppear() const { return focusOnAppear_; }
    void setFocusOnAppear(QWidget* widget) { focusOnAppear_ = widget; }

    // Whether Escape and Alt+Left may take this screen away now; the back button always may
    // (a form with unsaved changes says no).
    virtual bool leavesByKey() const { return true; }
    // While false, neither the back button nor the keys take this screen away (work running).
    void setBackEnabled(bool enabled);
    bool backEnabled() const { return backEnabled_; }
    // A screen that carries its own way back (under a hidden navigation bar) names it here;
    // Escape and Alt+Left then run it instead of popping the screen.
    void setBackAction(std::function<void()> action) { backAction_ = std::move(action); }
    const std::function<void()>& backAction() const { return backAction_; }

    NavigationController* navigationController() const;

    // Whether the navigation controller's storyboard knows the segue.
    bool canPerformSegue(const QString& identifier) const;
    // Named transition: creates the destination from the navigation controller's storyboard, calls
    // prepareForSegue(identifier, destination), then pushes it. Returns the destination, or
    // nullptr when the identifier is not registered (logged).
    ViewController* performSegue(const QString& identifier);
    // Return point: pops screens until the nearest screen below that offers `name`, then runs
    // its handler; else the navigation controller's unwindElsewhere. Logged and ignored when
    // no screen offers it.
    void unwind(const QString& name);

    // A return point this screen offers, with the handler that runs on arrival.
    void offerReturnPoint(const QString& name, std::function<void()> handler);
    bool offersReturnPoint(const QString& name) const;
    void arriveAtReturnPoint(const QString& name);

    // Presents an alert over this screen (window-modal, opened with open()).
    void present(AlertController* alert);

signals:
    void titleChanged(const QString& title);
    void navigationItemChanged();

private:
    friend class NavigationController;
    bool loaded_ = false;
    bool backEnabled_ = true;
    QPointer<NavigationController> navigation_;  // set when a NavigationController holds it
    QString title_;
    QPointer<QWidget> titleView_;
    QList<QAbstractButton*> rightBarButtons_;
    QPointer<QWidget> focusOnAppear_;
    QHash<QString, std::function<void()>> returnPoints_;
    std::function<void()> backAction_;
};

}  // namespace quillon
