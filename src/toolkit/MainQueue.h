#pragma once

#include <functional>

class QObject;

namespace quillon::mainQueue {

// Runs on the main thread after the current event, in scheduling order. With a context object,
// the call is dropped when the context is destroyed first (a weak hold). Work that waits for a
// time goes through the Clock.
void async(std::function<void()> work, QObject* context = nullptr);

}  // namespace quillon::mainQueue
