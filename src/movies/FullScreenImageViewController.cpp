#include "movies/FullScreenImageViewController.h"

#include <QKeySequence>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "handover/SelectionState.h"
#include "handover/Services.h"
#include "images/CoverImage.h"
#include "movies/ScreenShare.h"
#include "toolkit/KeyboardShortcuts.h"

namespace quillon {

namespace {

constexpr double kMargin = 12;

}  // namespace

CardCollectionView::CardCollectionView(const SelectionState& selection, QWidget* parent)
    : QWidget(parent), selection_(selection) {
    setObjectName(QStringLiteral("ZoomCollectionView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    new ZoomInput(
        this, [this](double factor, QPointF at) { pinchedView(factor, at); },
        [this](QPointF by) { draggedView(by); });
}

int CardCollectionView::numberOfItems() const {
    return int(selection_.SelectedImages.size());
}

// Without zoom the cards are stacked, each fitted into an equal share of the view's height.
QRectF CardCollectionView::unzoomedCellRect(int index) const {
    const int count = numberOfItems();
    if (index < 0 || index >= count) return {};
    const double slotHeight = (height() - kMargin * (count + 1)) / count;
    const QRectF slot(kMargin, kMargin + index * (slotHeight + kMargin), width() - 2 * kMargin,
                      slotHeight);
    if (slot.isEmpty()) return {};
    const QImage& picture = selection_.SelectedImages[index];
    if (picture.isNull()) return slot;
    QRectF cell(QPointF(), QSizeF(picture.size()).scaled(slot.size(), Qt::KeepAspectRatio));
    cell.moveCenter(slot.center());
    return cell;
}

QRectF CardCollectionView::cellRect(int index) const {
    return zoom_.map(unzoomedCellRect(index), QRectF(rect()).center());
}

void CardCollectionView::pinchedView(double factor, QPointF at) {
    const double wanted = zoom_.scale * factor;
    // No limits, only arithmetic's: a scale that is no number any more is not taken.
    if (!std::isnormal(wanted) || wanted < 0) return;
    zoom_.zoomTo(wanted, at, QRectF(rect()).center());
    update();
}

void CardCollectionView::draggedView(QPointF by) {
    zoom_.offset += by;
    update();
}

void CardCollectionView::resetZoom() {
    zoom_.reset();
    update();
}

void CardCollectionView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QList<QImage>& pictures = selection_.SelectedImages;
    if (pictures.isEmpty()) {
        painter.setPen(palette().windowText().color());
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No covers to show."));
        return;
    }
    cells_.resize(size_t(pictures.size()));
    const QRectF view(rect());
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < pictures.size(); ++i) {
        ZoomCollectionViewCell& cell = cells_[size_t(i)];
        if (cell.source != pictures[i].cacheKey() || cell.ZoomImage.isNull()) {
            cell.ZoomImage = ShownCover(pictures[i]);
            cell.source = pictures[i].cacheKey();
        }
        const QRectF unzoomed = unzoomedCellRect(i);
        const QRectF shown = cellRect(i);
        const double border = kBorder * zoom_.scale;
        if (unzoomed.isEmpty() ||
            !shown.adjusted(-border, -border, border, border).intersects(view))
            continue;
        const double radius = kRadius * zoom_.scale;
        QPainterPath rounded;
        rounded.addRoundedRect(shown, radius, radius);
        painter.save();
        painter.setClipPath(rounded);
        cell.ZoomImage.paint(painter, shown, view, unzoomed.size());
        painter.restore();
        painter.setPen(QPen(Qt::black, border));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(shown, radius, radius);
    }
}

FullScreenImageViewController::FullScreenImageViewController(Services& services, QWidget* parent)
    : ViewController(parent),
      services_(services),
      selection_(services.selection),
      shareButton_(new QToolButton) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    ZoomCollectionView = new CardCollectionView(selection_, this);
    layout->addWidget(ZoomCollectionView);
    shareButton_->setText(QStringLiteral("Share"));
    shareButton_->setObjectName(QStringLiteral("shareButton"));
    shareButton_->setIcon(QIcon::fromTheme(QStringLiteral("document-send")));
    shareButton_->setToolTip(QStringLiteral("Share the covers"));
    shareButton_->setAccessibleName(QStringLiteral("Share"));
    addRightBarButton(shareButton_);
    connect(shareButton_, &QToolButton::clicked, this, [this] { shareButtonClicked(); });
}

FullScreenImageViewController::~FullScreenImageViewController() {
    selection_.SelectedImages.clear();
}

void FullScreenImageViewController::viewDidLoad() {
    setTitle(QStringLiteral("View Card"));
    SelectionState& selection = selection_;
    const auto present = [](const std::optional<QByteArray>& cover) {
        return cover && !cover->isEmpty();
    };
    QList<QImage> pictures;
    if (present(selection.SelectedFrontImage)) {
        pictures << decodeCover(*selection.SelectedFrontImage).image;
        if (present(selection.SelectedBackImage))
            pictures << decodeCover(*selection.SelectedBackImage).image;
    }
    selection.SelectedImages = std::move(pictures);

    // Off while the screen is hidden under another one.
    addShortcut(this, KeyCommand::ZoomIn, Qt::WindowShortcut, [this] { zoomIn(); });
    addShortcut(this, KeyCommand::ZoomOut, Qt::WindowShortcut, [this] { zoomOut(); });
    addShortcut(this, KeyCommand::ZoomReset, Qt::WindowShortcut,
                [this] { ZoomCollectionView->resetZoom(); });
}

void FullScreenImageViewController::zoomIn() {
    ZoomCollectionView->pinchedView(kZoomStep, QRectF(ZoomCollectionView->rect()).center());
}

void FullScreenImageViewController::zoomOut() {
    ZoomCollectionView->pinchedView(1 / kZoomStep, QRectF(ZoomCollectionView->rect()).center());
}

void FullScreenImageViewController::shareButtonClicked() {
    shareScreen(this, kFullScreenViewerShare, services_, &ScreenShotImage);
}

}  // namespace quillon
