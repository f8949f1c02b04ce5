// The Win32 window of the own rules editor: one tab per skin over a
// monospaced text, what the check says under it, Save and Cancel.
#pragma once

#include "platform/platform.h"

namespace rw {
struct App;
class OwnRulesSource;
}  // namespace rw

namespace rw::win32 {

inline constexpr wchar_t kOwnRulesWindowClass[] = L"RavelwickOwnRules";

/// Shows the editor modally over `owner` (0: over nothing) and returns when
/// it has been closed. Does nothing while one is open.
void ShowOwnRulesWindow(const App& app, OwnRulesSource& source, WindowHandle owner);

bool IsOwnRulesWindowOpen();

}  // namespace rw::win32
