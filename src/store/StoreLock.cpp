#include "store/StoreLock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSysInfo>
#include <QThread>
#include <cerrno>

namespace quillon {

namespace {

enum class Owner { Alive, Gone, Unknown };

struct LockFileContent {
    qint64 pid = 0;
    QString host;
    QByteArray bootId;
};

// QLockFile writes "pid\napplication\nhost\nmachine id\nboot id\n".
LockFileContent parse(const QByteArray& bytes) {
    const QList<QByteArray> lines = bytes.split('\n');
    LockFileContent content;
    bool ok = false;
    content.pid = lines.value(0).trimmed().toLongLong(&ok);
    if (!ok || content.pid <= 0) content.pid = 0;
    content.host = QString::fromUtf8(lines.value(2).trimmed());
    content.bootId = lines.value(4).trimmed();
    return content;
}

QByteArray currentBootId() {
    QFile file(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
}

Owner ownerOf(const LockFileContent& content, qint64 ageMs) {
    if (content.pid == 0)
        return ageMs > StoreLock::kUnnamedOwnerGraceMs ? Owner::Gone : Owner::Unknown;
    // A process of another machine cannot be asked.
    if (!content.host.isEmpty() && content.host != QSysInfo::machineHostName()) return Owner::Alive;
    const QByteArray boot = currentBootId();
    if (!content.bootId.isEmpty() && !boot.isEmpty() && content.bootId != boot) return Owner::Gone;
    // EPERM: alive, under another user.
    if (::kill(pid_t(content.pid), 0) != 0 && errno == ESRCH) return Owner::Gone;
    return Owner::Alive;
}

qint64 ageMs(const struct stat& st) {
    const qint64 modified = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    return qAbs(QDateTime::currentMSecsSinceEpoch() - modified);
}

// Removes the lock file at path when its owner is gone. The file is held with flock (as
// QLockFile holds its own) while it is judged and removed: a live holder keeps it, and two
// processes taking over the same stale lock cannot remove each other's new one.
bool removeIfStale(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    bool removed = false;
    struct stat held, named;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
        ::lstat(name.constData(), &named) == 0 && named.st_ino == held.st_ino &&
        named.st_dev == held.st_dev) {
        QByteArray bytes(256, '\0');
        const ssize_t read = ::pread(fd, bytes.data(), size_t(bytes.size()), 0);
        bytes.truncate(read > 0 ? qsizetype(read) : 0);
        if (ownerOf(parse(bytes), ageMs(held)) == Owner::Gone)
            removed = ::unlink(name.constData()) == 0;
    }
    ::close(fd);
    return removed;
}

Status lockedFailure(const QLockFile& lock) {
    qint64 pid = 0;
    QString host, application;
    lock.getLockInfo(&pid, &host, &application);
    return Status::failure(Status::Busy, StoreLock::kLockedError,
                           pid > 0 ? QStringLiteral("{process = %1}").arg(pid)
                                   : QStringLiteral("{lock = %1}").arg(lock.fileName()));
}

}  // namespace

StoreLock::StoreLock(const QString& dataDir)
    : dataDir_(dataDir), lock_(QDir(dataDir).filePath(kFileName)) {
    // Staleness is judged by removeIfStale, never by age alone.
    lock_.setStaleLockTime(0);
}

std::unique_ptr<StoreLock> StoreLock::take(const QString& dataDir, int waitMs, Status* status) {
    auto fail = [&](Status s) {
        if (status) *status = std::move(s);
        return std::unique_ptr<StoreLock>();
    };
    if (!QDir().mkpath(dataDir))
        return fail(Status::failure(Status::Io, "The data folder could not be created",
                                    QStringLiteral("{path = %1}").arg(dataDir)));
    std::unique_ptr<StoreLock> taken(new StoreLock(dataDir));
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (taken->lock_.tryLock(0)) {
            if (status) *status = Status::success();
            return taken;
        }
        if (taken->lock_.error() != QLockFile::LockFailedError)
            return fail(
                Status::failure(Status::Io, "The store could not be locked",
                                QStringLiteral("{path = %1}").arg(taken->lock_.fileName())));
        if (removeIfStale(taken->lock_.fileName())) continue;
        const qint64 left = waitMs - waited.elapsed();
        if (left <= 0) return fail(lockedFailure(taken->lock_));
        QThread::msleep(quint64(qMin<qint64>(left, 100)));
    }
}

}  // namespace quillon
