#pragma once

namespace quillon {

// "ImportExport" (the main menu's chooser), "ExportMovies" and "ImportMovies".
void registerExchangeSegues();

}  // namespace quillon
