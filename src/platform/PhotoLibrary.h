#pragma once

#include <QImage>
#include <QString>

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

// PNG files in "Quillon" inside the user's Pictures folder, each with a new timestamped name.
class DesktopPhotoLibrary : public PhotoLibrary {
public:
    explicit DesktopPhotoLibrary(QString folder = defaultFolder());
    static QString defaultFolder();
    QString folder() const { return folder_; }
    QString addPicture(const QImage& picture, QString* error = nullptr) override;

private:
    QString folder_;
};

}  // namespace quillon
