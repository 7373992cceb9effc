#include "platform/Camera.h"

#include <QCamera>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QImageCapture>
#include <QKeyEvent>
#include <QLabel>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVideoWidget>

namespace quillon {

namespace {

// A live view of the default camera with a shutter button, modal to the window that asked: the
// form cannot start another capture, nor change its own, while it is open. Ends exactly once:
// with the picture, or cancelled by the Cancel button, Escape or closing the window. The outcome is
// posted to the parent, so it runs after the window has closed, and not at all when the parent is
// gone by then (the window goes with its parent: the one who asked is gone).
class CaptureWindow : public QWidget {
public:
    CaptureWindow(QWidget* parent, std::function<void(const QImage&)> taken,
                  std::function<void()> cancelled)
        : QWidget(parent, Qt::Dialog), taken_(std::move(taken)), cancelled_(std::move(cancelled)) {
        setObjectName(QStringLiteral("cameraCapture"));
        setWindowTitle(QStringLiteral("Camera"));
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowModality(Qt::WindowModal);

        auto* layout = new QVBoxLayout(this);
        status_ = new QLabel(this);
        status_->setObjectName(QStringLiteral("cameraStatus"));
        status_->setTextFormat(Qt::PlainText);
        status_->setWordWrap(true);
        status_->setAlignment(Qt::AlignCenter);
        auto* buttons = new QHBoxLayout;
        auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
        cancel->setObjectName(QStringLiteral("cameraCancel"));
        shutter_ = new QPushButton(QStringLiteral("Take Picture"), this);
        shutter_->setObjectName(QStringLiteral("cameraShutter"));
        shutter_->setEnabled(false);
        buttons->addWidget(cancel);
        buttons->addStretch();
        buttons->addWidget(shutter_);
        connect(cancel, &QPushButton::clicked, this, [this] { close(); });
        connect(shutter_, &QPushButton::clicked, this, [this] { takePicture(); });

        const QCameraDevice device = QMediaDevices::defaultVideoInput();
        if (device.isNull()) {
            status_->setText(QStringLiteral("There is no camera available"));
            layout->addWidget(status_, 1);
        } else {
            startCamera(device, layout);
        }
        layout->addLayout(buttons);
        resize(480, 420);
    }

    ~CaptureWindow() override {
        // The session must let go of the view before the view is destroyed.
        if (session_) session_->setVideoOutput(nullptr);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) {
            close();
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            takePicture();
            return;
        }
        QWidget::keyPressEvent(event);
    }

    void closeEvent(QCloseEvent* event) override {
        finish(cancelled_);
        QWidget::closeEvent(event);
    }

private:
    void startCamera(const QCameraDevice& device, QVBoxLayout* layout) {
        session_ = new QMediaCaptureSession(this);
        camera_ = new QCamera(device, this);
        capture_ = new QImageCapture(this);
        auto* view = new QVideoWidget(this);
        view->setMinimumSize(320, 240);
        session_->setCamera(camera_);
        session_->setImageCapture(capture_);
        session_->setVideoOutput(view);
        layout->addWidget(view, 1);
        layout->addWidget(status_);
        status_->setText(device.description());

        connect(capture_, &QImageCapture::readyForCaptureChanged, shutter_,
                [this](bool ready) { shutter_->setEnabled(ready && !finished_); });
        connect(capture_, &QImageCapture::imageCaptured, this,
                [this](int, const QImage& picture) { deliver(picture); });
        connect(capture_, &QImageCapture::errorOccurred, this,
                [this](int, QImageCapture::Error, const QString& reason) { showError(reason); });
        connect(camera_, &QCamera::errorOccurred, this,
                [this](QCamera::Error, const QString& reason) { showError(reason); });
        camera_->start();
    }

    void takePicture() {
        if (!capture_ || !capture_->isReadyForCapture() || finished_) return;
        shutter_->setEnabled(false);
        capture_->capture();
    }

    void deliver(const QImage& picture) {
        if (picture.isNull()) {
            showError(QStringLiteral("The camera gave no picture."));
            return;
        }
        finish([taken = taken_, picture] {
            if (taken) taken(picture);
        });
        close();
    }

    void showError(const QString& reason) {
        status_->setText(reason);
        shutter_->setEnabled(capture_ && capture_->isReadyForCapture() && !finished_);
    }

    void finish(std::function<void()> outcome) {
        if (finished_) return;
        finished_ = true;
        if (camera_) camera_->stop();
        if (!outcome) return;
        QObject* receiver = parent() ? parent() : QCoreApplication::instance();
        QMetaObject::invokeMethod(receiver, std::move(outcome), Qt::QueuedConnection);
    }

    std::function<void(const QImage&)> taken_;
    std::function<void()> cancelled_;
    bool finished_ = false;
    QLabel* status_ = nullptr;
    QPushButton* shutter_ = nullptr;
    QMediaCaptureSession* session_ = nullptr;
    QCamera* camera_ = nullptr;
    QImageCapture* capture_ = nullptr;
};

}  // namespace

bool DesktopCamera::isAvailable() const {
    return !QMediaDevices::videoInputs().isEmpty();
}

void DesktopCamera::capture(QWidget* parent, std::function<void(const QImage& picture)> taken,
                            std::function<void()> cancelled) {
    if (open_ && open_->isVisible()) {
        // One capture at a time: the one under way comes to the front, this one is cancelled.
        open_->raise();
        open_->activateWindow();
        QObject* receiver = parent ? static_cast<QObject*>(parent) : QCoreApplication::instance();
        if (cancelled)
            QMetaObject::invokeMethod(receiver, std::move(cancelled), Qt::QueuedConnection);
        return;
    }
    auto* window = new CaptureWindow(parent, std::move(taken), std::move(cancelled));
    open_ = window;
    window->show();
    window->raise();
}

}  // namespace quillon
