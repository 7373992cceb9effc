#pragma once

#include <QImage>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <functional>

class QPainter;
class QWidget;

// What the two cover viewers share: the zoom arithmetic, the ways a user zooms and drags, and
// drawing a picture that may be zoomed far beyond the view without ever scaling it whole.

namespace quillon {

// One Ctrl+wheel notch, one Ctrl+plus or Ctrl+minus.
inline constexpr double kZoomStep = 1.25;

// A zoom about the centre of a view and a shift: a content point p is shown at
// centre + offset + scale * (p - centre).
struct ZoomState {
    double scale = 1.0;
    QPointF offset;

    QPointF map(QPointF point, QPointF centre) const {
        return centre + offset + scale * (point - centre);
    }
    QRectF map(const QRectF& rect, QPointF centre) const {
        return QRectF(map(rect.topLeft(), centre), map(rect.bottomRight(), centre));
    }
    // Sets the scale, keeping the content shown at `at` where it is.
    void zoomTo(double newScale, QPointF at, QPointF centre);
    void reset() { *this = ZoomState{}; }
};

// Turns the ways a user zooms and drags a picture into two calls: pinching (a touch screen's
// gesture or a touchpad's), Ctrl+wheel, and dragging with the left button. A plain wheel is left
// to the parents, where it scrolls. Lives as long as `target`.
class ZoomInput : public QObject {
public:
    using Zoom = std::function<void(double factor, QPointF at)>;
    using Pan = std::function<void(QPointF by)>;
    ZoomInput(QWidget* target, Zoom zoom, Pan pan);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* target_;
    Zoom zoom_;
    Pan pan_;
    bool dragging_ = false;
    QPointF lastDrag_;
};

// A decoded cover and a copy of it scaled to the size it is shown at without zoom, made once per
// size. Unzoomed (or smaller) it is drawn from that copy; zoomed in, only the part of the full
// picture that falls inside the view is drawn, so a cover at 10x costs no more memory than at 1x.
class ShownCover {
public:
    explicit ShownCover(QImage full = {});
    const QImage& full() const { return full_; }
    bool isNull() const { return full_.isNull(); }
    // Draws the cover stretched over `target` (which may reach far beyond the view), only what
    // falls inside `visible`. `unzoomed` is the size of the target without zoom, in the same
    // logical pixels.
    void paint(QPainter& painter, const QRectF& target, const QRectF& visible, QSizeF unzoomed);

private:
    QImage full_;
    QImage fitted_;
};

// Draws the part of `picture`, stretched over `target`, that falls inside `visible`.
void paintVisiblePart(QPainter& painter, const QImage& picture, const QRectF& target,
                      const QRectF& visible);

}  // namespace quillon
