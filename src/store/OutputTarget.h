#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include "store/Status.h"

namespace quillon {

// Every file the program writes for the user (reports, exports, saved copies, pictures of the
// screen) goes through here. The target must be a regular file or a link to one: a device, a
// pipe or a folder would be replaced, or written without end. Nor may it be one of the store's
// own files in `dataDir` (the store, its -wal, -shm and -journal, its lock, Backups/ and what is
// in it): those are known by device and inode, so that a link or a second name reaching them is
// refused too. A missing target is fine; a read-only one is not replaced. An empty `dataDir`
// protects nothing.
// A refusal or failure names the path and its cause.
Status checkOutputTarget(const QString& path, const QString& dataDir);

// A file written whole or not at all, as a device to write into.
// Replace: the bytes go to a new file beside the target (beside the file a link leads to, the
// link staying as it is), reach the disk, and take the target's place only on commit(); until
// then an earlier file stays as it was.
// CreateNew: the file is made at the name itself, which must be free (taken() tells a name in
// use); nothing standing there is replaced or followed. It is removed again on a failure.
// Every failure names the path and its cause ("No space left on device"); the first one sticks,
// so later writes fail at once and commit() reports it.
class OutputFile : public QIODevice {
public:
    enum class Mode { Replace, CreateNew };
    OutputFile(QString path, QString dataDir, Mode mode = Mode::Replace);
    ~OutputFile() override;  // cancels what was not committed

    // Checks the target and opens the device for writing.
    Status create();
    Status commit();
    void cancel();
    Status status() const { return status_; }
    bool taken() const { return taken_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool flushBuffer();
    void fail(int error);
    void closeDescriptors();

    QString path_;
    QString dataDir_;
    Mode mode_;
    int folder_ = -1;
    int file_ = -1;
    QByteArray name_;     // in the folder: the target's name
    QByteArray written_;  // in the folder: the file being written
    QByteArray buffer_;
    Status status_;
    bool taken_ = false;
};

// Writes `bytes` as the file `path` through an OutputFile (Replace).
Status writeOutputFile(const QString& path, const QString& dataDir, const QByteArray& bytes);

}  // namespace quillon
