#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "store/Status.h"

namespace quillon::exchange {

// Reads a regular file without following a link at `path`.
std::optional<QByteArray> readPrivateFile(const QString& path, Status* status);

}  // namespace quillon::exchange
