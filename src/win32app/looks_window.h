// The Win32 window of the looks: the list of looks, what the chosen one
// changes, a name field and the buttons that act on them.
#pragma once

#include "platform/platform.h"
#include "ui/looks_window_logic.h"

namespace rw::win32 {

inline constexpr wchar_t kLooksWindowClass[] = L"RavelwickLooks";

/// Shows the Looks window modally over `owner` and returns what it was
/// closed with; nothing while one is open already.
LooksChoice ShowLooksWindow(const App& app, const OptionSnapshot& current, WindowHandle owner, bool naming);

}  // namespace rw::win32
