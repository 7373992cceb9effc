#include "toolkit/Storyboard.h"

#include "toolkit/ViewController.h"

namespace quillon {

void Storyboard::registerSegue(const QString& identifier, Factory factory) {
    factories_.insert(identifier, std::move(factory));
}

bool Storyboard::isRegistered(const QString& identifier) const {
    return factories_.contains(identifier);
}

ViewController* Storyboard::create(const QString& identifier) const {
    const auto it = factories_.constFind(identifier);
    if (it == factories_.constEnd() || !it.value()) return nullptr;
    return it.value()(services_);
}

}  // namespace quillon
