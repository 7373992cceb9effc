#pragma once

#include <QHash>
#include <QIODevice>
#include <QStringList>
#include <memory>

#include "formats/FileImport.h"

namespace quillon {

// The fields chosen in the import's preview for the columns of a spreadsheet, remembered in the
// user defaults by the spreadsheet's header, so that the next file with the same header reads
// the same way: on the screen and on the command line.
QHash<QString, exchange::ColumnTarget> rememberedColumns(const QStringList& header);
void rememberColumns(const QStringList& header,
                     const QHash<QString, exchange::ColumnTarget>& chosen);

// makeImport() and begin(), with the columns remembered for a spreadsheet's header, those of
// `options` winning. The device is read from its position, which must be seekable when
// remembered columns make the file be read again.
std::unique_ptr<exchange::FileImport> beginImport(ManagedObjectContext& context, QIODevice* device,
                                                  exchange::ImportOptions options);

}  // namespace quillon
