#include "toolkit/ActivityIndicator.h"

#include <QEvent>
#include <QPainter>

namespace quillon {
namespace {
constexpr int kSpokes = 12;
constexpr int kSide = 28;
}  // namespace

ActivityIndicator::ActivityIndicator(QWidget* centredOn) : QWidget(centredOn) {
    setFixedSize(kSide, kSide);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    centredOn->installEventFilter(this);
    timer_.setInterval(80);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % kSpokes;
        update();
    });
    hide();
}

void ActivityIndicator::startAnimating() {
    centre();
    raise();
    show();
    timer_.start();
}

void ActivityIndicator::stopAnimating() {
    timer_.stop();
    hide();
}

void ActivityIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    for (int i = 0; i < kSpokes; ++i) {
        QColor colour = palette().color(QPalette::WindowText);
        colour.setAlphaF(0.15 + 0.85 * ((i - step_ + kSpokes) % kSpokes) / double(kSpokes));
        painter.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -kSide * 0.22), QPointF(0, -kSide * 0.45));
        painter.rotate(360.0 / kSpokes);
    }
}

bool ActivityIndicator::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) centre();
    return QWidget::eventFilter(watched, event);
}

void ActivityIndicator::centre() {
    move((parentWidget()->width() - width()) / 2, (parentWidget()->height() - height()) / 2);
}

}  // namespace quillon
