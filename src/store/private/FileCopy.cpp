#include "store/private/FileCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

#include "store/private/TestPause.h"

namespace quillon::files {

namespace {

Status failure(const QString& what, const QString& path, int error) {
    return Status::failure(Status::Io, what,
                           QStringLiteral("{path = %1, reason = %2}")
                               .arg(path, QString::fromLocal8Bit(std::strerror(error))));
}

bool writeWhole(int fd, const char* data, ssize_t size) {
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size_t(size));
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return false;
        data += put;
        size -= put;
    }
    return true;
}

// The copy loop over two open descriptors; the source is a regular file of `size` bytes.
Status copyAll(int source, int target, qint64 size, const QString& from, const QString& to,
               const char* pausePoint) {
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (qint64 copied = 0;;) {
        const ssize_t got = ::read(source, buffer.data(), size_t(buffer.size()));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return failure("The file could not be read", from, errno);
        if (got == 0) break;
        if (!writeWhole(target, buffer.constData(), got))
            return failure("The copy could not be written", to, errno);
        copied += got;
        if (pausePoint && copied < size) pausePointForTesting(pausePoint);
        pausePoint = nullptr;
    }
    if (::fsync(target) != 0) return failure("The copy could not be written", to, errno);
    return Status::success();
}

}  // namespace

Status copyRegularFile(const QString& from, const QString& to, const char* pausePoint) {
    const int source =
        ::open(QFile::encodeName(from).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (source < 0) return failure("The file could not be read", from, errno);
    struct stat st;
    if (::fstat(source, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(source);
        return Status::failure(Status::Refused, "The file is not a regular file",
                               QStringLiteral("{path = %1}").arg(from));
    }
    const int target = ::open(QFile::encodeName(to).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (target < 0) {
        const int error = errno;
        ::close(source);
        return failure("The copy could not be created", to, error);
    }
    Status status = copyAll(source, target, st.st_size, from, to, pausePoint);
    if (::close(target) != 0 && status)
        status = failure("The copy could not be written", to, errno);
    ::close(source);
    if (!status) QFile::remove(to);
    return status;
}

bool sync(const QString& path, bool isFolder) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_CLOEXEC | (isFolder ? O_DIRECTORY : 0));
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace quillon::files
