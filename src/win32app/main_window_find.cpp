// The main window's search band: its places, the frames of the rows it
// found, and its keys (Ctrl+F anywhere, Enter and Escape in the field).
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/unicode.h"
#include "ui/catalogue.h"
#include "win32app/dpi.h"
#include "win32app/main_window_view.h"

namespace rw::win32 {

namespace {

constexpr int kTextMargin = 8;
constexpr int kFindFieldWidth = 240;
constexpr int kFindSpacing = 6;
// Found rows are framed just outside their control.
constexpr int kFoundFrame = 2;

}  // namespace

// The caption as wide as its text in the window's language; the field and
// the result line follow it.
Win32MainView::FindBand Win32MainView::FindPlaces(UINT dpi, HFONT font) const {
  const int top = FindTop(dpi, lineHeight_), height = FindHeight(dpi, lineHeight_);
  const int textTop = top + (height - lineHeight_) / 2;
  const auto pending = pending_.find(SlotOf(Control::FindLabel));
  HWND label = ControlWindow(SlotOf(Control::FindLabel));
  std::wstring caption = Wide(DesignCaption(SlotOf(Control::FindLabel)));
  if (label)
    caption = WindowText(label);
  else if (pending != pending_.end() && pending->second.text)
    caption = *pending->second.text;
  const int left = Scale(kTextMargin, dpi);
  const int labelWidth = font ? TextWidth(font, caption) : Scale(40, dpi);
  const Box field{left + labelWidth + Scale(kFindSpacing, dpi), top, Scale(kFindFieldWidth, dpi), height};
  const int resultLeft = field.left + field.width + Scale(kFindSpacing, dpi);
  return FindBand{Box{left, textTop, labelWidth, lineHeight_}, field,
                  Box{resultLeft, textTop, ClientSize(dpi, lineHeight_).cx - left - resultLeft, lineHeight_}};
}

void Win32MainView::PlaceFindBand() {
  const FindBand band = FindPlaces(layoutDpi_, font_.get());
  const auto place = [](HWND c, const Box& b) {
    if (c) MoveWindow(c, b.left, b.top, b.width, b.height, TRUE);
  };
  place(ControlWindow(SlotOf(Control::FindLabel)), band.label);
  place(ControlWindow(SlotOf(Control::Find)), band.field);
  place(findResult_, band.result);
}

// A frame in the highlight colour around each found row's control, which
// a high-contrast scheme keeps apart from the text.
void Win32MainView::DrawFound(HDC dc) const {
  const int t = std::max(1, Scale(kFoundFrame, layoutDpi_));
  const UniqueGdiObject<HBRUSH> brush(CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT)));
  for (const OptionDef& def : Options()) {
    if (!found_[IndexOf(def.option)]) continue;
    const Box b = PlaceOf(def, layoutDpi_, font_.get());
    const RECT strips[] = {{b.left - t, b.top - t, b.left + b.width + t, b.top},
                           {b.left - t, b.top + b.height, b.left + b.width + t, b.top + b.height + t},
                           {b.left - t, b.top, b.left, b.top + b.height},
                           {b.left + b.width, b.top, b.left + b.width + t, b.top + b.height}};
    for (const RECT& r : strips) FillRect(dc, &r, brush.get());
  }
}

// True when the key was the search band's.
bool Win32MainView::OnFindKey(HWND from, WPARAM key) {
  HWND field = ControlWindow(SlotOf(Control::Find));
  if (!field) return false;
  if (key == 'F' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0) {
    if (from != field) beforeFind_ = from == window_ ? nullptr : from;
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
    return true;
  }
  if (from != field) return false;
  if (key == VK_RETURN) {
    logic_.OnFindEnter();
    return true;
  }
  if (key == VK_ESCAPE) {
    logic_.OnFindEscape();
    // Back where the user was before Ctrl+F, when that is still there.
    if (beforeFind_ && IsWindow(beforeFind_) && IsWindowEnabled(beforeFind_)) SetFocus(beforeFind_);
    beforeFind_ = nullptr;
    return true;
  }
  return false;
}

void Win32MainView::ShowFound(const std::vector<Option>& rows) {
  std::array<bool, kOptionCount> found{};
  for (const Option option : rows) found[IndexOf(option)] = true;
  if (found == found_) return;
  found_ = found;
  if (controlsCreated_ && window_) InvalidateRect(window_, nullptr, TRUE);
}

void Win32MainView::SetFindResult(const std::string& text) {
  findResultText_ = Wide(text);
  if (findResult_) SetWindowTextW(findResult_, findResultText_.c_str());
}

void Win32MainView::SetFindText(const std::string& text) {
  settingText_ = true;
  SetControlText(SlotOf(Control::Find), text);
  settingText_ = false;
}

void Win32MainView::FocusOn(Option option) {
  HWND control = ControlWindow(SlotOf(option));
  if (!control) return;
  SetFocus(control);
  SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

}  // namespace rw::win32
