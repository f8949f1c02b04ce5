// A road of the window on a fiber of its own over the window's thread. Its
// waits hand the thread back to whatever message loop runs there and a
// thread timer brings it back, so a modal loop opened meanwhile (a box, a
// menu, moving the window) never holds a wait, and everything still runs on
// the one thread, at the very points where the waits pumped messages before.
#pragma once

#include <functional>

namespace rw::win32 {

/// Runs `work` on the road fiber and returns when it ends or first waits.
/// While a road runs, or when no fiber can be made, `work` runs at once.
void RunAsRoad(std::function<void()> work);

/// On the road fiber: lets the thread's loop run for `milliseconds` and
/// comes back. False elsewhere, and the caller waits as it would.
bool YieldFromRoad(unsigned milliseconds);

}  // namespace rw::win32
