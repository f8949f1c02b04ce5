#include "win32app/progress_window.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "platform/win32/unicode.h"
#include "platform/win32/win32_platform.h"
#include "win32app/dpi.h"

namespace rw::win32 {

namespace {

// Layout in pixels at 96 DPI; the height follows the text's lines.
constexpr int kClientWidth = 420;
constexpr int kMargin = 12;
constexpr int kGap = 8;
constexpr int kBarHeight = 18;
constexpr int kFontPoints = 9;

// No system menu, hence no close box: the road decides when it goes. Never
// activated, so the keyboard stays with the main window.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_NOACTIVATE;
constexpr UINT kDpiChangedMessage = 0x02E0;

}  // namespace

void ProgressWindow::Show(const std::string& text, int percent) {
  // Gone with its owner: nothing to show over.
  if (Gone() || (!window_ && !Create())) return;
  // Set only when changed: every poll calls, and each set repaints.
  if (std::wstring wide = Wide(text); wide != shownText_) {
    shownText_ = std::move(wide);
    SetWindowTextW(text_, shownText_.c_str());
    if (TextHeight(layoutDpi_) != textHeight_) Layout(layoutDpi_);
  }
  percent = std::clamp(percent, 0, 100);
  if (percent != shownPercent_) {
    SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    shownPercent_ = percent;
  }
  if (IsWindowVisible(window_)) {
    KeepAboveOwner();
    return;
  }
  wchar_t title[256] = {};
  GetWindowTextW(owner_, title, 256);
  SetWindowTextW(window_, title);
  Centre();
  ShowWindow(window_, SW_SHOWNOACTIVATE);
}

void ProgressWindow::Hide() {
  if (window_ && IsWindowVisible(window_)) ShowWindow(window_, SW_HIDE);
}

// Windows keeps an owned window above its owner; Wine's virtual desktop may
// stack the owner over it when the owner's activation comes late. Put back
// just above the owner, not above every other program's windows; a hidden
// owner covers nothing.
void ProgressWindow::KeepAboveOwner() {
  if (!owner_ || !IsWindowVisible(owner_)) return;
  for (HWND above = GetWindow(window_, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    if (above != owner_) continue;
    HWND overOwner = GetWindow(owner_, GW_HWNDPREV);
    SetWindowPos(window_, overOwner ? overOwner : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
}

bool ProgressWindow::Create() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    return RegisterWindowClass(kProgressWindowClass);
  }();
  if (!registered) return false;
  // Hidden until placed: Show centres it on what is visible then.
  if (!CreateWindowFor(kExStyle, kProgressWindowClass, L"", kStyle, 0, 0, 0, 0, owner_, nullptr)) return false;
  text_ = CreateChild(WS_EX_NOPARENTNOTIFY, L"Static", SS_LEFT | SS_NOPREFIX);
  bar_ = CreateChild(WS_EX_NOPARENTNOTIFY, PROGRESS_CLASSW, 0);
  SendMessageW(bar_, PBM_SETRANGE32, 0, 100);
  layoutDpi_ = owner_ ? DpiOf(owner_) : SystemDpi();
  Layout(layoutDpi_);
  return true;
}

// Over the owner while it is shown, else in the middle of its monitor; kept
// on the work area either way.
void ProgressWindow::Centre() {
  const auto place = [&] {
    RECT own{};
    GetWindowRect(window_, &own);
    const POINT at = CentredOnOwner(owner_, own.right - own.left, own.bottom - own.top);
    SetWindowPos(window_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place();
  // Moved onto a monitor of another scale: laid out for it, then centred at
  // the size that scale gives.
  if (const UINT dpi = DpiOf(window_); dpi != layoutDpi_) {
    layoutDpi_ = dpi;
    Layout(dpi);
    place();
  }
}

void ProgressWindow::Layout(UINT dpi) {
  if (!bar_) return;
  if (fontDpi_ != dpi) SetFont(dpi);
  const int margin = Scale(kMargin, dpi);
  const int width = Scale(kClientWidth, dpi);
  const int barHeight = Scale(kBarHeight, dpi);
  textHeight_ = TextHeight(dpi);
  const int barTop = margin + textHeight_ + Scale(kGap, dpi);
  MoveWindow(text_, margin, margin, width - 2 * margin, textHeight_, TRUE);
  MoveWindow(bar_, margin, barTop, width - 2 * margin, barHeight, TRUE);
  // The frame at this scale around a client area laid out in real pixels.
  const RECT frame = WindowRectForClient(SIZE{0, 0}, kStyle, kExStyle, false, dpi);
  SetWindowPos(window_, nullptr, 0, 0, width + frame.right - frame.left,
               barTop + barHeight + margin + frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ProgressWindow::SetFont(UINT dpi) {
  UniqueFont font = CreateUiFont(kFontPoints, dpi);
  if (!font) return;
  SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  font_ = std::move(font);
  fontDpi_ = dpi;
}

// The height the static control needs for the text at its width, as it
// breaks lines itself; at least one line.
int ProgressWindow::TextHeight(UINT dpi) const {
  RECT area{0, 0, Scale(kClientWidth - 2 * kMargin, dpi), 0};
  HDC dc = GetDC(text_);
  const HGDIOBJ old = SelectObject(dc, font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT));
  DrawTextW(dc, shownText_.empty() ? L" " : shownText_.c_str(), -1, &area,
            DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(text_, dc);
  return area.bottom;
}

LRESULT ProgressWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_CLOSE:
      return 0;  // the road ends it, not the user
    case WM_SETCURSOR:
      if (WaitCursorActive()) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
        return TRUE;
      }
      break;
    case kDpiChangedMessage:
      FollowDpiChange(wParam, lParam);
      return 0;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace rw::win32
