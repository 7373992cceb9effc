#pragma once

namespace quillon {

class Storyboard;

// From the main menu to the movie list.
inline constexpr char kListMoviesSegue[] = "ListMovies";
inline constexpr char kAddMovieSegue[] = "AddMovie";
// From the movie list to the edit form (the breakdowns use their own, see GroupKind.h).
inline constexpr char kShowDetailSegue[] = "showDetail";
inline constexpr char kNotesSegue[] = "showNotes";
// The cover viewer the edit form opens on a double click, where the storyboard has one.
inline constexpr char kViewFullImageSegue[] = "ViewFullImage";
// From the large-image viewer to the card viewer.
inline constexpr char kViewCardSegue[] = "ViewCard";

// The movie list's return point, and those the notes screen goes back to.
inline constexpr char kUnwindToList[] = "unwindToList";
inline constexpr char kUnwindToEdit[] = "unwindToEdit";
inline constexpr char kUnwindToAdd[] = "unwindToAdd";

// The movie list, the add form, the edit form (from the list and from every breakdown) and the
// notes screen.
void registerMovieSegues(Storyboard& storyboard);

}  // namespace quillon
