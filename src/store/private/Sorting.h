#pragma once

#include <QString>
#include <array>
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

// The values of one or two sort keys of records, copied (texts share their data) so that
// another thread can sort them while the records change.
struct KeySnapshot {
    struct Key {
        QString text;
        bool present = false;  // false: an absent text
        qint32 number = 0;
    };
    std::vector<SortDescriptor> keys;        // one or two
    std::vector<std::array<Key, 2>> values;  // per record
};
// Nullopt past two keys. Main thread.
std::optional<KeySnapshot> snapshotKeys(const std::vector<std::shared_ptr<ManagedObject>>& records,
                                        const std::vector<SortDescriptor>& keys);
// A stable sort of a snapshot: where each record of the snapshot goes, in the new order, and the
// ties as sortRecords gives them. Any thread.
struct SortedPlaces {
    std::vector<quint32> places;
    std::vector<bool> tied;
};
SortedPlaces sortSnapshot(const KeySnapshot& snapshot);

// Turns a stable ascending order into the stable descending one, or back: equal keys keep their
// original relative order in both. `tied` tells the records that tie with the one before (see
// sortRecords) and becomes that of the new order; no record is looked at.
void reverseKeepingTies(std::vector<std::shared_ptr<ManagedObject>>& records,
                        std::vector<bool>& tied);

}  // namespace quillon
