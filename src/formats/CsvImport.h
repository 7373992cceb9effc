#pragma once

#include <memory>

#include "formats/FileImport.h"

namespace quillon::exchange {

// The largest spreadsheet or collection text read: it is held whole while it is imported.
inline constexpr qint64 kMaxImportTextBytes = qint64(1) << 30;

// A spreadsheet (CSV) import: the first row names the columns, each further row is a movie. A row
// cut short by the end of the file, or one with more cells than the header (a cell that holds
// the separator without quotes), fails with its line named.
std::unique_ptr<FileImport> makeCsvImport(ManagedObjectContext& context, QIODevice* device,
                                          const ImportOptions& options);

// A device's bytes from its position up to `limit`; nullopt, with the reason, when it cannot be
// read or holds more.
std::optional<QByteArray> readUpTo(QIODevice* device, qint64 limit, Status* status);

}  // namespace quillon::exchange
