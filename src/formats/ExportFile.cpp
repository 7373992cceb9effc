#include "formats/ExportFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace quillon::exchange {
namespace {

Status systemFailure(const QString& what, const QString& path, int error) {
    return Status::failure(Status::Io, QString("%1: %2").arg(what, qt_error_string(error)), path);
}

}  // namespace

std::optional<QByteArray> readPrivateFile(const QString& path, Status* status) {
    // Non-blocking, so that a pipe planted there cannot hang the open.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *status = systemFailure("The file could not be read", path, errno);
        return std::nullopt;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        *status = Status::failure(Status::Refused, QString("%1 is not a regular file").arg(path));
        return std::nullopt;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *status = Status::failure(Status::Io, file.errorString(), path);
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *status = Status::failure(Status::Io, file.errorString(), path);
        return std::nullopt;
    }
    *status = Status::success();
    return bytes;
}

}  // namespace quillon::exchange
