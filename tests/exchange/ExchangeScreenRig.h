#pragma once

#include <memory>

#include "exchange/ExchangeSegues.h"
#include "support/TestSupport.h"
#include "toolkit/AlertController.h"
#include "toolkit/NavigationController.h"
#include "toolkit/Storyboard.h"
#include "toolkit/ViewController.h"

namespace quillon::test {

// A window on a menu that counts returns to it, the exchange screens one segue away.
struct ScreenRig {
    ScreenRig() {
        registerExchangeSegues(app.storyboard());
        root = new ViewController;
        root->offerReturnPoint("unwindToMenu", [this] { ++returns; });
        navigation = std::make_unique<NavigationController>(root);
        navigation->setStoryboard(&app.storyboard());
        navigation->show();
    }
    ~ScreenRig() {
        for (AlertController* alert : AlertController::presentedAlerts()) alert->close();
        navigation.reset();
        pumpEvents();
    }
    template <class Screen>
    Screen* open(const char* segue) {
        return static_cast<Screen*>(root->performSegue(segue));
    }
    // Lets the work finish and the clock move on until an alert is up; returns its title and
    // message, a line each, and answers it with OK unless told not to.
    QString alert(bool answer = true) {
        for (int i = 0; i < 600 && AlertController::presentedAlerts().isEmpty(); ++i) {
            pumpEvents(10);
            app.devices().clock.advance(0.1);
        }
        const auto alerts = AlertController::presentedAlerts();
        if (alerts.size() != 1) return QString("%1 alerts").arg(alerts.size());
        const QString text = alerts[0]->title() + "\n" + alerts[0]->message();
        if (answer) alerts[0]->trigger("OK");
        pumpEvents();
        return text;
    }

    AppFixture app;
    LogCapture log;
    ViewController* root = nullptr;
    std::unique_ptr<NavigationController> navigation;
    int returns = 0;
};

}  // namespace quillon::test
