#pragma once

namespace quillon {

class Storyboard;

// "ImportExport" (the main menu's chooser), "ExportMovies" and "ImportMovies".
void registerExchangeSegues(Storyboard& storyboard);

}  // namespace quillon
