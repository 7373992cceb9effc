#pragma once

#include <memory>
#include <vector>

#include "store/FetchRequest.h"

namespace quillon {

// Stable sort of records by the descriptors. Keys are extracted once into a flat array so that
// the comparisons touch contiguous memory instead of chasing every record.
// *tied, when given, receives for each record of the new order whether its keys equal those of
// the record before it.
void sortRecords(std::vector<std::shared_ptr<ManagedObject>>& records,
                 const std::vector<SortDescriptor>& keys, std::vector<bool>* tied = nullptr);

// Turns a stable ascending order into the stable descending one, or back: equal keys keep their
// original relative order in both. `tied` tells the records that tie with the one before (see
// sortRecords) and becomes that of the new order; no record is looked at.
void reverseKeepingTies(std::vector<std::shared_ptr<ManagedObject>>& records,
                        std::vector<bool>& tied);

}  // namespace quillon
