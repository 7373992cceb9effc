#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <functional>

namespace quillon {

// Where pictures of the screen are kept for the user. A device boundary: tests give screens one
// of their own.
class PhotoLibrary {
public:
    virtual ~PhotoLibrary() = default;
    // Adds the picture under a new name; never replaces an earlier one. Returns the new file's
    // path, or an empty text with the reason in `error`.
    virtual QString addPicture(const QImage& picture, QString* error = nullptr) = 0;
};

// PNG files in "Quillon" inside the user's Pictures folder, each with a new timestamped name
// ("Quillon 2026-12-07 10.15.03.png", then " 2", " 3"... within the same second). A file is only
// ever created, never opened again: an earlier picture, or a symlink planted at a name, is passed
// over for the next name. The folder is made when missing; a symlink at its own name is refused,
// and so are the catalogue's own folders.
class DesktopPhotoLibrary : public PhotoLibrary {
public:
    // `now` gives the time the names are made of; the system's time when empty.
    explicit DesktopPhotoLibrary(QString folder = defaultFolder(),
                                 std::function<QDateTime()> now = {});
    static QString defaultFolder();
    QString folder() const { return folder_; }
    QString addPicture(const QImage& picture, QString* error = nullptr) override;

private:
    QString folder_;
    std::function<QDateTime()> now_;
};

}  // namespace quillon
