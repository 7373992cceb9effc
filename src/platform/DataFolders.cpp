#include "platform/DataFolders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <utility>

namespace quillon {

namespace {
QString& configuredDir() {
    static QString dir;
    return dir;
}

// A file descriptor closed on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd) {
        close();
        fd_ = fd;
    }
    int release() { return std::exchange(fd_, -1); }
    bool close() { return fd_ < 0 || ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

bool isOurs(const struct stat& st) {
    return st.st_uid == ::geteuid();
}

// A folder in which no one else can replace what we put there: ours, writable by us alone.
bool isTrustedBase(const QString& path) {
    struct stat st;
    return !path.isEmpty() && QDir::isAbsolutePath(path) &&
           ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           isOurs(st) && (st.st_mode & 022) == 0;
}

// O_NOFOLLOW: a symlink at the folder's own name is refused, never entered.
int openFolder(const QString& path) {
    return ::open(QFile::encodeName(path).constData(),
                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Creates `path` when missing; true when it is then a real folder of ours with mode 0700.
bool makePrivateFolder(const QString& path) {
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) return false;
    Descriptor folder(openFolder(path));
    struct stat st;
    if (!folder.valid() || ::fstat(folder.get(), &st) != 0 || !S_ISDIR(st.st_mode) || !isOurs(st)) {
        return false;
    }
    return (st.st_mode & 07777) == 0700 || ::fchmod(folder.get(), 0700) == 0;
}

QString freshFolderUnderSystemTemp() {
    QByteArray pattern =
        QFile::encodeName(QDir(QDir::cleanPath(QDir::tempPath()))
                              .filePath(QStringLiteral("quillon-%1-XXXXXX").arg(::geteuid())));
    if (!::mkdtemp(pattern.data())) return {};
    const QString path = QFile::decodeName(pattern);
    return makePrivateFolder(path) ? path : QString();
}

// The folder files are made in, opened once so that what we check is where we write.
int openPrivateFolder(const QString& folder, QString* error) {
    if (folder.isEmpty()) {
        setError(error, QStringLiteral("No private folder for temporary files could be made"));
        return -1;
    }
    Descriptor dir(openFolder(folder));
    if (!dir.valid()) {
        setError(error, folder + QStringLiteral(": ") + systemError());
        return -1;
    }
    struct stat st;
    if (::fstat(dir.get(), &st) != 0 || !isOurs(st) || (st.st_mode & 077) != 0) {
        setError(error, folder + QStringLiteral(" is not a folder only this user can open"));
        return -1;
    }
    return dir.release();
}

bool isBareName(const QString& name, QString* error) {
    if (!name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
        !name.contains(QLatin1Char('/')) && !name.contains(QChar(0))) {
        return true;
    }
    setError(error, QStringLiteral("Not a plain file name: \"%1\"").arg(name));
    return false;
}

constexpr int kNewFileFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;

// The user's folder of a kind (from its XDG variable, else below HOME), or empty when neither is
// set: Qt would then answer a folder below the file system's root.
QString userFolder(QStandardPaths::StandardLocation location, const char* xdgVariable) {
    if (!QDir::isAbsolutePath(qEnvironmentVariable(xdgVariable)) &&
        !QDir::isAbsolutePath(qEnvironmentVariable("HOME"))) {
        return {};
    }
    return QStandardPaths::writableLocation(location);
}

}  // namespace

void DataFolders::setDataDir(const QString& dir) {
    configuredDir() = dir;
}

QString DataFolders::dataDir() {
    if (!configuredDir().isEmpty()) return configuredDir();
    const QString fromEnv = qEnvironmentVariable("QUILLON_DATA_DIR");
    if (!fromEnv.isEmpty()) return fromEnv;
    return userFolder(QStandardPaths::AppDataLocation, "XDG_DATA_HOME");
}

QString DataFolders::documentsDir() {
    if (dataDir().isEmpty()) return {};
    const QString dir = QDir(dataDir()).filePath("Documents");
    QDir().mkpath(dir);
    return dir;
}

QString DataFolders::tempDir() {
    // QStandardPaths::RuntimeLocation is not asked: without the variable it warns and falls
    // back to a folder in the shared temporary folder.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isTrustedBase(runtime)) {
        const QString dir = QDir::cleanPath(QDir(runtime).filePath(QStringLiteral("Quillon")));
        if (makePrivateFolder(dir)) return dir;
    }
    const QString cache = userFolder(QStandardPaths::CacheLocation, "XDG_CACHE_HOME");
    if (!cache.isEmpty() && QDir().mkpath(cache) && isTrustedBase(cache)) {
        const QString dir = QDir::cleanPath(QDir(cache).filePath(QStringLiteral("tmp")));
        if (makePrivateFolder(dir)) return dir;
    }
    // One fallback per process, so that a file written here is found again by its path.
    static QString fallback;
    if (fallback.isEmpty() || QFileInfo(fallback).path() != QDir::cleanPath(QDir::tempPath()) ||
        !makePrivateFolder(fallback)) {
        fallback = freshFolderUnderSystemTemp();
    }
    return fallback;
}

QString DataFolders::userDefaultsFile() {
    if (dataDir().isEmpty()) return {};
    return QDir(dataDir()).filePath("UserDefaults.ini");
}

std::unique_ptr<QFile> DataFolders::createPrivateFile(const QString& folder,
                                                      const QString& fileName, QString* error) {
    if (!isBareName(fileName, error)) return nullptr;
    Descriptor dir(openPrivateFolder(folder, error));
    if (!dir.valid()) return nullptr;
    const QString path = QDir(folder).filePath(fileName);
    const QByteArray name = QFile::encodeName(fileName);
    // unlinkat removes a symlink itself, never its target.
    if (::unlinkat(dir.get(), name.constData(), 0) != 0 && errno != ENOENT) {
        setError(error, path + QStringLiteral(": ") + systemError());
        return nullptr;
    }
    Descriptor file(::openat(dir.get(), name.constData(), kNewFileFlags, 0600));
    if (!file.valid() || ::fchmod(file.get(), 0600) != 0) {  // 0600 whatever the umask
        setError(error, path + QStringLiteral(": ") + systemError());
        return nullptr;
    }
    auto opened = std::make_unique<QFile>();
    if (!opened->open(file.get(), QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        setError(error, path + QStringLiteral(": ") + opened->errorString());
        return nullptr;
    }
    file.release();
    return opened;
}

QString DataFolders::writePrivateFile(const QString& folder, const QString& fileName,
                                      const QByteArray& bytes, QString* error) {
    if (!isBareName(fileName, error)) return {};
    Descriptor dir(openPrivateFolder(folder, error));
    if (!dir.valid()) return {};
    const QString path = QDir(folder).filePath(fileName);
    QByteArray staging;
    Descriptor file;
    for (int attempt = 0; attempt < 16 && !file.valid(); ++attempt) {
        const quint32 tag = QRandomGenerator::global()->generate();
        staging = QFile::encodeName(QStringLiteral(".%1.%2").arg(
            fileName, QString::number(tag, 16).rightJustified(8, QLatin1Char('0'))));
        file.reset(::openat(dir.get(), staging.constData(), kNewFileFlags, 0600));
        if (!file.valid() && errno != EEXIST) break;
    }
    QString failure;
    if (!file.valid()) {
        failure = systemError();
    } else {
        if (::fchmod(file.get(), 0600) != 0 || !writeWhole(file.get(), bytes))
            failure = systemError();
        if (!file.close() && failure.isEmpty()) failure = systemError();
        // renameat replaces whatever stands at the name, a symlink included, without following it.
        if (failure.isEmpty() && ::renameat(dir.get(), staging.constData(), dir.get(),
                                            QFile::encodeName(fileName).constData()) != 0) {
            failure = systemError();
        }
        if (!failure.isEmpty()) ::unlinkat(dir.get(), staging.constData(), 0);
    }
    if (!failure.isEmpty()) {
        setError(error, path + QStringLiteral(": ") + failure);
        return {};
    }
    return path;
}

bool writeWhole(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

}  // namespace quillon
