#pragma once

#include <memory>
#include <vector>

#include "store/FetchRequest.h"

namespace quillon {

// Stable sort of records by the descriptors. Keys are extracted once into a flat array so that
// the comparisons touch contiguous memory instead of chasing every record.
void sortRecords(std::vector<std::shared_ptr<ManagedObject>>& records,
                 const std::vector<SortDescriptor>& keys);

// Turns a stable ascending order into the stable descending one: equal keys keep their
// original relative order in both.
void reverseKeepingTies(std::vector<std::shared_ptr<ManagedObject>>& records,
                        const std::vector<SortDescriptor>& keys);

}  // namespace quillon
