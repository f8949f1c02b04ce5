// Scaling for the monitor's DPI, shared by the program's windows. The
// per-monitor functions exist from Windows 10 on and are looked up at run time.
#pragma once

#include <windows.h>

#include "platform/win32/handle.h"

namespace rw::win32 {

/// Pixels at 96 DPI to pixels at `dpi`.
inline int Scale(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), 96); }

/// The window's DPI, or the screen's on systems without per-monitor DPI.
UINT DpiOf(HWND window);

/// The DPI of the primary monitor when the user signed in: the DPI a new
/// window on that monitor usually gets.
UINT SystemDpi();

/// The outer size of a window whose client area is `client` (at 96 DPI).
RECT WindowRectForClient(SIZE client, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi);
/// The same for a client area already in pixels at `dpi`.
RECT WindowRectForClientPixels(SIZE client, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi);

/// "Segoe UI" at `points` for `dpi`.
UniqueFont CreateUiFont(int points, UINT dpi);

/// A monospaced font at `points` for `dpi`: Consolas, else Courier New, else
/// Lucida Console, else whichever fixed-pitch font the system picks.
UniqueFont CreateMonospaceFont(int points, UINT dpi);

}  // namespace rw::win32
