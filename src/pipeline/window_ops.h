// What the resource pipeline needs of the main window.
#pragma once

#include "platform/platform.h"

namespace rw {

class MainWindowOps {
 public:
  virtual ~MainWindowOps() = default;
  virtual WindowHandle Handle() = 0;
  /// Asks whether the running browser may be closed ("ConfirmClose").
  virtual bool ConfirmCloseHost() = 0;
  /// Enables or disables the OK button; while it is off, the window starts
  /// nothing that could change the tree or the host folder.
  virtual void EnableOk(bool enabled) = 0;
  virtual void Hide() = 0;
};

}  // namespace rw
