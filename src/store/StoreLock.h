#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

#include "store/Status.h"

namespace quillon {

// The lock file "Quillon.lock" beside a store: one process at a time works on the store of a
// data folder. Held from take() until destroyed.
//
// A lock whose owner is gone is stale and taken over: its process has ended (or ended before
// the machine last started), or the file names no process at all (empty or garbled, as a kill
// during its writing leaves it) and is older than kUnnamedOwnerGraceMs. A lock whose process is
// alive, under any user, or that another process holds open, is never broken.
class StoreLock {
public:
    static constexpr const char* kFileName = "Quillon.lock";
    // The error of a lock held by another process; its code is Busy.
    static constexpr const char* kLockedError = "Quillon is already open on this catalogue";
    // How long a lock naming no process is taken to be still in the making.
    static constexpr int kUnnamedOwnerGraceMs = 3000;

    // Takes the lock of dataDir (created when missing), waiting up to waitMs for its holder.
    static std::unique_ptr<StoreLock> take(const QString& dataDir, int waitMs, Status* status);
    QString dataDir() const { return dataDir_; }

private:
    explicit StoreLock(const QString& dataDir);
    QString dataDir_;
    QLockFile lock_;
};

}  // namespace quillon
