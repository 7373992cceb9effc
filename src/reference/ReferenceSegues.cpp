#include "reference/ReferenceSegues.h"

#include "reference/ReferenceEntryViewControllers.h"
#include "reference/ReferenceListTableViewController.h"
#include "reference/ReferenceListViewController.h"
#include "toolkit/Storyboard.h"

namespace quillon {

namespace {
template <class Screen>
Storyboard::Factory make() {
    return [](Services& services) { return new Screen(services); };
}
}  // namespace

void registerReferenceSegues(Storyboard& storyboard) {
    storyboard.registerSegue(kReferenceListSegue,
                             [](Services&) { return new ReferenceListViewController; });
    storyboard.registerSegue(kGenreMember.listSegue, make<GenreReferenceListTableViewController>());
    storyboard.registerSegue(kRatingMember.listSegue,
                             make<RatingReferenceListTableViewController>());
    storyboard.registerSegue(kGenreMember.addSegue, make<AddGenreViewController>());
    storyboard.registerSegue(kRatingMember.addSegue, make<AddRatingViewController>());
    storyboard.registerSegue(kGenreMember.editSegue, make<EditGenreViewController>());
    storyboard.registerSegue(kRatingMember.editSegue, make<EditRatingViewController>());
}

}  // namespace quillon
