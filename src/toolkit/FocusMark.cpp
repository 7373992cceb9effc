#include "toolkit/FocusMark.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include "toolkit/Appearance.h"

namespace quillon {

namespace {

constexpr int kFrameWidth = 2;
constexpr int kGap = 1;  // between the frame and the control

class FocusFrame : public QWidget {
public:
    explicit FocusFrame(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("focusMark"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const QPalette& around = parentWidget()->palette();
        const QColor colour = appearance::firstReadable(
            {around.color(QPalette::Highlight), around.color(QPalette::WindowText),
             QColor(Qt::black), QColor(Qt::white)},
            around.color(QPalette::Window));
        QPainter painter(this);
        painter.setPen(QPen(colour, kFrameWidth));
        painter.setBrush(Qt::NoBrush);
        const int half = kFrameWidth / 2;
        painter.drawRect(rect().adjusted(half, half, -half, -half));
    }
};

class FocusMarker : public QObject {
public:
    FocusMarker() : QObject(qApp) {
        connect(qApp, &QApplication::focusChanged, this,
                [this](QWidget*, QWidget* now) { follow(now); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == control_) {
            switch (event->type()) {
                case QEvent::Move:
                case QEvent::Resize:
                case QEvent::Show:
                case QEvent::Hide:
                case QEvent::ParentChange:
                    place();
                    break;
                default:
                    break;
            }
        }
        return false;
    }

private:
    void follow(QWidget* control) {
        if (control_) control_->removeEventFilter(this);
        // A window (a popup list) shows its own current row.
        control_ = control && !control->isWindow() ? control : nullptr;
        if (control_) control_->installEventFilter(this);
        place();
    }

    // The frame lies on the nearest ancestor with room for it around the control, short of
    // leaving the page that scrolls with the control.
    static QWidget* frameHolder(QWidget* control, const QRect& framed) {
        QWidget* holder = control->parentWidget();
        while (holder && !holder->isWindow() && holder->parentWidget() &&
               !holder->rect().contains(control->parentWidget()->mapTo(holder, framed.topLeft())) &&
               !qobject_cast<QAbstractScrollArea*>(holder->parentWidget()->parentWidget()))
            holder = holder->parentWidget();
        return holder;
    }

    void place() {
        if (!control_ || !control_->parentWidget() || !control_->isVisible()) {
            if (frame_) frame_->hide();
            return;
        }
        const int margin = kFrameWidth + kGap;
        const QRect framed = control_->geometry().adjusted(-margin, -margin, margin, margin);
        QWidget* parent = frameHolder(control_, framed);
        if (!frame_) frame_ = new FocusFrame(parent);
        if (frame_->parentWidget() != parent) frame_->setParent(parent);
        const QRect there(control_->parentWidget()->mapTo(parent, framed.topLeft()), framed.size());
        frame_->setGeometry(there & parent->rect());
        frame_->show();
        frame_->raise();
        frame_->update();
    }

    QPointer<QWidget> control_;
    QPointer<FocusFrame> frame_;
};

}  // namespace

void installFocusMark() {
    static QPointer<FocusMarker> marker;
    if (!marker && qApp) marker = new FocusMarker;
}

}  // namespace quillon
