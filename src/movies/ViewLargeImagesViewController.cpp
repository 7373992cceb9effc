#include "movies/ViewLargeImagesViewController.h"

#include <QEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "handover/SelectionState.h"
#include "handover/Services.h"
#include "images/CoverImage.h"
#include "movies/MovieSegues.h"
#include "movies/ScreenShare.h"
#include "toolkit/KeyboardShortcuts.h"

namespace quillon {

namespace {

constexpr int kBorder = 2;
constexpr int kSpacing = 8;

}  // namespace

MovieCollectionViewCell::MovieCollectionViewCell(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    new ZoomInput(
        this, [this](double factor, QPointF at) { pinchedView(factor, at); },
        [this](QPointF by) { draggedView(by); });
}

void MovieCollectionViewCell::setMovieImage(QImage picture, const QString& error) {
    cover_ = ShownCover(std::move(picture));
    error_ = error;
    zoom_.reset();
    update();
}

QRectF MovieCollectionViewCell::pictureArea() const {
    return QRectF(rect()).adjusted(kBorder, kBorder, -kBorder, -kBorder);
}

QRectF MovieCollectionViewCell::fittedRect() const {
    const QRectF area = pictureArea();
    if (cover_.isNull() || area.isEmpty()) return {};
    QSizeF size = QSizeF(cover_.full().size()).scaled(area.size(), Qt::KeepAspectRatio);
    QRectF fitted(QPointF(), size);
    fitted.moveCenter(area.center());
    return fitted;
}

QRectF MovieCollectionViewCell::shownRect() const {
    return zoom_.map(fittedRect(), pictureArea().center());
}

void MovieCollectionViewCell::pinchedView(double factor, QPointF at) {
    const double wanted = std::clamp(zoom_.scale * factor, 1.0, maxZoom);
    zoom_.zoomTo(wanted, at, pictureArea().center());
    keepCovered();
    update();
}

void MovieCollectionViewCell::zoomAboutCentre(double factor) {
    pinchedView(factor, pictureArea().center());
}

void MovieCollectionViewCell::draggedView(QPointF by) {
    if (zoom_.scale <= 1) return;
    zoom_.offset += by;
    keepCovered();
    update();
}

void MovieCollectionViewCell::resetZoom() {
    if (zoom_.scale == 1 && zoom_.offset.isNull()) return;
    zoom_.reset();
    update();
}

// A zoomed cover is never dragged off the part of the cell it can fill; along a side where it is
// narrower than the cell, it stays centred.
void MovieCollectionViewCell::keepCovered() {
    if (zoom_.scale <= 1) {
        zoom_.reset();
        return;
    }
    const QRectF fitted = fittedRect();
    const QRectF area = pictureArea();
    const double roomX = std::max(0.0, (zoom_.scale * fitted.width() - area.width()) / 2);
    const double roomY = std::max(0.0, (zoom_.scale * fitted.height() - area.height()) / 2);
    zoom_.offset.setX(std::clamp(zoom_.offset.x(), -roomX, roomX));
    zoom_.offset.setY(std::clamp(zoom_.offset.y(), -roomY, roomY));
}

void MovieCollectionViewCell::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    keepCovered();
}

void MovieCollectionViewCell::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QRectF area = pictureArea();
    if (cover_.isNull()) {
        painter.setPen(palette().windowText().color());
        const QString text = error_.isEmpty()
                                 ? QStringLiteral("This cover cannot be shown.")
                                 : QStringLiteral("This cover cannot be shown: %1").arg(error_);
        painter.drawText(area.adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, text);
    } else {
        painter.save();
        painter.setClipRect(area);
        cover_.paint(painter, shownRect(), area, fittedRect().size());
        painter.restore();
    }
    painter.setPen(QPen(Qt::yellow, kBorder));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(
        QRectF(rect()).adjusted(kBorder / 2.0, kBorder / 2.0, -kBorder / 2.0, -kBorder / 2.0));
}

ViewLargeImagesViewController::ViewLargeImagesViewController(Services& services, QWidget* parent)
    : ViewController(parent),
      services_(services),
      shareButton_(new QToolButton),
      viewCardButton_(new QToolButton) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    clCollectionView = new QScrollArea(this);
    clCollectionView->setObjectName(QStringLiteral("clCollectionView"));
    clCollectionView->setAccessibleName(QStringLiteral("Covers"));
    clCollectionView->setFrameShape(QFrame::NoFrame);
    clCollectionView->setWidgetResizable(true);
    clCollectionView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    cellsHolder_ = new QWidget;
    cellsLayout_ = new QVBoxLayout(cellsHolder_);
    cellsLayout_->setContentsMargins(0, 0, 0, 0);
    cellsLayout_->setSpacing(kSpacing);
    clCollectionView->setWidget(cellsHolder_);
    clCollectionView->viewport()->installEventFilter(this);
    layout->addWidget(clCollectionView);

    viewCardButton_->setText(QStringLiteral("View Card"));
    viewCardButton_->setObjectName(QStringLiteral("viewCardButton"));
    viewCardButton_->setShortcut(shortcutKeys(KeyCommand::ViewCard).constFirst());
    viewCardButton_->setToolTip("View Card (" + shortcutText(KeyCommand::ViewCard) + ")");
    shareButton_->setText(QStringLiteral("Share"));
    shareButton_->setObjectName(QStringLiteral("shareButton"));
    shareButton_->setIcon(QIcon::fromTheme(QStringLiteral("document-send")));
    shareButton_->setToolTip(QStringLiteral("Share a picture of this screen"));
    shareButton_->setAccessibleName(QStringLiteral("Share"));
    addRightBarButton(viewCardButton_);
    addRightBarButton(shareButton_);
    connect(viewCardButton_, &QToolButton::clicked, this, [this] { performSegue(kViewCardSegue); });
    connect(shareButton_, &QToolButton::clicked, this, [this] { shareButtonClicked(); });
}

