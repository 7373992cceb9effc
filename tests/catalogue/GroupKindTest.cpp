#include <gtest/gtest.h>

#include "catalogue/GroupKind.h"

namespace quillon {

TEST(GroupKindTest, ScriptNamesRoundTripAndUnknownNamesAreRefused) {
    for (GroupKind kind : kGroupKinds) EXPECT_EQ(groupKindNamed(commandNameOf(kind)), kind);
    EXPECT_FALSE(groupKindNamed(u"Genre"));
    EXPECT_FALSE(groupKindNamed(u"actors"));
}

}  // namespace quillon
