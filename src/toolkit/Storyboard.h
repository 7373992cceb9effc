#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

namespace quillon {

// Only passed on to the factories: the toolkit never looks into the services (handover/), nor
// links them.
struct Services;
class ViewController;

// The segue identifiers of one window and the factories that make their destinations, each
// given the services. The services must outlive the storyboard, and the storyboard every
// navigation controller it is set on.
class Storyboard {
public:
    using Factory = std::function<ViewController*(Services&)>;
    explicit Storyboard(Services& services) : services_(services) {}

    void registerSegue(const QString& identifier, Factory factory);
    bool isRegistered(const QString& identifier) const;
    QStringList identifiers() const { return factories_.keys(); }
    // A new destination, or nullptr when the identifier is not registered.
    ViewController* create(const QString& identifier) const;
    Services& services() const { return services_; }

private:
    Services& services_;
    QHash<QString, Factory> factories_;
};

}  // namespace quillon
