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
#include "store/OutputTarget.h"

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

// Makes the folder when missing; a symlink at its name is refused, not entered, and it must be
// ours.
bool prepareLibraryFolder(const QString& folder, QString* error) {
    const QByteArray path = QFile::encodeName(folder);
    QDir().mkpath(QFileInfo(folder).path());
    if (::mkdir(path.constData(), 0755) != 0 && errno != EEXIST) {
        fail(error, folder + QStringLiteral(": ") + systemError());
        return false;
    }
    Descriptor dir(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st;
    if (!dir.valid()) {
        const QString reason = systemError();
        const bool link = ::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode);
        fail(error, folder + QStringLiteral(": ") +
                        (link ? QStringLiteral("a symbolic link stands in its place") : reason));
        return false;
    }
    if (::fstat(dir.get(), &st) != 0 || st.st_uid != ::geteuid()) {
        fail(error, folder + QStringLiteral(" is not a folder of this user"));
        return false;
    }
    return true;
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

    if (!prepareLibraryFolder(folder_, error)) return {};
    const QDateTime when = now_ ? now_() : QDateTime::currentDateTime();
    const QString stem =
        QStringLiteral("Quillon ") + when.toString(QStringLiteral("yyyy-MM-dd hh.mm.ss"));
    for (int n = 1; n <= kNamesPerSecond; ++n) {
        const QString name = stem + (n == 1 ? QString() : ' ' + QString::number(n)) + ".png";
        const QString path = QDir(folder_).filePath(name);
        OutputFile file(path, DataFolders::dataDir(), OutputFile::Mode::CreateNew);
        if (const Status created = file.create(); !created) {
            if (file.taken()) continue;
            return fail(error, created.error);
        }
        file.write(png);  // a failed write is told by commit(), which then removes the file
        if (const Status committed = file.commit(); !committed) return fail(error, committed.error);
        return path;
    }
    return fail(error, QStringLiteral("%1: no free name for a picture taken at %2")
                           .arg(folder_, when.toString(Qt::ISODate)));
}

}  // namespace quillon
