// Whoever runs a road (the main window, a command-line run, a test): how
// the road asks, shows its waits and tells what it has to say on the way.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace rw {

/// What the pipeline waits for.
enum class WaitStep { Unpacking, Packing, Verifying, ClosingHost, WatchingHost };

class RoadUser {
 public:
  virtual ~RoadUser() = default;
  /// Asks whether the running browser may be closed ("ConfirmClose").
  virtual bool ConfirmCloseHost() = 0;
  /// The pipeline works on the tree: until it is no longer busy nothing may
  /// start that could change the tree or the host folder.
  virtual void SetBusy(bool busy) = 0;
  /// The road watches the host start, or has removed the derived files: a
  /// window gets out of the way for good.
  virtual void StepAside() = 0;
  /// The road waits for `step`, `waitedMs` so far and at most `limitMs`;
  /// called at every poll, so the user sees it and a window keeps painting.
  virtual void ShowWait(WaitStep /*step*/, unsigned /*waitedMs*/, unsigned /*limitMs*/) {}
  /// The wait is over.
  virtual void EndWait() {}
  /// A word the road says and goes on; nobody to tell says nothing.
  virtual void Tell(std::string_view /*text*/, MessageIcon /*icon*/) {}
  /// A yes-or-no question; with nobody to ask the answer is no.
  virtual bool Ask(std::string_view /*question*/) { return false; }
};

}  // namespace rw
