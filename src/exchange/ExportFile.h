#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "store/Status.h"

namespace quillon::exchange {

// An export is written only to a regular file: a device, a pipe or a folder at the target (or a
// link to one) is refused, since writing there would replace it or never end. A missing target
// is fine.
Status checkExportTarget(const QString& path);

// Writes a file that only its owner may read, for the temporary folder: the bytes go to a new
// file beside `path`, created exclusively with mode 0600 (so no planted link is followed), then
// renamed over `path`. A symbolic link at `path` is replaced, never written through; anything
// else at `path` that is not a regular file is refused.
Status writePrivateFile(const QString& path, const QByteArray& bytes);

// Reads a regular file without following a link at `path`.
std::optional<QByteArray> readPrivateFile(const QString& path, Status* status);

}  // namespace quillon::exchange
