#include "toolkit/MenuColumn.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "toolkit/Appearance.h"
#include "toolkit/ViewController.h"

namespace quillon {

namespace {
// A column that stays no wider than a readable width, centred in a wide screen.
class ReadableColumnLayout : public QVBoxLayout {
public:
    using QVBoxLayout::QVBoxLayout;

    void setGeometry(const QRect& rect) override {
        const QMargins margins = contentsMargins();
        const int widest = appearance::kReadableColumnWidth + margins.left() + margins.right();
        QRect area = rect;
        if (area.width() > widest) {
            area.setWidth(widest);
            area.moveLeft(rect.left() + (rect.width() - widest) / 2);
        }
        QVBoxLayout::setGeometry(area);
    }
};
}  // namespace

QVBoxLayout* createMenuColumn(ViewController* screen) {
    auto* column = new ReadableColumnLayout(screen);
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(10);
    return column;
}

QPushButton* addMenuEntry(QVBoxLayout* column, ViewController* screen, const QString& caption,
                          const QString& segue) {
    auto* button = new QPushButton(caption);
    button->setMinimumHeight(40);
    button->setEnabled(SegueRegistry::isRegistered(segue));
    QObject::connect(button, &QPushButton::clicked, screen,
                     [screen, segue] { screen->performSegue(segue); });
    column->addWidget(button);
    return button;
}

}  // namespace quillon
