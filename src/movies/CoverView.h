#pragma once

#include <QFrame>
#include <QImage>
#include <QPointer>

#include "movies/CoverPicture.h"
#include "store/Records.h"

template <class T>
class QFutureWatcher;

namespace quillon {

// One cover of a movie form. It shows its picture fitted into the view, proportions kept, and
// knows whether that picture is NEW: taken in by this opening of the form (clipboard, file,
// camera, drop). Only a new picture is encoded and written at Save; a stored cover shown here
// is never encoded again. Stored covers are decoded scaled for the view, off the main thread.
// Accepts drops of picture data (taken in at once) and of a file (fileDropped). Main thread.
class CoverView : public QFrame {
    Q_OBJECT
public:
    // The largest size a picture is decoded or scaled to for showing.
    static QSize viewBox() { return {640, 640}; }

    explicit CoverView(QWidget* parent = nullptr);
    ~CoverView() override;

    // Shows the movie's stored cover, not as a new picture; an absent cover leaves the view as it
    // is. decodeFinished follows once the picture is ready.
    void showStored(const Movies& movie, Attribute cover);
    // Takes in a new picture.
    void takeNewPicture(const QImage& picture);
    // Takes in a picture file: a failure to read it is returned and the view keeps its picture;
    // a file that is not a picture empties the view.
    Status loadFile(const QString& path);
    void clear();
    // The new picture becomes the stored one (it has been saved).
    void keepAsStored() { newPicture_ = {}; }

    bool hasPicture() const { return hasPicture_; }
    bool hasNewPicture() const { return !newPicture_.isNull(); }
    const NewCoverPicture& newPicture() const { return newPicture_; }
    // The copy scaled for the view; null while a stored cover is being decoded.
    const QImage& shownImage() const { return shown_; }
    bool isDecoding() const { return decoding_; }

    QSize sizeHint() const override { return {150, 210}; }

signals:
    void doubleClicked();
    // A picture file was dropped; the form loads it (and tells a failure).
    void fileDropped(const QString& path);
    // A dropped picture was taken in.
    void pictureDropped();
    void decodeFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void showPicture(QImage shown, NewCoverPicture picture);
    void abandonDecode();

    bool hasPicture_ = false;
    bool decoding_ = false;
    QImage shown_;
    NewCoverPicture newPicture_;
    QPointer<QFutureWatcher<QImage>> decode_;
};

}  // namespace quillon
