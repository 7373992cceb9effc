#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

#include "store/Status.h"

struct zip;
struct zip_source;

namespace quillon::exchange {

// A zip archive read by libzip straight from a seekable device: its directory is checked for
// consistency when it opens, and entries are read into memory only, each up to a limit, their
// checksums checked. Nothing is ever written to disk. Main thread only (libzip is not).
class ZipReader {
public:
    // The device stays open, and is not moved by anyone else, while the reader lives.
    explicit ZipReader(QIODevice* device);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    // Corrupt, with libzip's reason, when the device holds no sound zip archive.
    Status open();
    bool contains(const QString& name) const;
    // The entry's bytes. NotFound, TooBig (more than `limit` bytes, by its header or as read) or
    // Corrupt (damaged, a checksum that does not match, encrypted), each naming the entry.
    std::optional<QByteArray> read(const QString& name, qint64 limit, Status* status) const;

    struct Source;  // the device as libzip reads it

private:
    std::unique_ptr<Source> source_;
    ::zip* zip_ = nullptr;
};

// A zip archive made in memory: entries are added, then finish() gives the archive's bytes.
class ZipWriter {
public:
    ZipWriter();
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // `compressed`: deflated, else stored (pictures gain nothing from deflating).
    Status add(const QString& name, QByteArray bytes, bool compressed);
    std::optional<QByteArray> finish(Status* status);

private:
    Status failure(const QString& what);

    ::zip_source* buffer_ = nullptr;
    ::zip* zip_ = nullptr;
    QList<QByteArray> entries_;  // libzip reads them when the archive is closed
};

}  // namespace quillon::exchange
