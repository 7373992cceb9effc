#include "movies/ViewerSegues.h"

#include "movies/FullScreenImageViewController.h"
#include "movies/MovieSegues.h"
#include "movies/ViewLargeImagesViewController.h"
#include "toolkit/Storyboard.h"

namespace quillon {

void registerViewerSegues(Storyboard& storyboard) {
    storyboard.registerSegue(kViewFullImageSegue, [](Services& services) {
        return new ViewLargeImagesViewController(services);
    });
    storyboard.registerSegue(kViewCardSegue, [](Services& services) {
        return new FullScreenImageViewController(services);
    });
}

}  // namespace quillon
