#pragma once

namespace quillon {

class Storyboard;

// "ViewFullImage": the large-image viewer, which the edit form opens on a cover; "ViewCard": the
// full-screen card viewer, opened from the large-image viewer.
void registerViewerSegues(Storyboard& storyboard);

}  // namespace quillon
