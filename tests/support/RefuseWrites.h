#pragma once

#include <QString>

#include "store/Records.h"

namespace quillon::test {

// The reason a save refused by refuseWrites fails with.
inline constexpr char kRefusedByTest[] = "refused by test";

// Makes SQLite refuse `operation` ("INSERT", "UPDATE" or "DELETE") on the entity's table of the
// store in dataDir, for every row or only where `when` holds (an SQL condition on NEW or OLD),
// the way a full or failing disk would refuse a save. A trigger added through a second
// connection, so it works on a store that is open. Lasts until allowWrites.
void refuseWrites(const QString& dataDir, Entity entity, const QString& operation,
                  const QString& when = {});
// Takes back every refusal of refuseWrites.
void allowWrites(const QString& dataDir);

}  // namespace quillon::test
