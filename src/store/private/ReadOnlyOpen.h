#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "store/Status.h"
#include "store/private/Sqlite.h"

namespace quillon {

// Opens the store file at path, in a folder we cannot write, for reading every committed change,
// those in the -wal included: through the -shm index when it is there and readable, as an
// unchanging file when there is no -wal to read, else from a copy of the store and its -wal made
// in privateCopy, which must outlive the connection. Fails, saying why, when none of these is
// safe.
Status openForReading(sqlite::Database& db, const QString& path,
                      std::unique_ptr<QTemporaryDir>& privateCopy);

}  // namespace quillon
