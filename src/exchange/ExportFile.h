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

// Reads a regular file without following a link at `path`.
std::optional<QByteArray> readPrivateFile(const QString& path, Status* status);

}  // namespace quillon::exchange
