#include "toolkit/MenuColumn.h"

#include <QEvent>
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
// Enables its button on each show when the screen's storyboard can perform the segue.
class SegueAvailability : public QObject {
public:
    SegueAvailability(ViewController* screen, QString segue, QObject* parent)
        : QObject(parent), screen_(screen), segue_(std::move(segue)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            static_cast<QWidget*>(watched)->setEnabled(screen_->canPerformSegue(segue_));
        return false;
    }

private:
    ViewController* screen_;
    QString segue_;
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
    // Known only once the screen is in a window: settled when the button is first shown.
    button->installEventFilter(new SegueAvailability(screen, segue, button));
    QObject::connect(button, &QPushButton::clicked, screen,
                     [screen, segue] { screen->performSegue(segue); });
    column->addWidget(button);
    return button;
}

}  // namespace quillon
