#include "movies/ViewerSegues.h"

#include "movies/FullScreenImageViewController.h"
#include "movies/ViewLargeImagesViewController.h"
#include "toolkit/Storyboard.h"

namespace quillon {

void registerViewerSegues(Storyboard& storyboard) {
    storyboard.registerSegue(QStringLiteral("ViewFullImage"), [](Services& services) {
        return new ViewLargeImagesViewController(services);
    });
    storyboard.registerSegue(
        QString::fromLatin1(ViewLargeImagesViewController::kViewCardSegue),
        [](Services& services) { return new FullScreenImageViewController(services); });
}

}  // namespace quillon
