#pragma once

#include <QString>

#include "store/Status.h"

namespace quillon::files {

// Copies the regular file `from` (never through a link, never from a FIFO or a device, which
// are refused) to a new file `to` (mode 0600, which must not exist), and writes it to the disk.
// With a pause point, pausePointForTesting(pausePoint) runs once part of a larger file is
// copied. A failure removes what was written.
Status copyRegularFile(const QString& from, const QString& to, const char* pausePoint = nullptr);

// fsync of a file or a folder (for a rename in it to last).
bool sync(const QString& path, bool isFolder = false);

// The reason of the last failed system call.
QString systemError();

}  // namespace quillon::files
