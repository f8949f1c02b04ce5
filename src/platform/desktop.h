// Windows on the screen and what the user sees of the system: other
// programs' windows, message boxes, the pointer, the look of the controls.
#pragma once

#include <cstdint>
#include <string>

namespace rw {

/// Opaque window handle; 0 means "no window".
using WindowHandle = std::uintptr_t;

/// YesNo answers Ok for Yes and Cancel for No.
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageResult { Ok, Cancel };
/// The symbol beside the text: what kind of news the message is.
enum class MessageIcon { None, Information, Question, Warning, Error };

class Desktop {
 public:
  virtual ~Desktop() = default;

  /// Top-level window by class and exact title (title empty: any title).
  virtual WindowHandle FindTopWindow(const std::string& className, const std::string& title) = 0;
  /// Restore (SC_RESTORE), show in current place and bring to the foreground.
  virtual void RaiseWindow(WindowHandle window) = 0;
  /// Sends the system close command (SC_CLOSE).
  virtual void SendCloseCommand(WindowHandle window) = 0;
  virtual MessageResult ShowMessage(WindowHandle owner, const std::string& text, const std::string& title,
                                    MessageButtons buttons, MessageIcon icon) = 0;
  /// Lets pending window events run once.
  virtual void PumpEvents() = 0;
  /// Hourglass on (true) or the default pointer (false) for the whole screen.
  virtual void SetWaitCursor(bool wait) = 0;
  virtual void InitCommonControls() = 0;
  virtual bool IsCompositionEnabled() = 0;
  /// Opens an existing file in the user's text editor without waiting;
  /// false when the file is missing or no editor could be started.
  virtual bool OpenInTextEditor(const std::string& path) = 0;
  /// Puts `text` on the clipboard as plain text; false when the clipboard
  /// cannot be had.
  virtual bool CopyTextToClipboard(const std::string& text) = 0;
};

}  // namespace rw