void ViewLargeImagesViewController::viewDidLoad() {
    const SelectionState& selection = services_.selection;
    MovieImages.clear();
    for (const std::optional<QByteArray>& cover :
         {selection.SelectedFrontImage, selection.SelectedBackImage}) {
        if (cover && !cover->isEmpty()) MovieImages << *cover;
    }
    // Each cover is decoded once, at its full size: the largest zoom needs every pixel of it.
    for (const QByteArray& bytes : std::as_const(MovieImages)) {
        auto* cell = new MovieCollectionViewCell(cellsHolder_);
        DecodedCover decoded = decodeCover(bytes);
        cell->setMovieImage(std::move(decoded.image), decoded.error);
        cellsLayout_->addWidget(cell);
        cells_ << cell;
    }
    if (cells_.isEmpty()) {
        auto* notice = new QLabel(QStringLiteral("No covers to show."), cellsHolder_);
        notice->setTextFormat(Qt::PlainText);
        notice->setAlignment(Qt::AlignCenter);
        cellsLayout_->addWidget(notice);
    }
    fitCellsToViewport();
    connect(clCollectionView->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { resetCellsOutOfView(); });

    // Off while the screen is hidden under another one.
    addShortcut(this, KeyCommand::ZoomIn, Qt::WindowShortcut, [this] { zoomIn(); });
    addShortcut(this, KeyCommand::ZoomOut, Qt::WindowShortcut, [this] { zoomOut(); });
    addShortcut(this, KeyCommand::ZoomReset, Qt::WindowShortcut, [this] { resetZoom(); });
}

MovieCollectionViewCell* ViewLargeImagesViewController::cellForItem(int index) const {
    return index >= 0 && index < cells_.size() ? cells_[index] : nullptr;
}

void ViewLargeImagesViewController::zoomIn() {
    if (MovieCollectionViewCell* cell = currentCell()) cell->zoomAboutCentre(kZoomStep);
}

void ViewLargeImagesViewController::zoomOut() {
    if (MovieCollectionViewCell* cell = currentCell()) cell->zoomAboutCentre(1 / kZoomStep);
}

void ViewLargeImagesViewController::resetZoom() {
    for (MovieCollectionViewCell* cell : std::as_const(cells_)) cell->resetZoom();
}

void ViewLargeImagesViewController::shareButtonClicked() {
    shareScreen(this, kLargeViewerShare, services_, &ScreenShotImage);
}

MovieCollectionViewCell* ViewLargeImagesViewController::currentCell() const {
    QWidget* viewport = clCollectionView->viewport();
    MovieCollectionViewCell* best = nullptr;
    qint64 bestArea = 0;
    for (MovieCollectionViewCell* cell : cells_) {
        if (cell->underMouse()) return cell;
        const QRect shown =
            QRect(cell->mapTo(viewport, QPoint()), cell->size()).intersected(viewport->rect());
        const qint64 area = qint64(shown.width()) * shown.height();
        if (area > bestArea) {
            best = cell;
            bestArea = area;
        }
    }
    return best;
}

// Each cover gets the whole height of the view; the next one is a scroll away.
void ViewLargeImagesViewController::fitCellsToViewport() {
    const int height = std::max(100, clCollectionView->viewport()->height());
    for (MovieCollectionViewCell* cell : std::as_const(cells_)) cell->setFixedHeight(height);
}

void ViewLargeImagesViewController::resetCellsOutOfView() {
    QWidget* viewport = clCollectionView->viewport();
    for (MovieCollectionViewCell* cell : std::as_const(cells_)) {
        const QRect shown(cell->mapTo(viewport, QPoint()), cell->size());
        if (!shown.intersects(viewport->rect())) cell->resetZoom();
    }
}

bool ViewLargeImagesViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == clCollectionView->viewport() && event->type() == QEvent::Resize) {
        fitCellsToViewport();
        resetCellsOutOfView();
    }
    return ViewController::eventFilter(watched, event);
}

}  // namespace quillon
