#pragma once

namespace quillon {

class Storyboard;

inline constexpr const char* kAddMovieSegue = "AddMovie";
inline constexpr const char* kShowDetailSegue = "showDetail";
inline constexpr const char* kNotesSegue = "showNotes";
// The cover viewer the edit form opens on a double click, where the storyboard has one.
inline constexpr const char* kViewFullImageSegue = "ViewFullImage";

// The add form, the edit form and the notes screen.
void registerMovieSegues(Storyboard& storyboard);

}  // namespace quillon
