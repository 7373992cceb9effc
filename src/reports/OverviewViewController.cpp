#include "reports/OverviewViewController.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfView>
#include <QScreen>
#include <QShortcut>
#include <QStackedLayout>
#include <QWheelEvent>
#include <algorithm>

#include "platform/DiagnosticLog.h"
#include "toolkit/KeyboardShortcuts.h"

namespace quillon {

namespace {

constexpr double kZoomStep = 1.25;
constexpr double kSmallestZoom = 0.25;
constexpr double kLargestZoom = 8.0;

QString noticeFor(QPdfDocument::Error error) {
    QString reason;
    switch (error) {
        case QPdfDocument::Error::FileNotFound:
            return QStringLiteral("The overview document is missing from this copy of Quillon.");
        case QPdfDocument::Error::InvalidFileFormat:
            reason = QStringLiteral("it is not a PDF file");
            break;
        case QPdfDocument::Error::IncorrectPassword:
        case QPdfDocument::Error::UnsupportedSecurityScheme:
            reason = QStringLiteral("it is locked");
            break;
        case QPdfDocument::Error::None:
            reason = QStringLiteral("it has no pages");
            break;
        default:
            reason = QStringLiteral("it is damaged");
            break;
    }
    return QStringLiteral("The overview document in this copy of Quillon cannot be read: %1.")
        .arg(reason);
}

}  // namespace

OverviewViewController::OverviewViewController(QString documentPath, QWidget* parent)
    : ViewController(parent), documentPath_(std::move(documentPath)) {
    pages_ = new QStackedLayout(this);
    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("overviewNotice"));
    notice_->setTextFormat(Qt::PlainText);
    notice_->setWordWrap(true);
    notice_->setAlignment(Qt::AlignCenter);
    notice_->setMargin(24);
    pages_->addWidget(notice_);
}

void OverviewViewController::viewDidLoad() {
    setTitle(QStringLiteral("Larkspire Overview"));
    auto* view = new QPdfView(this);
    TextView = view;
    view->setObjectName(QStringLiteral("overviewDocument"));
    view->setAccessibleName(QStringLiteral("Overview"));
    view->setPageMode(QPdfView::PageMode::MultiPage);
    view->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    view->viewport()->installEventFilter(this);
    pages_->addWidget(view);

    document_ = new QPdfDocument(this);
    const QPdfDocument::Error error = document_->load(documentPath_);
    if (error == QPdfDocument::Error::None && document_->pageCount() > 0) {
        view->setDocument(document_);
        pages_->setCurrentWidget(view);
        setFocusOnAppear(view);  // arrow keys and Page Down scroll at once
    } else {
        notice_->setText(noticeFor(error));
        pages_->setCurrentWidget(notice_);
        diagnosticLog(QStringLiteral("Overview document %1 not shown: error %2")
                          .arg(documentPath_, QString::number(int(error))));
    }

    // Off while the screen is hidden under another one.
    addShortcut(this, KeyCommand::ZoomIn, Qt::WindowShortcut, [this] { zoomIn(); });
    addShortcut(this, KeyCommand::ZoomOut, Qt::WindowShortcut, [this] { zoomOut(); });
    addShortcut(this, KeyCommand::ZoomReset, Qt::WindowShortcut, [this] { zoomToWidth(); });
}

QString OverviewViewController::notice() const {
    return pages_->currentWidget() == notice_ ? notice_->text() : QString();
}

void OverviewViewController::zoomIn() {
    zoomBy(kZoomStep);
}

void OverviewViewController::zoomOut() {
    zoomBy(1 / kZoomStep);
}

void OverviewViewController::zoomToWidth() {
    if (TextView) TextView->setZoomMode(QPdfView::ZoomMode::FitToWidth);
}

void OverviewViewController::zoomBy(double factor) {
    if (!TextView || !TextView->document()) return;
    const double scale = std::clamp(currentScale() * factor, kSmallestZoom, kLargestZoom);
    TextView->setZoomMode(QPdfView::ZoomMode::Custom);
    TextView->setZoomFactor(scale);
}

// In the fitted mode the viewer does not report its scale; it is the width it fits the first
// page into over the page's width at zoom 1 (points at the screen's logical resolution).
double OverviewViewController::currentScale() const {
    if (TextView->zoomMode() == QPdfView::ZoomMode::Custom) return TextView->zoomFactor();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double pointWidth = document_->pagePointSize(0).width();
    if (!screen || pointWidth <= 0) return 1;
    const QMargins margins = TextView->documentMargins();
    const double available = TextView->viewport()->width() - margins.left() - margins.right();
    const double atZoomOne = pointWidth * screen->logicalDotsPerInch() / 72;
    return available > 0 ? available / atZoomOne : 1;
}

bool OverviewViewController::eventFilter(QObject* watched, QEvent* event) {
    if (TextView && watched == TextView->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int steps = wheel->angleDelta().y();
            if (steps > 0) zoomIn();
            if (steps < 0) zoomOut();
            return true;
        }
    }
    return ViewController::eventFilter(watched, event);
}

}  // namespace quillon
