// What the resource pipeline needs of the main window.
#pragma once

#include "platform/platform.h"

namespace rw {

/// What the pipeline waits for.
enum class WaitStep { Unpacking, Packing, Verifying, ClosingHost, WatchingHost };

class MainWindowOps {
 public:
  virtual ~MainWindowOps() = default;
  virtual WindowHandle Handle() = 0;
  /// Asks whether the running browser may be closed ("ConfirmClose").
  virtual bool ConfirmCloseHost() = 0;
  /// The pipeline works on the tree: until it is no longer busy the window
  /// starts nothing that could change the tree or the host folder.
  virtual void SetBusy(bool busy) = 0;
  virtual void Hide() = 0;
  /// The road waits for `step`, `waitedMs` so far and at most `limitMs`;
  /// called at every poll, so the user sees it and the window keeps painting.
  virtual void ShowWait(WaitStep /*step*/, unsigned /*waitedMs*/, unsigned /*limitMs*/) {}
  /// The wait is over.
  virtual void EndWait() {}
};

}  // namespace rw
