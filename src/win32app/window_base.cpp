#include "win32app/window_base.h"

#include <algorithm>
#include <utility>

#include "win32app/dpi.h"

namespace rw::win32 {

WindowBase::~WindowBase() {
  if (!window_) return;
  // Windows normally go before their objects. One left over is cut off
  // first: what handled its messages is destroyed already.
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(std::exchange(window_, nullptr));
}

WindowBase::KeepAlive::~KeepAlive() {
  // A window destroyed from inside one of its own handlers is deleted only
  // once the outermost one has returned.
  if (--window_.depth_ == 0 && window_.gone_ && window_.deleteWithWindow_) delete &window_;
}

bool WindowBase::RegisterWindowClass(const wchar_t* className, HICON icon, HICON smallIcon) {
  return RegisterWindowClass(className, Procedure, icon, smallIcon);
}

bool WindowBase::RegisterWindowClass(const wchar_t* className, WNDPROC procedure, HICON icon, HICON smallIcon) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = className;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool WindowBase::CreateWindowFor(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x,
                                 int y, int width, int height, HWND owner, HMENU menu) {
  return CreateWindowExW(exStyle, className, title, style, x, y, width, height, owner, menu, GetModuleHandleW(nullptr),
                         this) != nullptr;
}

void WindowBase::KeepFocusAcrossActivation(WPARAM wParam, HWND first) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(window_, focus)) lastFocus_ = focus;
    return;
  }
  HWND target = lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : first;
  if (target) SetFocus(target);
}

void WindowBase::FollowDpiChange(WPARAM wParam, LPARAM lParam) {
  layoutDpi_ = HIWORD(wParam);
  Layout(layoutDpi_);
  const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
  SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK WindowBase::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || !self->window_) return DefWindowProcW(window, message, wParam, lParam);
  KeepAlive keep(*self);
  if (message != WM_NCDESTROY) return self->OnMessage(message, wParam, lParam);
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  // Nothing reaches the object once the default handling starts freeing
  // what the window held.
  self->window_ = nullptr;
  self->gone_ = true;
  self->OnWindowGone();
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND WindowBase::CreateChild(DWORD exStyle, const wchar_t* className, DWORD style, int id) const {
  return CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void ModalWindow::RunModal(ModalWindow*& open) {
  if (!Create()) return;
  open = this;
  Load();
  if (owner_) EnableWindow(owner_, FALSE);
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  SetFocus(FirstFocus());
  RunMessageLoop();
  open = nullptr;
}

void ModalWindow::CloseModal() {
  if (!window_) return;
  // The owner first, so that activation goes back to it.
  if (owner_) EnableWindow(owner_, TRUE);
  DestroyWindow(window_);
}

void ModalWindow::RunMessageLoop() {
  MSG msg;
  while (window_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // Leave the quit request to the outer loop.
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      CloseModal();
      break;
    }
    if (msg.message == WM_KEYDOWN && (msg.hwnd == window_ || IsChild(window_, msg.hwnd)) && OnKeyFirst(msg)) continue;
    if (window_ && IsDialogMessageW(window_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

RECT ModalWindow::PlaceFor(const Frame& frame, UINT dpi) const {
  const RECT work = WorkAreaNear(owner_);
  const RECT outer = WindowRectForClient(frame.client, frame.style, frame.exStyle, false, dpi);
  const int width = std::min<int>(outer.right - outer.left, work.right - work.left);
  const int height = std::min<int>(outer.bottom - outer.top, work.bottom - work.top);
  const POINT at = CentredOnOwner(owner_, width, height);
  return RECT{at.x, at.y, at.x + width, at.y + height};
}

bool ModalWindow::CreateOverOwner(const wchar_t* className, const Frame& frame) {
  const RECT place = PlaceFor(frame, owner_ ? DpiOf(owner_) : SystemDpi());
  return CreateWindowFor(frame.exStyle, className, L"", frame.style, place.left, place.top, place.right - place.left,
                         place.bottom - place.top, owner_, nullptr);
}

void ModalWindow::FitToOwnDpi(const Frame& frame) {
  const UINT bornAt = owner_ ? DpiOf(owner_) : SystemDpi();
  layoutDpi_ = DpiOf(window_);
  if (layoutDpi_ != bornAt) {
    const RECT again = PlaceFor(frame, layoutDpi_);
    SetWindowPos(window_, nullptr, again.left, again.top, again.right - again.left, again.bottom - again.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Layout(layoutDpi_);
}

bool ModalWindow::OnFrameMessage(const Frame& frame, UINT message, WPARAM wParam, LPARAM lParam) {
  constexpr UINT kDpiChanged = 0x02E0;
  switch (message) {
    case WM_SIZE:
      Layout(layoutDpi_);
      return true;
    case WM_GETMINMAXINFO: {
      const RECT least = WindowRectForClient(frame.least, frame.style, frame.exStyle, false, layoutDpi_);
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{least.right - least.left, least.bottom - least.top};
      return true;
    }
    case kDpiChanged: {
      layoutDpi_ = HIWORD(wParam);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      Layout(layoutDpi_);
      return true;
    }
  }
  return false;
}

void ModalWindow::TabToNextControl() {
  HWND focus = GetFocus();
  const bool back = GetKeyState(VK_SHIFT) < 0;
  if (HWND next = GetNextDlgTabItem(window_, IsChild(window_, focus) ? focus : nullptr, back)) SetFocus(next);
  SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

RECT WorkAreaNear(HWND owner) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                        : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY),
                  &monitor);
  return monitor.rcWork;
}

POINT CentredOnOwner(HWND owner, int width, int height) {
  const bool overOwner = owner && IsWindowVisible(owner) && !IsIconic(owner);
  const RECT work = WorkAreaNear(owner);
  RECT around = work;
  if (overOwner) GetWindowRect(owner, &around);
  const LONG left = around.left + (around.right - around.left - width) / 2;
  const LONG top = around.top + (around.bottom - around.top - height) / 2;
  return POINT{std::max<LONG>(work.left, std::min<LONG>(left, work.right - width)),
               std::max<LONG>(work.top, std::min<LONG>(top, work.bottom - height))};
}

}  // namespace rw::win32
