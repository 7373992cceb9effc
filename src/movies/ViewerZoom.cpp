#include "movies/ViewerZoom.h"

#include <QGestureEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPaintDevice>
#include <QPainter>
#include <QPinchGesture>
#include <QWheelEvent>
#include <QWidget>
#include <cmath>

namespace quillon {

void ZoomState::zoomTo(double newScale, QPointF at, QPointF centre) {
    const double factor = newScale / scale;
    offset = (at - centre) - factor * (at - centre - offset);
    scale = newScale;
}

ZoomInput::ZoomInput(QWidget* target, Zoom zoom, Pan pan)
    : QObject(target), target_(target), zoom_(std::move(zoom)), pan_(std::move(pan)) {
    target->installEventFilter(this);
    target->grabGesture(Qt::PinchGesture);
}

bool ZoomInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched != target_) return false;
    switch (event->type()) {
        case QEvent::Wheel: {
            auto* wheel = static_cast<QWheelEvent*>(event);
            if (!(wheel->modifiers() & Qt::ControlModifier)) return false;
            const double notches = wheel->angleDelta().y() / 120.0;
            if (notches != 0) zoom_(std::pow(kZoomStep, notches), wheel->position());
            return true;
        }
        case QEvent::Gesture: {
            auto* gestures = static_cast<QGestureEvent*>(event);
            auto* pinch = static_cast<QPinchGesture*>(gestures->gesture(Qt::PinchGesture));
            if (!pinch) return false;
            // As the gesture begins or changes; its end and cancel change nothing.
            const bool moving =
                pinch->state() == Qt::GestureStarted || pinch->state() == Qt::GestureUpdated;
            if (moving && (pinch->changeFlags() & QPinchGesture::ScaleFactorChanged) &&
                pinch->scaleFactor() > 0) {
                zoom_(pinch->scaleFactor(), target_->mapFromGlobal(pinch->centerPoint()));
            }
            gestures->accept(pinch);
            return true;
        }
        case QEvent::NativeGesture: {
            auto* gesture = static_cast<QNativeGestureEvent*>(event);
            if (gesture->gestureType() != Qt::ZoomNativeGesture) return false;
            if (gesture->value() > -1) zoom_(1 + gesture->value(), gesture->position());
            return true;
        }
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) return false;
            dragging_ = true;
            lastDrag_ = mouse->position();
            target_->setCursor(Qt::ClosedHandCursor);
            return true;
        }
        case QEvent::MouseMove: {
            if (!dragging_) return false;
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPointF by = mouse->position() - lastDrag_;
            lastDrag_ = mouse->position();
            pan_(by);
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton || !dragging_) return false;
            dragging_ = false;
            target_->unsetCursor();
            return true;
        }
        default:
            return false;
    }
}

namespace {

// Formats the raster engine draws without converting the whole picture first, on every paint.
QImage paintable(QImage picture) {
    switch (picture.format()) {
        case QImage::Format_Invalid:
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32_Premultiplied:
            return picture;
        default:
            return picture.convertToFormat(picture.hasAlphaChannel()
                                               ? QImage::Format_ARGB32_Premultiplied
                                               : QImage::Format_RGB32);
    }
}

}  // namespace

ShownCover::ShownCover(QImage full) : full_(paintable(std::move(full))) {}

void ShownCover::paint(QPainter& painter, const QRectF& target, const QRectF& visible,
                       QSizeF unzoomed) {
    if (full_.isNull()) return;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize wanted = (unzoomed * ratio).toSize();
    const bool atMostUnzoomed = target.width() <= unzoomed.width() + 0.5;
    // A copy is only worth having when it is smaller than the picture itself.
    if (atMostUnzoomed && !wanted.isEmpty() && wanted.width() < full_.width() &&
        wanted.height() < full_.height()) {
        if (fitted_.size() != wanted)
            fitted_ = full_.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        paintVisiblePart(painter, fitted_, target, visible);
        return;
    }
    paintVisiblePart(painter, full_, target, visible);
}

void paintVisiblePart(QPainter& painter, const QImage& picture, const QRectF& target,
                      const QRectF& visible) {
    if (picture.isNull() || target.isEmpty()) return;
    const QRectF part = target.intersected(visible);
    if (part.isEmpty()) return;
    const double sx = picture.width() / target.width();
    const double sy = picture.height() / target.height();
    const QRectF source((part.left() - target.left()) * sx, (part.top() - target.top()) * sy,
                        part.width() * sx, part.height() * sy);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(part, picture, source);
}

}  // namespace quillon
