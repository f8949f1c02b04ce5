#include "win32app/dpi.h"

#include <initializer_list>

namespace rw::win32 {

namespace {

UINT ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

bool FontInstalled(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(
      screen, &wanted,
      [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM param) -> int {
        *reinterpret_cast<bool*>(param) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

}  // namespace

UINT DpiOf(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow)
    if (const UINT dpi = getDpiForWindow(window)) return dpi;
  return ScreenDpi();
}

UINT SystemDpi() {
  using GetDpiForSystemFn = UINT(WINAPI*)();
  static const auto getDpiForSystem = reinterpret_cast<GetDpiForSystemFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForSystem")));
  if (getDpiForSystem)
    if (const UINT dpi = getDpiForSystem()) return dpi;
  return ScreenDpi();
}

RECT WindowRectForClient(SIZE client, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi) {
  return WindowRectForClientPixels(SIZE{Scale(client.cx, dpi), Scale(client.cy, dpi)}, style, exStyle, hasMenu, dpi);
}

RECT WindowRectForClientPixels(SIZE client, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi) {
  RECT rect{0, 0, client.cx, client.cy};
  using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = reinterpret_cast<AdjustFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
  if (adjustForDpi)
    adjustForDpi(&rect, style, hasMenu, exStyle, dpi);
  else
    AdjustWindowRectEx(&rect, style, hasMenu, exStyle);
  return rect;
}

UniqueFont CreateUiFont(int points, UINT dpi) {
  return UniqueFont(CreateFontW(-MulDiv(points, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, L"Segoe UI"));
}

UniqueFont CreateMonospaceFont(int points, UINT dpi) {
  // The mapper would take a missing face for a proportional font; an empty
  // face with FIXED_PITCH gets the system's own monospaced one.
  static const wchar_t* const face = [] {
    for (const wchar_t* candidate : {L"Consolas", L"Courier New", L"Lucida Console"})
      if (FontInstalled(candidate)) return candidate;
    return L"";
  }();
  return UniqueFont(CreateFontW(-MulDiv(points, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                FIXED_PITCH | FF_MODERN, face));
}

}  // namespace rw::win32
