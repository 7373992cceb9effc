#pragma once

#include "catalogue/GroupKind.h"

namespace quillon {

struct Services;

// The named member of a family whose kind is `kind`: each of `Members` names its kind (kKind).
template <class Family, class... Members>
Family* makeMember(GroupKind kind, Services& services) {
    Family* made = nullptr;
    ((made = Members::kKind == kind ? new Members(services) : made), ...);
    return made;
}

}  // namespace quillon
