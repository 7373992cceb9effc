#include "store/OutputTarget.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "store/Backups.h"
#include "store/CatalogueStore.h"

namespace quillon {
namespace {

constexpr qsizetype kBufferSize = 256 * 1024;
constexpr int kMaxLinks = 40;  // as the kernel follows

struct Identity {
    dev_t device;
    ino_t inode;
    bool operator==(const Identity&) const = default;
};

Identity identityOf(const struct stat& st) {
    return {st.st_dev, st.st_ino};
}

std::optional<Identity> identityAt(const QString& path) {
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return std::nullopt;
    return identityOf(st);
}

QString causeOf(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

Status failed(const QString& path, int error, Status::Code code = Status::Io) {
    return Status::failure(code, path + QStringLiteral(": ") + causeOf(error));
}

Status notRegular(const QString& path) {
    return Status::failure(
        Status::Refused,
        path + QStringLiteral(" is not a regular file (a device, a pipe or a folder); nothing was "
                              "written"));
}

Status ofTheStore(const QString& path) {
    return Status::failure(
        Status::Refused,
        path + QStringLiteral(" is one of the catalogue's own files; nothing was written"));
}

// The files of the store in a data folder, known by identity.
class StoreFiles {
public:
    explicit StoreFiles(const QString& dataDir) {
        if (dataDir.isEmpty()) return;
        folder_ = identityAt(dataDir);
        if (!folder_) return;
        const QString store = QString::fromLatin1(CatalogueStore::kFileName);
        const QString backupsFolder = backups::folder(dataDir);
        names_ = {store,
                  store + QStringLiteral("-wal"),
                  store + QStringLiteral("-shm"),
                  store + QStringLiteral("-journal"),
                  QString::fromLatin1(CatalogueStore::kLockFileName),
                  QFileInfo(backupsFolder).fileName()};
        for (const QString& name : names_) add(QDir(dataDir).filePath(name));
        backups_ = identityAt(backupsFolder);
        if (!backups_) return;
        const QDir backups(backupsFolder);
        const auto all = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
        for (const QString& name : backups.entryList(all)) add(backups.filePath(name));
    }
    // Whether a file named `name` in `folder` is, or would become, one of them.
    bool holds(const Identity& folder, const QString& name) const {
        return folder == backups_ || (folder == folder_ && names_.contains(name));
    }
    bool holds(const Identity& file) const {
        for (const Identity& known : files_)
            if (known == file) return true;
        return false;
    }

private:
    void add(const QString& path) {
        if (const auto identity = identityAt(path)) files_.push_back(*identity);
    }

    std::optional<Identity> folder_;
    std::optional<Identity> backups_;
    QStringList names_;
    std::vector<Identity> files_;
};

// The file the links at `path` lead to, which need not exist yet; empty with `error` set when
// the links go round.
QString followLinks(const QString& path, int* error) {
    QString current = path;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        const QByteArray encoded = QFile::encodeName(current);
        struct stat st;
        if (::lstat(encoded.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t size = ::readlink(encoded.constData(), target.data(), size_t(target.size()));
        if (size < 0) {
            *error = errno;
            return {};
        }
        target.truncate(size);
        const QString next = QFile::decodeName(target);
        current = QDir::isAbsolutePath(next) ? next : QFileInfo(current).path() + '/' + next;
    }
    *error = ELOOP;
    return {};
}

// Opened once, so that what is checked is where the file is made.
int openFolder(const QString& path) {
    const QByteArray encoded = QFile::encodeName(path);
    const int fd = ::open(encoded.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0 || errno != EACCES) return fd;
    return ::open(encoded.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);  // no listing needed
}

// Where a file is to be written: its folder, opened, and its name there.
struct Place {
    int folder = -1;
    QByteArray name;
};

Status locate(const QString& path, bool followingLinks, Place* place) {
    int error = 0;
    const QString target = followingLinks ? followLinks(path, &error) : path;
    if (target.isEmpty()) return failed(path, error);
    const QFileInfo info(target);
    if (info.fileName().isEmpty()) return notRegular(path);
    place->name = QFile::encodeName(info.fileName());
    place->folder = openFolder(info.path());
    if (place->folder < 0) return failed(path, errno);
    return Status::success();
}

// The folder must not be the store's, nor the target one of its files. `existing` receives the
// target's state when there is one.
Status inspect(const Place& place, const QString& path, const StoreFiles& store,
               std::optional<struct stat>* existing = nullptr) {
    struct stat st;
    if (::fstat(place.folder, &st) != 0) return failed(path, errno);
    if (store.holds(identityOf(st), QFile::decodeName(place.name))) return ofTheStore(path);
    if (!existing) return Status::success();
    if (::fstatat(place.folder, place.name.constData(), &st, 0) != 0) {
        if (errno == ENOENT) return Status::success();
        return failed(path, errno);
    }
    if (!S_ISREG(st.st_mode)) return notRegular(path);
    if (store.holds(identityOf(st))) return ofTheStore(path);
    // A file its owner made read-only is not replaced behind their back.
    if (::faccessat(place.folder, place.name.constData(), W_OK, AT_EACCESS) != 0)
        return failed(path, errno, Status::ReadOnly);
    *existing = st;
    return Status::success();
}

constexpr int kNewFile = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;

int openBeside(int folder, const QByteArray& name, QByteArray* written) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        const quint32 tag = QRandomGenerator::global()->generate();
        *written = '.' + name.left(200) + '.' + QByteArray::number(tag, 16);
        const int fd = ::openat(folder, written->constData(), kNewFile, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The new file keeps the mode of the one it replaces, and its owner where we may set it.
void takeOver(int fd, const struct stat& replaced) {
    if (::fchmod(fd, replaced.st_mode & 07777) == 0 && ::geteuid() == 0) {
        [[maybe_unused]] const int given = ::fchown(fd, replaced.st_uid, replaced.st_gid);
    }
}

}  // namespace

Status checkOutputTarget(const QString& path, const QString& dataDir) {
    Place place;
    Status status = locate(path, true, &place);
    if (status) {
        std::optional<struct stat> existing;
        status = inspect(place, path, StoreFiles(dataDir), &existing);
    }
    if (place.folder >= 0) ::close(place.folder);
    return status;
}

OutputFile::OutputFile(QString path, QString dataDir, Mode mode)
    : path_(std::move(path)), dataDir_(std::move(dataDir)), mode_(mode) {}

OutputFile::~OutputFile() {
    cancel();
}

Status OutputFile::create() {
    cancel();
    taken_ = false;
    Place place;
    status_ = locate(path_, mode_ == Mode::Replace, &place);
    folder_ = place.folder;
    name_ = place.name;
    if (!status_) {
        cancel();
        return status_;
    }
    const StoreFiles store(dataDir_);
    if (mode_ == Mode::CreateNew) {
        // Nothing standing at the name is written: O_EXCL fails on it, a link included.
        status_ = inspect(place, path_, store);
        if (status_) file_ = ::openat(folder_, name_.constData(), kNewFile, 0666);
        if (status_ && file_ < 0) {
            taken_ = errno == EEXIST;
            fail(errno);
        }
        if (file_ >= 0) written_ = name_;
    } else {
        std::optional<struct stat> existing;
        status_ = inspect(place, path_, store, &existing);
        if (status_) file_ = openBeside(folder_, name_, &written_);
        if (status_ && file_ < 0) fail(errno);
        if (file_ >= 0 && existing) takeOver(file_, *existing);
    }
    if (!status_) {
        cancel();
        return status_;
    }
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    return status_;
}

qint64 OutputFile::writeData(const char* data, qint64 size) {
    if (!status_ || file_ < 0) return -1;
    buffer_.append(data, size);
    if (buffer_.size() >= kBufferSize && !flushBuffer()) return -1;
    return size;
}

bool OutputFile::flushBuffer() {
    const char* data = buffer_.constData();
    qsizetype left = buffer_.size();
    while (left > 0) {
        const ssize_t written = ::write(file_, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            fail(errno);
            return false;
        }
        data += written;
        left -= written;
    }
    buffer_.truncate(0);
    return true;
}

void OutputFile::fail(int error) {
    status_ = failed(path_, error);
    setErrorString(causeOf(error));
}

Status OutputFile::commit() {
    if (status_ && file_ < 0) status_ = failed(path_, EBADF);
    // A full disk may show only when the data is forced out, or at close.
    if (status_ && flushBuffer() && ::fdatasync(file_) != 0) fail(errno);
    if (status_ && ::close(std::exchange(file_, -1)) != 0) fail(errno);
    if (status_ && mode_ == Mode::Replace) {
        // Checked again: something else may have been put at the name meanwhile.
        std::optional<struct stat> existing;
        status_ = inspect({folder_, name_}, path_, StoreFiles(dataDir_), &existing);
        if (status_ && ::renameat(folder_, written_.constData(), folder_, name_.constData()) != 0)
            fail(errno);
        if (status_) ::fsync(folder_);  // the rename itself; not every folder can be synced
    }
    if (!status_) {
        cancel();
        return status_;
    }
    written_.clear();
    closeDescriptors();
    QIODevice::close();
    return status_;
}

void OutputFile::cancel() {
    if (file_ >= 0) ::close(std::exchange(file_, -1));
    if (folder_ >= 0 && !written_.isEmpty()) ::unlinkat(folder_, written_.constData(), 0);
    written_.clear();
    buffer_.clear();
    closeDescriptors();
    if (isOpen()) QIODevice::close();
}

void OutputFile::closeDescriptors() {
    if (file_ >= 0) ::close(std::exchange(file_, -1));
    if (folder_ >= 0) ::close(std::exchange(folder_, -1));
}

Status writeOutputFile(const QString& path, const QString& dataDir, const QByteArray& bytes) {
    OutputFile file(path, dataDir);
    if (Status created = file.create(); !created) return created;
    if (file.write(bytes) != bytes.size()) {
        file.cancel();
        return file.status();
    }
    return file.commit();
}

}  // namespace quillon
