#pragma once

#include <QTabBar>

namespace quillon {

// A tab bar whose tabs show their image above their caption, as a phone's tab bar does, so five
// tabs fit side by side in a narrow window. Black, the selected caption red; the images are drawn
// in their own colours. A caption too long for a narrow tab is elided, never cut.
class StackedTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit StackedTabBar(QWidget* parent = nullptr);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    QFont captionFont() const;
};

}  // namespace quillon
