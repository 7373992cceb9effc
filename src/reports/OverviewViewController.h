#pragma once

#include <QPointer>
#include <QString>

#include "toolkit/ViewController.h"

class QLabel;
class QPdfDocument;
class QPdfView;
class QStackedLayout;

namespace quillon {

// The overview: the guide to the program that ships as the resource ":/overview.pdf", shown
// fitted to the width of the screen, scrolling, and zooming with Ctrl+wheel and Ctrl+plus/minus
// (Ctrl+0 fits the width again). A document that is missing or cannot be read is said in a
// sentence in place of the viewer.
class OverviewViewController : public ViewController {
    Q_OBJECT
public:
    static constexpr char kDocumentPath[] = ":/overview.pdf";

    explicit OverviewViewController(QString documentPath = kDocumentPath,
                                    QWidget* parent = nullptr);
    void viewDidLoad() override;

    // The viewer; null until the screen loads.
    QPointer<QPdfView> TextView;

    QPdfDocument* document() const { return document_; }
    // The sentence shown instead of the viewer; empty while the document is shown.
    QString notice() const;

    void zoomIn();
    void zoomOut();
    void zoomToWidth();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void zoomBy(double factor);
    double currentScale() const;

    QString documentPath_;
    QPdfDocument* document_ = nullptr;
    QStackedLayout* pages_ = nullptr;
    QLabel* notice_ = nullptr;
};

}  // namespace quillon
