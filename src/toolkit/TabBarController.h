#pragma once

#include <QIcon>
#include <QTabWidget>

#include "toolkit/ViewController.h"

namespace quillon {

// A tab container of screens with a black bar and red item tint (StackedTabBar). Each tab's screen
// gets the usual life-cycle calls when its tab comes into or goes out of view. Subclasses that
// override viewWillAppear / viewWillDisappear / viewDidDisappear must call the base class.
class TabBarController : public ViewController {
    Q_OBJECT
public:
    explicit TabBarController(QWidget* parent = nullptr);
    void addTab(ViewController* screen, const QString& title, const QIcon& icon = {});
    void setTabIcon(int index, const QIcon& icon);
    int count() const;
    ViewController* screenAt(int index) const;
    int currentIndex() const;
    void setCurrentIndex(int index);
    QTabWidget* tabWidget() const { return tabs_; }

    void viewWillAppear() override;
    void viewWillDisappear() override;
    void viewDidDisappear() override;

private:
    void onCurrentChanged(int index);

    QTabWidget* tabs_;
    bool appeared_ = false;
    int shownIndex_ = -1;
};

}  // namespace quillon
