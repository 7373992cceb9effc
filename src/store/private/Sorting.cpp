#include "store/private/Sorting.h"

#include <algorithm>

namespace quillon {

namespace {

constexpr int kFlatKeys = 2;

struct FlatKey {
    const char16_t* text = nullptr;
    qint32 size = -1;  // -1: absent text
    qint32 number = 0;
};

struct FlatItem {
    FlatKey keys[kFlatKeys];
    quint32 index;
};

// UTF-16 units order surrogates (D800-DFFF) below E000-FFFF; code points order them above.
inline char16_t codePointOrderKey(char16_t unit) {
    if (unit >= 0xE000) return char16_t(unit - 0x800);
    if (unit >= 0xD800) return char16_t(unit + 0x2000);
    return unit;
}

// The one text order of the store: by code point, a shorter prefix first.
inline int compareCodePoints(const char16_t* a, qsizetype aSize, const char16_t* b,
                             qsizetype bSize) {
    const qsizetype n = std::min(aSize, bSize);
    const auto [pa, pb] = std::mismatch(a, a + n, b);
    if (pa != a + n) return codePointOrderKey(*pa) < codePointOrderKey(*pb) ? -1 : 1;
    return aSize < bSize ? -1 : (aSize > bSize ? 1 : 0);
}

inline int compareFlatText(const FlatKey& a, const FlatKey& b) {
    if (a.size < 0 || b.size < 0) return int(a.size >= 0) - int(b.size >= 0);
    return compareCodePoints(a.text, a.size, b.text, b.size);
}

FlatKey flatten(const ManagedObject& object, Attribute a) {
    FlatKey key;
    if (isNumberAttribute(a)) {
        key.number = object.number(a);
    } else if (const QString* text = object.textIfPresent(a)) {
        key.text = reinterpret_cast<const char16_t*>(text->constData());
        key.size = qint32(text->size());
    }
    return key;
}

int compareObjects(const ManagedObject& a, const ManagedObject& b, const SortDescriptor& key) {
    if (isNumberAttribute(key.attribute))
        return int(a.number(key.attribute)) - int(b.number(key.attribute));
    return compareTexts(a.textIfPresent(key.attribute), b.textIfPresent(key.attribute));
}

bool equalKeys(const ManagedObject& a, const ManagedObject& b,
               const std::vector<SortDescriptor>& keys) {
    return std::all_of(keys.begin(), keys.end(),
                       [&](const SortDescriptor& k) { return compareObjects(a, b, k) == 0; });
}

// Stable sort of flattened keys by one or two descriptors; *tied as sortRecords gives it.
void sortFlat(std::vector<FlatItem>& items, const std::vector<SortDescriptor>& keys,
              std::vector<bool>* tied) {
    bool numeric[kFlatKeys] = {};
    bool ascending[kFlatKeys] = {};
    for (size_t k = 0; k < keys.size(); ++k) {
        numeric[k] = isNumberAttribute(keys[k].attribute);
        ascending[k] = keys[k].ascending;
    }
    const int keyCount = int(keys.size());
    const auto compare = [&](const FlatItem& a, const FlatItem& b, int k) {
        return numeric[k] ? a.keys[k].number - b.keys[k].number
                          : compareFlatText(a.keys[k], b.keys[k]);
    };
    std::stable_sort(items.begin(), items.end(), [&](const FlatItem& a, const FlatItem& b) {
        for (int k = 0; k < keyCount; ++k)
            if (const int c = compare(a, b, k)) return ascending[k] ? c < 0 : c > 0;
        return false;
    });
    if (tied) tied->assign(items.size(), false);
    for (size_t i = 1; tied && i < items.size(); ++i) {
        bool equal = true;
        for (int k = 0; k < keyCount && equal; ++k) equal = compare(items[i - 1], items[i], k) == 0;
        (*tied)[i] = equal;
    }
}

}  // namespace

int compareTexts(const QString* a, const QString* b) {
    if (!a || !b) return int(a != nullptr) - int(b != nullptr);
    return compareCodePoints(reinterpret_cast<const char16_t*>(a->constData()), a->size(),
                             reinterpret_cast<const char16_t*>(b->constData()), b->size());
}

void sortRecords(std::vector<std::shared_ptr<ManagedObject>>& records,
                 const std::vector<SortDescriptor>& keys, std::vector<bool>* tied) {
    if (tied) tied->assign(records.size(), false);
    if (records.size() < 2) return;
    if (keys.empty()) {
        if (tied) tied->assign(records.size(), true);
        return;
    }
    if (keys.size() > size_t(kFlatKeys)) {
        std::stable_sort(records.begin(), records.end(), [&keys](const auto& a, const auto& b) {
            for (const SortDescriptor& key : keys)
                if (const int c = compareObjects(*a, *b, key)) return key.ascending ? c < 0 : c > 0;
            return false;
        });
        for (size_t i = 1; tied && i < records.size(); ++i)
            (*tied)[i] = equalKeys(*records[i - 1], *records[i], keys);
        return;
    }
    std::vector<FlatItem> items(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        for (size_t k = 0; k < keys.size(); ++k)
            items[i].keys[k] = flatten(*records[i], keys[k].attribute);
        items[i].index = quint32(i);
    }
    sortFlat(items, keys, tied);
    std::vector<std::shared_ptr<ManagedObject>> sorted;
    sorted.reserve(records.size());
    for (const FlatItem& item : items) sorted.push_back(std::move(records[item.index]));
    records = std::move(sorted);
}

std::optional<KeySnapshot> snapshotKeys(const std::vector<std::shared_ptr<ManagedObject>>& records,
                                        const std::vector<SortDescriptor>& keys) {
    if (keys.empty() || keys.size() > size_t(kFlatKeys)) return std::nullopt;
    KeySnapshot snapshot{keys, {}};
    snapshot.values.resize(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        for (size_t k = 0; k < keys.size(); ++k) {
            KeySnapshot::Key& key = snapshot.values[i][k];
            const Attribute a = keys[k].attribute;
            if (isNumberAttribute(a)) {
                key.number = records[i]->number(a);
            } else if (const QString* text = records[i]->textIfPresent(a)) {
                key.text = *text;
                key.present = true;
            }
        }
    }
    return snapshot;
}

SortedPlaces sortSnapshot(const KeySnapshot& snapshot) {
    std::vector<FlatItem> items(snapshot.values.size());
    for (size_t i = 0; i < items.size(); ++i) {
        for (size_t k = 0; k < snapshot.keys.size(); ++k) {
            const KeySnapshot::Key& key = snapshot.values[i][k];
            FlatKey& flat = items[i].keys[k];
            flat.number = key.number;
            if (key.present) {
                flat.text = reinterpret_cast<const char16_t*>(key.text.constData());
                flat.size = qint32(key.text.size());
            }
        }
        items[i].index = quint32(i);
    }
    SortedPlaces sorted;
    sortFlat(items, snapshot.keys, &sorted.tied);
    sorted.places.reserve(items.size());
    for (const FlatItem& item : items) sorted.places.push_back(item.index);
    return sorted;
}

void reverseKeepingTies(std::vector<std::shared_ptr<ManagedObject>>& records,
                        std::vector<bool>& tied) {
    std::vector<std::shared_ptr<ManagedObject>> reversed;
    std::vector<bool> reversedTied;
    reversed.reserve(records.size());
    reversedTied.reserve(records.size());
    // The runs of equal keys, last first, each in its own order.
    for (size_t end = records.size(); end > 0;) {
        size_t start = end - 1;
        while (start > 0 && tied[start]) --start;
        for (size_t i = start; i < end; ++i) {
            reversed.push_back(std::move(records[i]));
            reversedTied.push_back(i != start);
        }
        end = start;
    }
    records = std::move(reversed);
    tied = std::move(reversedTied);
}

}  // namespace quillon
