#include "reference/ReferenceSegues.h"

#include "reference/ReferenceEntryViewControllers.h"
#include "reference/ReferenceListTableViewController.h"
#include "reference/ReferenceListViewController.h"

namespace quillon {

void registerReferenceSegues() {
    SegueRegistry::registerSegue("ReferenceList", [] { return new ReferenceListViewController; });
    SegueRegistry::registerSegue(kGenreMember.listSegue,
                                 [] { return new GenreReferenceListTableViewController; });
    SegueRegistry::registerSegue(kRatingMember.listSegue,
                                 [] { return new RatingReferenceListTableViewController; });
    SegueRegistry::registerSegue(kGenreMember.addSegue, [] { return new AddGenreViewController; });
    SegueRegistry::registerSegue(kRatingMember.addSegue,
                                 [] { return new AddRatingViewController; });
    SegueRegistry::registerSegue(kGenreMember.editSegue,
                                 [] { return new EditGenreViewController; });
    SegueRegistry::registerSegue(kRatingMember.editSegue,
                                 [] { return new EditRatingViewController; });
}

}  // namespace quillon
