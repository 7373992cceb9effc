#pragma once

#include "store/Status.h"
#include "store/private/Sqlite.h"

namespace quillon {

// Whether the database open in db is a catalogue this version of Quillon can open: a SQLite
// file whose pages are all sound, of a schema version this version knows, with every table and
// column the store reads. When it is not, the error completes a sentence about the file ("is
// damaged", "is not a Quillon catalogue", ...) and the details say why.
Status checkCatalogue(const sqlite::Database& db);

}  // namespace quillon
