#pragma once

namespace quillon {

class Storyboard;

// From the main menu to the chooser, and from it to the export and the import screen.
inline constexpr char kImportExportSegue[] = "ImportExport";
inline constexpr char kExportMoviesSegue[] = "ExportMovies";
inline constexpr char kImportMoviesSegue[] = "ImportMovies";

// The chooser, the export and the import screen.
void registerExchangeSegues(Storyboard& storyboard);

}  // namespace quillon
