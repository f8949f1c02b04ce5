// The small window that says what a road waits for: a line of text and a
// bar, over the main window. It takes no input and has no taskbar button.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/handle.h"
#include "win32app/window_base.h"

namespace rw::win32 {

inline constexpr wchar_t kProgressWindowClass[] = L"RavelwickProgress";

class ProgressWindow : public WindowBase {
 public:
  /// Owned by `owner`, so it goes with it and stays shown while the owner
  /// is hidden (the start watch hides the main window).
  explicit ProgressWindow(HWND owner) : owner_(owner) {}

  /// Shows `text` and the bar at `percent` (0..100); created at the first
  /// call, updated in place after, centred again each time it reappears.
  void Show(const std::string& text, int percent);
  void Hide();

 private:
  bool Create();
  void Centre();
  void KeepAboveOwner();
  void Layout(UINT dpi) override;
  void SetFont(UINT dpi);
  int TextHeight(UINT dpi) const;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  HWND owner_ = nullptr;
  HWND text_ = nullptr;
  HWND bar_ = nullptr;
  UniqueFont font_;
  UINT fontDpi_ = 0;
  std::wstring shownText_;
  int shownPercent_ = -1;
  int textHeight_ = 0;
};

}  // namespace rw::win32
