#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace quillon {

// The device's camera. A device boundary: tests give screens one of their own.
class Camera {
public:
    virtual ~Camera() = default;
    virtual bool isAvailable() const = 0;
    // Opens a capture over `parent`'s window and returns at once. Exactly one of the callbacks
    // runs later, on the main thread: `taken` with the picture as the camera made it, or
    // `cancelled`; neither when `parent` is destroyed first. One capture at a time: asked again
    // while one is under way, the new one is cancelled.
    virtual void capture(QWidget* parent, std::function<void(const QImage& picture)> taken,
                         std::function<void()> cancelled) = 0;
};

// The desktop's video inputs through Qt Multimedia: a small window with a live view and a
// shutter button, modal to the window that asked.
class DesktopCamera : public Camera {
public:
    bool isAvailable() const override;
    void capture(QWidget* parent, std::function<void(const QImage& picture)> taken,
                 std::function<void()> cancelled) override;

private:
    QPointer<QWidget> open_;  // the capture under way
};

}  // namespace quillon
