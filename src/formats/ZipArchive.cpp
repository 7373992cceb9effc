#include "formats/ZipArchive.h"

#include <zip.h>

#include <cstring>

namespace quillon::exchange {

struct ZipReader::Source {
    QIODevice* device = nullptr;
    qint64 start = 0;   // the archive begins where the device stood
    qint64 offset = 0;  // from start
    zip_error_t error;

    qint64 size() const { return device->size() - start; }

    static zip_int64_t call(void* state, void* data, zip_uint64_t length, zip_source_cmd_t cmd) {
        return static_cast<Source*>(state)->handle(data, length, cmd);
    }

    zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t cmd) {
        switch (cmd) {
            case ZIP_SOURCE_OPEN:
                offset = 0;
                return 0;
            case ZIP_SOURCE_READ: {
                if (!device->seek(start + offset)) return fail(ZIP_ER_SEEK);
                const qint64 got = device->read(static_cast<char*>(data), qint64(length));
                if (got < 0) return fail(ZIP_ER_READ);
                offset += got;
                return got;
            }
            case ZIP_SOURCE_CLOSE:
                return 0;
            case ZIP_SOURCE_STAT: {
                auto* stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error);
                if (!stat) return -1;
                zip_stat_init(stat);
                stat->size = zip_uint64_t(size());
                stat->valid |= ZIP_STAT_SIZE;
                return sizeof(zip_stat_t);
            }
            case ZIP_SOURCE_ERROR:
                return zip_error_to_data(&error, data, length);
            case ZIP_SOURCE_FREE:
                return 0;
            case ZIP_SOURCE_SEEK: {
                const zip_int64_t to = zip_source_seek_compute_offset(
                    zip_uint64_t(offset), zip_uint64_t(size()), data, length, &error);
                if (to < 0) return -1;
                offset = to;
                return 0;
            }
            case ZIP_SOURCE_TELL:
                return offset;
            case ZIP_SOURCE_SUPPORTS:
                return zip_source_make_command_bitmap(
                    ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                    ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                    ZIP_SOURCE_SUPPORTS, -1);
            default:
                return fail(ZIP_ER_OPNOTSUPP);
        }
    }

    zip_int64_t fail(int code) {
        zip_error_set(&error, code, 0);
        return -1;
    }
};

namespace {

QString reasonOf(zip_error_t* error) {
    return QString::fromUtf8(zip_error_strerror(error));
}

Status entryFailure(Status::Code code, const QString& name, const QString& why) {
    return Status::failure(code, QString("%1 in the zip archive %2").arg(name, why));
}

}  // namespace

ZipReader::ZipReader(QIODevice* device) : source_(std::make_unique<Source>()) {
    source_->device = device;
    source_->start = device->pos();
    zip_error_init(&source_->error);
}

ZipReader::~ZipReader() {
    if (zip_) zip_discard(zip_);
    zip_error_fini(&source_->error);
}

Status ZipReader::open() {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_function_create(&Source::call, source_.get(), &error);
    if (source) zip_ = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (source && !zip_) zip_source_free(source);
    const QString reason = reasonOf(&error);
    zip_error_fini(&error);
    if (!zip_)
        return Status::failure(Status::Corrupt, "The file is not a sound zip archive: " + reason);
    return Status::success();
}

bool ZipReader::contains(const QString& name) const {
    return zip_ && zip_name_locate(zip_, name.toUtf8().constData(), 0) >= 0;
}

std::optional<QByteArray> ZipReader::read(const QString& name, qint64 limit, Status* status) const {
    const QByteArray utf8 = name.toUtf8();
    zip_stat_t stat;
    if (!zip_ || zip_stat(zip_, utf8.constData(), 0, &stat) != 0) {
        *status = entryFailure(Status::NotFound, name, "is missing");
        return std::nullopt;
    }
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > zip_uint64_t(limit)) {
        *status = entryFailure(Status::TooBig, name,
                               QString("is larger than %1 MB, more than is read").arg(limit >> 20));
        return std::nullopt;
    }
    zip_file_t* file = zip_fopen(zip_, utf8.constData(), 0);
    if (!file) {
        *status =
            entryFailure(Status::Corrupt, name, "cannot be read: " + reasonOf(zip_get_error(zip_)));
        return std::nullopt;
    }
    QByteArray bytes;
    // The header may understate the size: never more than the limit is held.
    while (true) {
        const qsizetype had = bytes.size();
        const qint64 wanted = qMin<qint64>(1 << 20, limit + 1 - had);
        bytes.resize(had + wanted);
        const zip_int64_t got = zip_fread(file, bytes.data() + had, zip_uint64_t(wanted));
        if (got < 0) {
            *status = entryFailure(Status::Corrupt, name,
                                   "is damaged: " + reasonOf(zip_file_get_error(file)));
            zip_fclose(file);
            return std::nullopt;
        }
        bytes.resize(had + got);
        if (got == 0) break;
        if (bytes.size() > limit) {
            zip_fclose(file);
            *status =
                entryFailure(Status::TooBig, name,
                             QString("is larger than %1 MB, more than is read").arg(limit >> 20));
            return std::nullopt;
        }
    }
    zip_fclose(file);
    *status = Status::success();
    return bytes;
}

ZipWriter::ZipWriter() {
    zip_error_t error;
    zip_error_init(&error);
    buffer_ = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (buffer_) {
        zip_source_keep(buffer_);  // read back after the archive is closed
        zip_ = zip_open_from_source(buffer_, ZIP_TRUNCATE, &error);
    }
    zip_error_fini(&error);
}

ZipWriter::~ZipWriter() {
    if (zip_) zip_discard(zip_);
    if (buffer_) zip_source_free(buffer_);
}

Status ZipWriter::failure(const QString& what) {
    return Status::failure(Status::Io, what + ": " +
                                           (zip_ ? reasonOf(zip_get_error(zip_))
                                                 : QString("the archive could not be made")));
}

Status ZipWriter::add(const QString& name, QByteArray bytes, bool compressed) {
    if (!zip_) return failure("The zip archive could not be made");
    entries_ << std::move(bytes);
    const QByteArray& kept = entries_.back();
    zip_source_t* entry = zip_source_buffer(zip_, kept.constData(), zip_uint64_t(kept.size()), 0);
    const zip_int64_t index =
        entry ? zip_file_add(zip_, name.toUtf8().constData(), entry, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
        if (entry) zip_source_free(entry);
        return failure(name + " could not be added to the zip archive");
    }
    if (!compressed && zip_set_file_compression(zip_, zip_uint64_t(index), ZIP_CM_STORE, 0) != 0)
        return failure(name + " could not be added to the zip archive");
    return Status::success();
}

std::optional<QByteArray> ZipWriter::finish(Status* status) {
    if (!zip_ || zip_close(zip_) != 0) {
        *status = failure("The zip archive could not be written");
        return std::nullopt;
    }
    zip_ = nullptr;
    entries_.clear();
    zip_stat_t stat;
    QByteArray bytes;
    if (zip_source_open(buffer_) == 0) {
        if (zip_source_stat(buffer_, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)) {
            bytes.resize(qsizetype(stat.size));
            if (zip_source_read(buffer_, bytes.data(), stat.size) != zip_int64_t(stat.size))
                bytes.clear();
        }
        zip_source_close(buffer_);
    }
    if (bytes.isEmpty()) {
        *status = Status::failure(Status::Io, "The zip archive could not be read back");
        return std::nullopt;
    }
    *status = Status::success();
    return bytes;
}

}  // namespace quillon::exchange
