#pragma once

#include <QImage>
#include <QList>
#include <QWidget>
#include <vector>

#include "movies/ViewerZoom.h"
#include "toolkit/ViewController.h"

class QToolButton;

namespace quillon {

struct Services;
struct SelectionState;

// One picture of the card viewer: framed black, 2 wide, with round corners of radius 10.
struct ZoomCollectionViewCell {
    ShownCover ZoomImage;
    qint64 source = 0;  // cache key of the picture it was made from
};

// The card viewer's content: one cell per picture of SelectedImages, read at every paint,
// stacked to fit the view. The whole content zooms and moves as one, without limits.
class CardCollectionView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBorder = 2;
    static constexpr double kRadius = 10;

    explicit CardCollectionView(const SelectionState& selection, QWidget* parent = nullptr);
    int numberOfItems() const;
    // Where cell `index` is shown now, zoom and shift included, in the view's coordinates.
    QRectF cellRect(int index) const;
    const ZoomState& zoom() const { return zoom_; }

    // Multiplies the zoom by `factor`, keeping the content at `at` still.
    void pinchedView(double factor, QPointF at);
    void draggedView(QPointF by);
    void resetZoom();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF unzoomedCellRect(int index) const;

    const SelectionState& selection_;
    ZoomState zoom_;
    std::vector<ZoomCollectionViewCell> cells_;
};

// "View Card": the selected movie's pictures as cards, the whole screen zoomed by pinch,
// Ctrl+wheel and Ctrl+plus/minus (Ctrl+0 back to normal) and moved by dragging. Opening it
// fills SelectedImages from the selection's covers: front, then back, only when there is a front;
// closing it empties SelectedImages again (full-size covers are large).
class FullScreenImageViewController : public ViewController {
    Q_OBJECT
public:
    explicit FullScreenImageViewController(Services& services, QWidget* parent = nullptr);
    ~FullScreenImageViewController() override;
    void viewDidLoad() override;

    CardCollectionView* ZoomCollectionView = nullptr;
    // The last picture of the screen made for sharing.
    QImage ScreenShotImage;

    QToolButton* shareButton() const { return shareButton_; }
    void zoomIn();
    void zoomOut();
    void shareButtonClicked();

private:
    Services& services_;
    SelectionState& selection_;
    QToolButton* shareButton_;
};

}  // namespace quillon
