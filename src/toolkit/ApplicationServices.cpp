#include "toolkit/ApplicationServices.h"

namespace quillon {

namespace {
ApplicationServices& installed() {
    static ApplicationServices services;
    return services;
}
}  // namespace

void installApplicationServices(ApplicationServices services) {
    installed() = std::move(services);
}

void removeApplicationServices() {
    installed() = {};
}

ManagedObjectContext& applicationContext() {
    Q_ASSERT(installed().viewContext);
    return installed().viewContext();
}

bool saveApplicationContext() {
    Q_ASSERT(installed().saveContext);
    return installed().saveContext();
}

}  // namespace quillon
