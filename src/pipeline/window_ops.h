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
  /// Enables or disables the OK button (cmdOK).
  virtual void EnableOk(bool enabled) = 0;
  virtual void Hide() = 0;
  /// Unloads the main window for good; the program ends with it.
  virtual void Unload() = 0;
};

}  // namespace rw
