#pragma once

#include <QString>

#include "store/CatalogueStore.h"

namespace quillon::bench {

struct GeneratorOptions {
    int movies = 1000;
    bool covers = false;
    quint32 seed = 1;
    // When set, exactly this many distinct leading-actor names, every one of them used.
    int actors = 0;
    // Covers stored with their small copies, as the program stores them.
    bool smallCopies = true;
};

// Fills the context with movies whose texts look like a real catalogue: repeating directors,
// producers and actors, names of one to five words, notes of varied length, and optionally two
// 1000x1500 JPEG covers each, stored as the forms store them (quality 60). Saves in batches.
// Returns the number of movies written.
int generateCatalogue(ManagedObjectContext& context, const GeneratorOptions& options);

}  // namespace quillon::bench
