// The main window's tips and what its details line speaks of: the tips of
// the controls and of their places, and the control under the mouse.
#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include <functional>
#include <string>

#include "platform/win32/unicode.h"
#include "win32app/dpi.h"
#include "win32app/main_window_view.h"

namespace rw::win32 {

void Win32MainView::SetTooltip(Option option, const std::string& text) { SetTip(SlotOf(option), text); }
void Win32MainView::SetTooltip(Control control, const std::string& text) { SetTip(SlotOf(control), text); }

// Two tools per control: the control itself, and its place in the window,
// which takes the mouse over a greyed control, as such a control gets none.
// The mouse messages reach the tips through the controls' own subclass.
void Win32MainView::CreateTips() {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  if (!tips_) return;
  // Long enough to read a description.
  SendMessageW(tips_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
  ForEachTipPlace([&](TTTOOLINFOW& place, HWND control, const std::wstring& text) {
    place.lpszText = const_cast<wchar_t*>(text.c_str());
    TTTOOLINFOW tool = place;
    tool.uFlags = TTF_IDISHWND;
    tool.rect = RECT{};
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&place));
  });
  FollowTips(layoutDpi_);
}

void Win32MainView::ForEachTipPlace(
    const std::function<void(TTTOOLINFOW& place, HWND control, const std::wstring& text)>& use) {
  for (const auto& [slot, text] : tipTexts_) {
    HWND control = ControlWindow(slot);
    if (!control) continue;
    TTTOOLINFOW place{};
    place.cbSize = sizeof(place);
    place.hwnd = window_;
    place.uId = static_cast<UINT_PTR>(slot) + 1;
    GetWindowRect(control, &place.rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place.rect), 2);
    use(place, control, text);
  }
}

void Win32MainView::SetTip(int slot, const std::string& text) {
  std::wstring& stored = tipTexts_[slot];
  stored = Wide(text);
  HWND control = ControlWindow(slot);
  if (!tips_ || !control) return;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = window_;
  tool.lpszText = const_cast<wchar_t*>(stored.c_str());
  for (const UINT_PTR id : {reinterpret_cast<UINT_PTR>(control), static_cast<UINT_PTR>(slot) + 1}) {
    tool.uId = id;
    SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void Win32MainView::FollowTips(UINT dpi) {
  if (!tips_) return;
  SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, Scale(360, dpi));
  if (font_) SendMessageW(tips_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  ForEachTipPlace([&](TTTOOLINFOW& place, HWND, const std::wstring&) {
    SendMessageW(tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&place));
  });
}

void Win32MainView::RelayToTips(HWND from, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!tips_ || message < WM_MOUSEFIRST || message > WM_MOUSELAST) return;
  MSG relayed{from, message, wParam, lParam, 0, {}};
  SendMessageW(tips_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

// The details line follows the mouse; -1 is no control.
void Win32MainView::Pointed(int slot) {
  if (slot == pointed_) return;
  pointed_ = slot;
  if (slot >= 0 && !trackingLeave_) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window_, 0};
    trackingLeave_ = TrackMouseEvent(&track) != FALSE;
  }
  if (slot < 0)
    logic_.OnPointed(std::nullopt);
  else if (IsOptionSlot(slot))
    logic_.OnPointed(OptionAt(slot));
  else
    logic_.OnPointed(ControlAt(slot));
}

// Over a greyed control too, which takes no mouse messages of its own.
void Win32MainView::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  RelayToTips(window_, WM_MOUSEMOVE, wParam, lParam);
  const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const ControlEntry* c = EntryByWindow(ChildWindowFromPointEx(window_, at, CWP_SKIPINVISIBLE));
  Pointed(c ? c->slot : -1);
}

void Win32MainView::OnMouseLeave() {
  trackingLeave_ = false;
  // Sent as well when the mouse goes on to a control.
  POINT at{};
  GetCursorPos(&at);
  HWND under = WindowFromPoint(at);
  if (under != window_ && !IsChild(window_, under)) Pointed(-1);
}

}  // namespace rw::win32
