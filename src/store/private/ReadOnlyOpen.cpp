#include "store/private/ReadOnlyOpen.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QVariant>

#include "store/CatalogueStore.h"
#include "store/private/FileCopy.h"

namespace quillon {

namespace {

// How a store in a folder we cannot write is read. SQLite keeps committed changes in the -wal
// until it copies them into the file; reading the file alone would miss them.
enum class ReadOnlyAccess {
    Shared,       // through the -shm index that a writer (live or dead) left: SQLite reads the -wal
    Unchanging,   // no -wal to read, and nobody has the store open: the file is all there is
    PrivateCopy,  // a -wal but no index to read it through: read a copy of both
    Refused,      // the -wal or the -shm cannot be read
};

ReadOnlyAccess readOnlyAccessTo(const QString& path) {
    const QFileInfo wal(path + "-wal"), shm(path + "-shm");
    if (wal.exists() && shm.exists())
        return wal.isReadable() && shm.isReadable() ? ReadOnlyAccess::Shared
                                                    : ReadOnlyAccess::Refused;
    if (!wal.exists() || wal.size() == 0) return ReadOnlyAccess::Unchanging;
    return wal.isReadable() ? ReadOnlyAccess::PrivateCopy : ReadOnlyAccess::Refused;
}

// What tells whether the store's files changed while they were copied.
QList<QVariant> fingerprint(const QString& path) {
    QList<QVariant> marks;
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const QFileInfo file(path + suffix);
        marks << file.exists() << file.size()
              << file.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch();
    }
    return marks;
}

Status copyForReading(const QString& path, QTemporaryDir& folder, QString* copy) {
    if (!folder.isValid())
        return Status::failure(Status::Io, "The catalogue could not be copied for reading",
                               QStringLiteral("{reason = %1}").arg(folder.errorString()));
    *copy = folder.filePath(CatalogueStore::kFileName);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QList<QVariant> before = fingerprint(path);
        Status s = files::copyRegularFile(path + "-wal", *copy + "-wal");
        if (s) s = files::copyRegularFile(path, *copy);
        if (!s)
            return Status::failure(
                s.code, "The catalogue could not be copied for reading: " + s.error, s.details);
        if (fingerprint(path) == before) return Status::success();
        QFile::remove(*copy);
        QFile::remove(*copy + "-wal");
    }
    return Status::failure(Status::Io, "The catalogue changed each time it was read; try again",
                           QStringLiteral("{path = %1}").arg(path));
}

}  // namespace

Status openForReading(sqlite::Database& db, const QString& path,
                      std::unique_ptr<QTemporaryDir>& privateCopy) {
    switch (readOnlyAccessTo(path)) {
        case ReadOnlyAccess::Shared:
            return db.open(path, /*readOnly=*/true);
        case ReadOnlyAccess::Unchanging:
            return db.open(path, /*readOnly=*/true, /*immutable=*/true);
        case ReadOnlyAccess::PrivateCopy: {
            privateCopy = std::make_unique<QTemporaryDir>();
            QString copy;
            if (Status s = copyForReading(path, *privateCopy, &copy); !s) return s;
            // The copy is ours to write: SQLite reads the -wal into it.
            return db.open(copy);
        }
        case ReadOnlyAccess::Refused:
            break;
    }
    return Status::failure(
        Status::Refused,
        "The catalogue cannot be read safely: its folder cannot be written, and the files "
        "beside it that hold its latest changes (Quillon.sqlite-wal, Quillon.sqlite-shm) cannot "
        "be read",
        QStringLiteral("{path = %1}").arg(path));
}

}  // namespace quillon
