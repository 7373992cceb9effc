#pragma once

#include <QFrame>
#include <QImage>
#include <QPointer>

#include "movies/CoverPicture.h"
#include "store/Records.h"

namespace quillon {

// One cover of a movie form. It shows its picture fitted into the view, proportions kept, and
// knows whether that picture is NEW: taken in by this opening of the form (clipboard, file,
// camera, drop). Only a new picture is encoded and written at Save; a stored cover shown here
// is never encoded again. Stored covers are decoded scaled for the view, and picture files read
// and checked, off the main thread. A new picture that could not be stored is refused
// (pictureRefused) and the view keeps its picture. Accepts drops of picture data (taken in at
// once) and of a file (fileDropped). Its accessible description is "no picture" or the
// picture's size. Main thread.
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
    // Takes in a new picture (pictureChanged), or refuses one too large to be stored.
    bool takeNewPicture(const QImage& picture);
    // Takes in a picture file and returns at once: it is read, checked and decoded scaled off the
    // main thread. Then pictureChanged (taken in; or the view emptied, for a file that is not a
    // picture) or pictureRefused (not a regular file, unreadable, cut short, too large), then
    // decodeFinished.
    void loadFile(const QString& path);
    void clear();
    // The new picture becomes the stored one (it has been saved).
    void keepAsStored() { newPicture_ = {}; }

    bool hasPicture() const { return hasPicture_; }
    bool hasNewPicture() const { return !newPicture_.isNull(); }
    const NewCoverPicture& newPicture() const { return newPicture_; }
    // The copy scaled for the view; null while a stored cover is being decoded.
    const QImage& shownImage() const { return shown_; }
    // A stored cover or a picture file is on its way.
    bool isDecoding() const { return decode_ || load_; }
    bool isLoadingFile() const { return !load_.isNull(); }

    QSize sizeHint() const override { return {150, 210}; }

signals:
    void doubleClicked();
    // A picture file was dropped; the form loads it.
    void fileDropped(const QString& path);
    // A new picture was taken in, or a file that is not a picture emptied the view.
    void pictureChanged();
    // A new picture was not taken in, and why (a sentence for the user).
    void pictureRefused(const QString& reason);
    // A decode or file load ended (also one dropped for a newer picture) and none is left.
    void decodeFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void showPicture(QImage shown, NewCoverPicture picture, QSize size);
    // The picture's size in pixels; 0 x 0 for none, invalid while unknown.
    void describePicture(QSize size);
    void abandonDecode();
    static bool takeJob(QPointer<QObject>& wanted, QObject* watcher);
    void jobEnded();

    bool hasPicture_ = false;
    QImage shown_;
    NewCoverPicture newPicture_;
    // The watchers whose results are wanted: of the stored cover, and of the picture file. A file
    // refused leaves the stored cover to come.
    QPointer<QObject> decode_;
    QPointer<QObject> load_;
};

}  // namespace quillon
