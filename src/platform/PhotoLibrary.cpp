#include "platform/PhotoLibrary.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/DataFolders.h"

namespace quillon {

namespace {

// Enough for a burst of pictures within one second; past it something is wrong with the folder.
constexpr int kNamesPerSecond = 1000;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now, for the error close() may report (a write the disk could not keep).
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The empty path that says a picture was not added.
QString fail(QString* error, const QString& text) {
    if (error) *error = text;
    return {};
}

// Makes the folder when missing and opens it; a symlink at its name is refused, not entered,
// and it must be ours. Files are then made relative to this descriptor: what was checked is
// where they go.
int openLibraryFolder(const QString& folder, QString* error) {
    const QByteArray path = QFile::encodeName(folder);
    QDir().mkpath(QFileInfo(folder).path());
    if (::mkdir(path.constData(), 0755) != 0 && errno != EEXIST) {
        fail(error, folder + QStringLiteral(": ") + systemError());
        return -1;
    }
    Descriptor dir(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st;
    if (!dir.valid()) {
        const QString reason = systemError();
        const bool link = ::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode);
        fail(error, folder + QStringLiteral(": ") +
                        (link ? QStringLiteral("a symbolic link stands in its place") : reason));
        return -1;
    }
    if (::fstat(dir.get(), &st) != 0 || st.st_uid != ::geteuid()) {
        fail(error, folder + QStringLiteral(" is not a folder of this user"));
        return -1;
    }
    return dir.release();
}

}  // namespace

DesktopPhotoLibrary::DesktopPhotoLibrary(QString folder, std::function<QDateTime()> now)
    : folder_(std::move(folder)), now_(std::move(now)) {}

QString DesktopPhotoLibrary::defaultFolder() {
    QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (pictures.isEmpty()) pictures = QDir::homePath();
    return QDir(pictures).filePath(QStringLiteral("Quillon"));
}

QString DesktopPhotoLibrary::addPicture(const QImage& picture, QString* error) {
    if (picture.isNull()) return fail(error, QStringLiteral("There is no picture to add"));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        return fail(error, QStringLiteral("The picture could not be written as PNG"));

    Descriptor dir(openLibraryFolder(folder_, error));
    if (!dir.valid()) return {};
    const QDateTime when = now_ ? now_() : QDateTime::currentDateTime();
    const QString stem =
        QStringLiteral("Quillon ") + when.toString(QStringLiteral("yyyy-MM-dd hh.mm.ss"));
    for (int n = 1; n <= kNamesPerSecond; ++n) {
        const QString name =
            n == 1 ? stem + QStringLiteral(".png") : QStringLiteral("%1 %2.png").arg(stem).arg(n);
        const QByteArray encoded = QFile::encodeName(name);
        // O_EXCL fails on anything standing at the name, a symlink included: never written through.
        Descriptor file(::openat(dir.get(), encoded.constData(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (!file.valid()) {
            if (errno == EEXIST) continue;
            return fail(error, QDir(folder_).filePath(name) + QStringLiteral(": ") + systemError());
        }
        const QString path = QDir(folder_).filePath(name);
        if (!writeWhole(file.get(), png) || !file.close()) {
            const QString reason = systemError();
            ::unlinkat(dir.get(), encoded.constData(), 0);  // no half picture left behind
            return fail(error, path + QStringLiteral(": ") + reason);
        }
        return path;
    }
    return fail(error, QStringLiteral("%1: no free name for a picture taken at %2")
                           .arg(folder_, when.toString(Qt::ISODate)));
}

}  // namespace quillon
