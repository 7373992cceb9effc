#pragma once

#include "handover/SelectionState.h"
#include "handover/Services.h"
#include "platform/ReviewService.h"
#include "store/DeleteHistory.h"
#include "support/Fakes.h"

namespace quillon::bench {

// The services a screen is given, over an open catalogue, with the tests' fake devices: the
// benchmarks time the screens, not the desktop.
struct FakeServices {
    explicit FakeServices(ManagedObjectContext& context)
        : deletes(context),
          review(devices.clock, devices.storeReview),
          services(makeServices(
              context, [&context] { return bool(context.save()); }, deletes, selection, review,
              devices.devices())) {}
    FakeServices(const FakeServices&) = delete;
    FakeServices& operator=(const FakeServices&) = delete;

    test::FakeDevices devices;
    DeleteHistory deletes;
    SelectionState selection;
    ReviewService review;
    Services services;
};

}  // namespace quillon::bench
