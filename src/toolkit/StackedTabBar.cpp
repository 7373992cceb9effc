#include "toolkit/StackedTabBar.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace quillon {

namespace {

constexpr int kPadding = 4;
constexpr int kGap = 2;
const QColor kBar(Qt::black);
const QColor kCaption(0xd3, 0xd3, 0xd3);  // light grey
const QColor kSelectedCaption(Qt::red);

}  // namespace

StackedTabBar::StackedTabBar(QWidget* parent) : QTabBar(parent) {
    setExpanding(true);
    setDrawBase(false);
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideRight);
    setIconSize(QSize(28, 28));
    setAutoFillBackground(true);
    QPalette bar = palette();
    bar.setColor(QPalette::Window, kBar);
    setPalette(bar);
}

QFont StackedTabBar::captionFont() const {
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    return small;
}

QSize StackedTabBar::tabSizeHint(int index) const {
    const QFontMetrics metrics(captionFont());
    const int width = std::max(iconSize().width(), metrics.horizontalAdvance(tabText(index)));
    return {width + 4 * kPadding,
            kPadding + iconSize().height() + kGap + metrics.height() + kPadding};
}

QSize StackedTabBar::minimumTabSizeHint(int index) const {
    return {iconSize().width() + 2 * kPadding, tabSizeHint(index).height()};
}

void StackedTabBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBar);
    const QFont font = captionFont();
    const QFontMetrics metrics(font);
    painter.setFont(font);
    for (int index = 0; index < count(); ++index) {
        const QRect tab = tabRect(index);
        const bool selected = index == currentIndex();
        const QRect image(tab.center().x() - iconSize().width() / 2, tab.top() + kPadding,
                          iconSize().width(), iconSize().height());
        tabIcon(index).paint(&painter, image);
        const QRect caption(tab.left() + kPadding, image.bottom() + 1 + kGap,
                            tab.width() - 2 * kPadding, metrics.height());
        painter.setPen(selected ? kSelectedCaption : kCaption);
        painter.drawText(caption, Qt::AlignCenter,
                         metrics.elidedText(tabText(index), Qt::ElideRight, caption.width()));
        if (selected && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = tab.adjusted(1, 1, -1, -1);
            focus.backgroundColor = kBar;
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
}

}  // namespace quillon
