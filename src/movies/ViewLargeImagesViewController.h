#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QWidget>

#include "movies/ViewerZoom.h"
#include "toolkit/ViewController.h"

class QScrollArea;
class QToolButton;
class QVBoxLayout;

namespace quillon {

struct Services;

// One cover of the large-image viewer, in a yellow frame: zoomed on its own between its normal
// size and maxZoom times it, and dragged about while zoomed.
class MovieCollectionViewCell : public QWidget {
    Q_OBJECT
public:
    static constexpr double maxZoom = 10.0;

    explicit MovieCollectionViewCell(QWidget* parent = nullptr);
    // The decoded cover, or null with the reason it could not be decoded.
    void setMovieImage(QImage picture, const QString& error = QString());
    const QImage& MovieImage() const { return cover_.full(); }
    double zoom() const { return zoom_.scale; }
    // Where the cover is shown now, in the cell's coordinates.
    QRectF shownRect() const;

    // Zooms by `factor` keeping the point `at` of the cell still, within 1x..maxZoom.
    void pinchedView(double factor, QPointF at);
    void zoomAboutCentre(double factor);
    void draggedView(QPointF by);
    void resetZoom();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRectF pictureArea() const;
    QRectF fittedRect() const;
    void keepCovered();

    ShownCover cover_;
    QString error_;
    ZoomState zoom_;
};

// The selected movie's covers, front then back, each filling the screen and zoomed on its own
// (pinch, Ctrl+wheel, Ctrl+plus/minus, Ctrl+0 to reset; drag to move a zoomed cover). A cover
// scrolled out of view comes back at its normal size. "ViewFullImage" of the edit form; its
// "View Card" button opens the full-screen card viewer.
class ViewLargeImagesViewController : public ViewController {
    Q_OBJECT
public:
    explicit ViewLargeImagesViewController(Services& services, QWidget* parent = nullptr);
    void viewDidLoad() override;

    QScrollArea* clCollectionView = nullptr;
    // The covers shown: the selection's front cover, then its back cover, each when present.
    QList<QByteArray> MovieImages;
    // The last picture of the screen made for sharing.
    QImage ScreenShotImage;

    int numberOfItems() const { return int(cells_.size()); }
    MovieCollectionViewCell* cellForItem(int index) const;
    QToolButton* shareButton() const { return shareButton_; }
    QToolButton* viewCardButton() const { return viewCardButton_; }

    void zoomIn();
    void zoomOut();
    void resetZoom();
    void shareButtonClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The cell the keys zoom: the one under the pointer, else the one most in view.
    MovieCollectionViewCell* currentCell() const;
    void fitCellsToViewport();
    void resetCellsOutOfView();

    Services& services_;
    QToolButton* shareButton_;
    QToolButton* viewCardButton_;
    QWidget* cellsHolder_ = nullptr;
    QVBoxLayout* cellsLayout_ = nullptr;
    QList<MovieCollectionViewCell*> cells_;
};

}  // namespace quillon
