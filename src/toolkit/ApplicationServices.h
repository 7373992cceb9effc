#pragma once

#include <functional>

#include "store/CatalogueStore.h"

namespace quillon {

// What screens and commands need of the application, without knowing the application: its
// main context, and the save that tells the user when it fails (false then). The application
// installs them for as long as it lives. Main thread only.
struct ApplicationServices {
    std::function<ManagedObjectContext&()> viewContext;
    std::function<bool()> saveContext;
};

void installApplicationServices(ApplicationServices services);
void removeApplicationServices();
// The installed application's context and save; the application must be installed.
ManagedObjectContext& applicationContext();
bool saveApplicationContext();

}  // namespace quillon
