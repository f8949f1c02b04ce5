// The main window's controls: where each stands, how it is created with
// what the load set before it existed, and how all move for another DPI.
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/unicode.h"
#include "ui/catalogue.h"
#include "win32app/dpi.h"
#include "win32app/main_window_view.h"

namespace rw::win32 {

namespace {

// Layout in pixels at 96 DPI.
constexpr SIZE kClient{858, 512};
constexpr Box kShapes[] = {{8, 8, 417, 465}, {432, 8, 417, 465}};
constexpr int kColumnLeft[] = {16, 440};
constexpr int kFirstRowTop = 16;
constexpr int kRowPitch = 24;
constexpr int kBoxWidth = 401;
constexpr int kBoxHeight = 17;
constexpr Box kPictures[] = {{8, 484, 209, 20}, {216, 484, 209, 20}};
constexpr Control kLegends[] = {Control::ModernLegend, Control::ClassicLegend};
// The legend box sits this far left inside its picture, which hides the
// check square and leaves only the caption.
constexpr int kLegendShift = 16;
constexpr Box kSelectAllBox{440, 480, 217, 25};
constexpr Box kOkBox{664, 480, 90, 25};
constexpr Box kCancelBox{760, 480, 90, 25};

// A check box followed by fields leaves them its row's right end; the fields
// stand a little higher, being taller.
constexpr int kBoxBeforeField = 353;
constexpr int kBoxBeforeTwoFields = 233;
constexpr int kFieldOffset = 360;
constexpr int kWideFieldOffset = 240;
constexpr int kFieldWidth = 41;
constexpr int kWideFieldWidth = 113;
constexpr int kFieldHeight = 22;
constexpr int kFieldRaise = 2;

constexpr int kFirstControlId = 1000;

Box Scaled(const Box& b, UINT dpi) {
  return Box{Scale(b.left, dpi), Scale(b.top, dpi), Scale(b.width, dpi), Scale(b.height, dpi)};
}

Box LegendBox(int i) {
  const Box& p = kPictures[i];
  return Box{-kLegendShift, (p.height - kBoxHeight) / 2, p.width + kLegendShift, kBoxHeight};
}

Box PlaceOf(const OptionDef& def) {
  const int left = kColumnLeft[def.column == Column::Left ? 0 : 1];
  const int top = kFirstRowTop + kRowPitch * (def.row - 1);
  switch (def.spot) {
    case Spot::Right:
      return Box{left + kFieldOffset, top - kFieldRaise, kFieldWidth, kFieldHeight};
    case Spot::Middle:
      return Box{left + kWideFieldOffset, top - kFieldRaise, kWideFieldWidth, kFieldHeight};
    case Spot::Box:
      break;
  }
  int width = kBoxWidth;
  for (const OptionDef& field : Options()) {
    if (field.column != def.column || field.row != def.row || field.spot == Spot::Box) continue;
    width = std::min(width, field.spot == Spot::Middle ? kBoxBeforeTwoFields : kBoxBeforeField);
  }
  return Box{left, top, width, kBoxHeight};
}

}  // namespace

std::string_view Win32MainView::DesignCaption(int slot) {
  if (IsOptionSlot(slot)) return Def(OptionAt(slot)).englishCaption;
  for (const auto& [control, caption] : kDesignCaptions)
    if (control == ControlAt(slot)) return caption;
  return {};
}

HWND Win32MainView::ControlWindow(int slot) const {
  for (const ControlEntry& c : controls_)
    if (c.slot == slot) return c.window;
  return nullptr;
}

const Win32MainView::ControlEntry* Win32MainView::EntryByWindow(HWND window) const {
  for (const ControlEntry& c : controls_)
    if (c.window == window) return &c;
  return nullptr;
}

const Win32MainView::ControlEntry* Win32MainView::EntryById(int id) const {
  for (const ControlEntry& c : controls_)
    if (c.id == id) return &c;
  return nullptr;
}

void Win32MainView::SetCaption(Option option, const std::string& caption) { SetControlText(SlotOf(option), caption); }
void Win32MainView::SetCaption(Control control, const std::string& caption) {
  if (!SetMenuCaption(control, caption)) SetControlText(SlotOf(control), caption);
}
void Win32MainView::SetCheck(Option option, int state) { SetCheckState(SlotOf(option), state); }
void Win32MainView::SetCheck(Control box, int state) { SetCheckState(SlotOf(box), state); }
void Win32MainView::SetText(Option field, const std::string& text) {
  settingText_ = true;
  SetControlText(SlotOf(field), text);
  settingText_ = false;
}
void Win32MainView::SetEnabled(Option option, bool enabled) { SetControlEnabled(SlotOf(option), enabled); }
void Win32MainView::SetEnabled(Control control, bool enabled) {
  if (!SetMenuEnabled(control, enabled)) SetControlEnabled(SlotOf(control), enabled);
}

// What the load sets before the controls exist waits in pending_.
void Win32MainView::SetControlText(int slot, const std::string& text) {
  if (!controlsCreated_)
    pending_[slot].text = Wide(text);
  else if (HWND c = ControlWindow(slot))
    SetWindowTextW(c, Wide(text).c_str());
}
void Win32MainView::SetCheckState(int slot, int state) {
  const WPARAM check = state == 1 ? BST_CHECKED : state == 2 ? BST_INDETERMINATE : BST_UNCHECKED;
  if (!controlsCreated_)
    pending_[slot].check = check;
  else if (HWND c = ControlWindow(slot))
    SendMessageW(c, BM_SETCHECK, check, 0);
}
void Win32MainView::SetControlEnabled(int slot, bool enabled) {
  if (!controlsCreated_)
    pending_[slot].enabled = enabled;
  else if (HWND c = ControlWindow(slot))
    EnableWindow(c, enabled);
}

// Created in tab order: the left column from the top, then the right,
// each field right after its check box; then the buttons.
void Win32MainView::CreateControls() {
  std::vector<const OptionDef*> order;
  for (const OptionDef& def : Options()) order.push_back(&def);
  std::stable_sort(order.begin(), order.end(), [](const OptionDef* a, const OptionDef* b) {
    if (a->column != b->column) return a->column < b->column;
    if (a->row != b->row) return a->row < b->row;
    return a->spot < b->spot;
  });
  for (const OptionDef* def : order) {
    const int slot = SlotOf(def->option);
    if (def->kind == OptionKind::Check)
      AddControl(slot, L"Button", WS_TABSTOP | BS_3STATE, 0, window_, PlaceOf(*def));
    else
      AddControl(slot, L"Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, window_, PlaceOf(*def));
  }
  AddControl(SlotOf(Control::SelectAll), L"Button", WS_TABSTOP | BS_3STATE, 0, window_, kSelectAllBox);
  AddControl(SlotOf(Control::Ok), L"Button", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, window_, kOkBox, IDOK);
  AddControl(SlotOf(Control::Cancel), L"Button", WS_TABSTOP | BS_PUSHBUTTON, 0, window_, kCancelBox, IDCANCEL);
  for (int i = 0; i < 2; ++i) {
    const Box p = Scaled(kPictures[i], layoutDpi_);
    pictures_[i] =
        CreateWindowExW(WS_EX_NOPARENTNOTIFY, kPictureClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, p.left,
                        p.top, p.width, p.height, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    AddControl(SlotOf(kLegends[i]), L"Button", BS_3STATE, 0, pictures_[i], LegendBox(i));
  }
  controlsCreated_ = true;
  pending_.clear();
}

void Win32MainView::AddControl(int slot, const wchar_t* className, DWORD style, DWORD exStyle, HWND parent,
                               const Box& place, int id) {
  if (id == 0) id = kFirstControlId + static_cast<int>(controls_.size());
  const auto found = pending_.find(slot);
  const Pending loaded = found != pending_.end() ? found->second : Pending{};
  const std::wstring text = loaded.text ? *loaded.text : Wide(DesignCaption(slot));
  if (!loaded.enabled) style |= WS_DISABLED;
  const Box b = Scaled(place, layoutDpi_);
  HWND c = CreateWindowExW(exStyle | WS_EX_NOPARENTNOTIFY, className, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                           b.left, b.top, b.width, b.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  if (!c) return;
  if (font_) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  if (loaded.check != BST_UNCHECKED) SendMessageW(c, BM_SETCHECK, loaded.check, 0);
  // Subclassed through the window's own procedure slot: the common
  // controls' subclass chain looks itself up on every message, which Wine
  // answers from its server.
  const auto original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(c, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32MainView::ControlProc)));
  controls_.push_back(ControlEntry{slot, c, id, className == std::wstring_view(L"Edit"), original});
}

void Win32MainView::SizeToClient(UINT dpi) {
  const RECT outer = WindowRectForClient(kClient, kMainStyle, kMainExStyle, true, dpi);
  SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// For a change of DPI after creation.
void Win32MainView::Layout(UINT dpi) {
  UniqueFont font = CreateUiFont(kMainFontPoints, dpi);
  // No control repaints on its own here: one redraw of the whole window at
  // the end costs less than fifty.
  const auto place = [&](HWND c, const Box& box) {
    if (!c) return;
    const Box b = Scaled(box, dpi);
    MoveWindow(c, b.left, b.top, b.width, b.height, FALSE);
    if (font) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  };
  for (const OptionDef& def : Options()) place(ControlWindow(SlotOf(def.option)), PlaceOf(def));
  place(ControlWindow(SlotOf(Control::SelectAll)), kSelectAllBox);
  place(ControlWindow(SlotOf(Control::Ok)), kOkBox);
  place(ControlWindow(SlotOf(Control::Cancel)), kCancelBox);
  for (int i = 0; i < 2; ++i) {
    place(pictures_[i], kPictures[i]);
    place(ControlWindow(SlotOf(kLegends[i])), LegendBox(i));
  }
  if (font) font_ = std::move(font);
  SizeToClient(dpi);
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The window's outer rectangle at `dpi`, centred on the monitor's work area.
RECT Win32MainView::CentredOn(HMONITOR monitor, UINT dpi) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(monitor, &info);
  const RECT outer = WindowRectForClient(kClient, kMainStyle, kMainExStyle, true, dpi);
  const RECT work = info.rcWork;
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const int left = std::max<int>(work.left, work.left + (work.right - work.left - width) / 2);
  const int top = std::max<int>(work.top, work.top + (work.bottom - work.top - height) / 2);
  return RECT{left, top, left + width, top + height};
}

// For a window whose DPI turned out other than its monitor's.
void Win32MainView::Centre() {
  const RECT r = CentredOn(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), layoutDpi_);
  SetWindowPos(window_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  const UINT dpi = DpiOf(window_);
  if (dpi != layoutDpi_) {
    layoutDpi_ = dpi;
    Layout(dpi);
  }
}

void Win32MainView::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window_, &ps);
  const UniquePen pen(CreatePen(PS_SOLID, std::max(1, Scale(1, layoutDpi_)), GetSysColor(COLOR_BTNSHADOW)));
  HGDIOBJ oldPen = SelectObject(dc, pen.get());
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  for (const Box& b : kShapes)
    Rectangle(dc, Scale(b.left, layoutDpi_), Scale(b.top, layoutDpi_), Scale(b.left + b.width, layoutDpi_),
              Scale(b.top + b.height, layoutDpi_));
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  EndPaint(window_, &ps);
}

}  // namespace rw::win32
