// The main window's controls: where each stands, how it is created with
// what the load set before it existed, and how all move for another DPI.
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/language_text.h"
#include "platform/win32/unicode.h"
#include "ui/catalogue.h"
#include "ui/window_commands.h"
#include "win32app/dpi.h"
#include "win32app/main_window_view.h"

namespace rw::win32 {

namespace {

// Layout in pixels at 96 DPI, below the header line; each column has a
// gutter at its left for the rows' marks.
constexpr int kMarkGutter = 12;
constexpr int kMarkSize = 9;
constexpr SIZE kOptionsArea{858 + 2 * kMarkGutter, 512};
constexpr Box kShapes[] = {{8, 8, 417 + kMarkGutter, 465}, {432 + kMarkGutter, 8, 417 + kMarkGutter, 465}};
constexpr int kColumnLeft[] = {16 + kMarkGutter, 440 + 2 * kMarkGutter};
constexpr int kFirstRowTop = 16;
constexpr int kRowPitch = 24;
constexpr int kBoxWidth = 401;
constexpr int kBoxHeight = 17;
constexpr Box kPictures[] = {{8, 484, 209, 20}, {216, 484, 209, 20}};
constexpr Control kLegends[] = {Control::ModernLegend, Control::ClassicLegend};
// The legend box sits this far left inside its picture, which hides the
// check square and leaves only the caption.
constexpr int kLegendShift = 16;
constexpr Box kSelectAllBox{440 + 2 * kMarkGutter, 480, 217, 25};
constexpr Box kOkBox{664 + 2 * kMarkGutter, 480, 90, 25};
constexpr Box kCancelBox{760 + 2 * kMarkGutter, 480, 90, 25};
// The header line above the columns and the details line below the
// buttons, as high as their font's lines at the window's DPI.
constexpr int kTextMargin = 8;
constexpr int kHeaderTop = 4;
constexpr int kDetailsLines = 3;
constexpr int kDetailsBottom = 6;
// The search band under the header line: a caption, a field as tall as
// the option fields (or its font needs), and the words on what it found.
constexpr int kFindGap = 4;
constexpr int kFindTextPadding = 6;

// A check box followed by fields leaves them its row's right end; the fields
// stand a little higher, being taller; the box leaves room for the field's
// mark.
constexpr int kFieldOffset = 360;
constexpr int kWideFieldOffset = 240;
constexpr int kFieldWidth = 41;
constexpr int kWideFieldWidth = 113;
constexpr int kFieldHeight = 22;
constexpr int kFieldRaise = 2;
// Room in a field beyond its text: the sunken edge, the margins and the caret.
constexpr int kFieldPadding = 12;

constexpr int kFirstControlId = 1000;

Box Scaled(const Box& b, UINT dpi) {
  return Box{Scale(b.left, dpi), Scale(b.top, dpi), Scale(b.width, dpi), Scale(b.height, dpi)};
}

Box LegendBox(int i) {
  const Box& p = kPictures[i];
  return Box{-kLegendShift, (p.height - kBoxHeight) / 2, p.width + kLegendShift, kBoxHeight};
}

Box Shifted(Box b, int down) {
  b.top += down;
  return b;
}

}  // namespace

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

int TextWidth(HFONT font, const std::wstring& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

int Win32MainView::LineHeightOf(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return metrics.tmHeight;
}

int Win32MainView::FindTop(UINT dpi, int lineHeight) {
  return Scale(kHeaderTop, dpi) + lineHeight + Scale(kFindGap, dpi);
}
int Win32MainView::FindHeight(UINT dpi, int lineHeight) {
  return std::max(Scale(kFieldHeight, dpi), lineHeight + Scale(kFindTextPadding, dpi));
}
int Win32MainView::HeaderBand(UINT dpi, int lineHeight) {
  return FindTop(dpi, lineHeight) + FindHeight(dpi, lineHeight);
}

SIZE Win32MainView::ClientSize(UINT dpi, int lineHeight) {
  return SIZE{Scale(kOptionsArea.cx, dpi), HeaderBand(dpi, lineHeight) + Scale(kOptionsArea.cy, dpi) +
                                               kDetailsLines * lineHeight + Scale(kDetailsBottom, dpi)};
}

// In pixels at `dpi`, the header band included. The font field is as wide
// as its default text needs in the font it shows it in; its check box
// gives up what it takes.
Box Win32MainView::PlaceOf(const OptionDef& def, UINT dpi, HFONT font) const {
  const int left = kColumnLeft[def.column == Column::Left ? 0 : 1];
  const int top = kFirstRowTop + kRowPitch * (def.row - 1);
  const int down = HeaderBand(dpi, lineHeight_);
  const auto middleField = [&](const OptionDef& field) {
    Box b = Scaled(Box{left + kWideFieldOffset, top - kFieldRaise, kWideFieldWidth, kFieldHeight}, dpi);
    // Clear of the mark of the field at its right.
    const int right = std::min(b.left + b.width, Scale(left + kFieldOffset - kMarkGutter, dpi));
    if (font)
      b.width = std::max(b.width, TextWidth(font, Wide(field.defaultValue)) + Scale(kFieldPadding, dpi) +
                                      2 * GetSystemMetrics(SM_CXEDGE));
    b.left = right - b.width;
    return Shifted(b, down);
  };
  switch (def.spot) {
    case Spot::Right:
      return Shifted(Scaled(Box{left + kFieldOffset, top - kFieldRaise, kFieldWidth, kFieldHeight}, dpi), down);
    case Spot::Middle:
      return middleField(def);
    case Spot::Box:
      break;
  }
  Box box = Shifted(Scaled(Box{left, top, kBoxWidth, kBoxHeight}, dpi), down);
  for (const OptionDef& field : Options()) {
    if (field.column != def.column || field.row != def.row || field.spot == Spot::Box) continue;
    const int fieldLeft = field.spot == Spot::Middle ? middleField(field).left : Scale(left + kFieldOffset, dpi);
    box.width = std::min(box.width, fieldLeft - Scale(kMarkGutter, dpi) - box.left);
  }
  return box;
}

Box Win32MainView::PlaceOf(const Box& design, UINT dpi) const {
  return Shifted(Scaled(design, dpi), HeaderBand(dpi, lineHeight_));
}

// In the gutter or gap just left of the control.
RECT Win32MainView::MarkPlace(const OptionDef& def) const {
  const Box c = PlaceOf(def, layoutDpi_, font_.get());
  const int size = Scale(kMarkSize, layoutDpi_);
  const int left = c.left - size - Scale(2, layoutDpi_);
  const int top = c.top + (c.height - size) / 2;
  return RECT{left, top, left + size, top + size};
}

std::string Win32MainView::DesignCaption(int slot) {
  if (IsOptionSlot(slot)) return EnglishCaption(Def(OptionAt(slot)));
  for (const auto& [control, key] : kControlCaptionKeys)
    if (control == ControlAt(slot)) return BuiltInEnglishText(key);
  const WindowCommand* command = CommandOf(ControlAt(slot));
  return command ? BuiltInEnglishText(command->captionKey) : std::string();
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
  if (control == Control::MenuTop) return SetMenuCaption(kMenuTop, Wide(caption));
  SetControlText(SlotOf(control), caption);
  if (control == Control::FindLabel && controlsCreated_) PlaceFindBand();
}
void Win32MainView::SetCheck(Option option, int state) { SetCheckState(SlotOf(option), state); }
void Win32MainView::SetCheck(Control box, int state) { SetCheckState(SlotOf(box), state); }
void Win32MainView::SetText(Option field, const std::string& text) {
  settingText_ = true;
  SetControlText(SlotOf(field), text);
  settingText_ = false;
}
void Win32MainView::SetEnabled(Option option, bool enabled) { SetControlEnabled(SlotOf(option), enabled); }
void Win32MainView::SetEnabled(Control control, bool enabled) { SetControlEnabled(SlotOf(control), enabled); }

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
// each field right after its check box; then the buttons. The header and
// details lines and the tip window come last and take no number.
void Win32MainView::CreateControls() {
  std::vector<const OptionDef*> order;
  for (const OptionDef& def : Options()) order.push_back(&def);
  std::stable_sort(order.begin(), order.end(), [](const OptionDef* a, const OptionDef* b) {
    if (a->column != b->column) return a->column < b->column;
    if (a->row != b->row) return a->row < b->row;
    return a->spot < b->spot;
  });
  const UINT dpi = layoutDpi_;
  for (const OptionDef* def : order) {
    const int slot = SlotOf(def->option);
    const Box place = PlaceOf(*def, dpi, font_.get());
    if (def->kind == OptionKind::Check)
      AddControl(slot, L"Button", WS_TABSTOP | BS_3STATE, 0, window_, place);
    else
      AddControl(slot, L"Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, window_, place);
  }
  AddControl(SlotOf(Control::SelectAll), L"Button", WS_TABSTOP | BS_3STATE, 0, window_, PlaceOf(kSelectAllBox, dpi));
  AddControl(SlotOf(Control::Ok), L"Button", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, window_, PlaceOf(kOkBox, dpi), IDOK);
  AddControl(SlotOf(Control::Cancel), L"Button", WS_TABSTOP | BS_PUSHBUTTON, 0, window_, PlaceOf(kCancelBox, dpi),
             IDCANCEL);
  for (int i = 0; i < 2; ++i) {
    const Box p = PlaceOf(kPictures[i], dpi);
    pictures_[i] =
        CreateWindowExW(WS_EX_NOPARENTNOTIFY, kPictureClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, p.left,
                        p.top, p.width, p.height, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    AddControl(SlotOf(kLegends[i]), L"Button", BS_3STATE, 0, pictures_[i], Scaled(LegendBox(i), dpi));
  }
  const auto addLine = [&](const std::wstring& text, DWORD style, const Box& b) {
    HWND line =
        CreateWindowExW(WS_EX_NOPARENTNOTIFY, L"Static", text.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX | style,
                        b.left, b.top, b.width, b.height, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (line && font_) SendMessageW(line, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return line;
  };
  header_ = addLine(headerText_, SS_ENDELLIPSIS, HeaderPlace(dpi));
  details_ = addLine(detailsText_, SS_LEFT, DetailsPlace(dpi));
  // After the lines, and last in the tab order: Ctrl+F reaches it from
  // anywhere, and the first Tab of a new window still goes to the options.
  const FindBand band = FindPlaces(dpi, font_.get());
  AddControl(SlotOf(Control::FindLabel), L"Static", SS_NOPREFIX, 0, window_, band.label);
  AddControl(SlotOf(Control::Find), L"Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, window_, band.field);
  findResult_ = addLine(findResultText_, SS_ENDELLIPSIS, band.result);
  CreateTips();
  controlsCreated_ = true;
  pending_.clear();
}

Box Win32MainView::HeaderPlace(UINT dpi) const {
  return Box{Scale(kTextMargin, dpi), Scale(kHeaderTop, dpi), Scale(kOptionsArea.cx - 2 * kTextMargin, dpi),
             lineHeight_};
}

Box Win32MainView::DetailsPlace(UINT dpi) const {
  return Box{Scale(kTextMargin, dpi), HeaderBand(dpi, lineHeight_) + Scale(kOptionsArea.cy, dpi),
             Scale(kOptionsArea.cx - 2 * kTextMargin, dpi), kDetailsLines * lineHeight_};
}

void Win32MainView::AddControl(int slot, const wchar_t* className, DWORD style, DWORD exStyle, HWND parent,
                               const Box& b, int id) {
  if (id == 0) id = kFirstControlId + static_cast<int>(controls_.size());
  const auto found = pending_.find(slot);
  const Pending loaded = found != pending_.end() ? found->second : Pending{};
  const std::wstring text = loaded.text ? *loaded.text : Wide(DesignCaption(slot));
  if (!loaded.enabled) style |= WS_DISABLED;
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
  const RECT outer = WindowRectForClientPixels(ClientSize(dpi, lineHeight_), kMainStyle, kMainExStyle, true, dpi);
  SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// For a change of DPI after creation.
void Win32MainView::Layout(UINT dpi) {
  UniqueFont font = CreateUiFont(kMainFontPoints, dpi);
  if (font) lineHeight_ = LineHeightOf(font.get());
  // No control repaints on its own here: one redraw of the whole window at
  // the end costs less than fifty.
  const auto place = [&](HWND c, const Box& b) {
    if (!c) return;
    MoveWindow(c, b.left, b.top, b.width, b.height, FALSE);
    if (font) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  };
  for (const OptionDef& def : Options()) place(ControlWindow(SlotOf(def.option)), PlaceOf(def, dpi, font.get()));
  place(ControlWindow(SlotOf(Control::SelectAll)), PlaceOf(kSelectAllBox, dpi));
  place(ControlWindow(SlotOf(Control::Ok)), PlaceOf(kOkBox, dpi));
  place(ControlWindow(SlotOf(Control::Cancel)), PlaceOf(kCancelBox, dpi));
  for (int i = 0; i < 2; ++i) {
    place(pictures_[i], PlaceOf(kPictures[i], dpi));
    place(ControlWindow(SlotOf(kLegends[i])), Scaled(LegendBox(i), dpi));
  }
  place(header_, HeaderPlace(dpi));
  place(details_, DetailsPlace(dpi));
  const FindBand band = FindPlaces(dpi, font.get());
  place(ControlWindow(SlotOf(Control::FindLabel)), band.label);
  place(ControlWindow(SlotOf(Control::Find)), band.field);
  place(findResult_, band.result);
  if (font) font_ = std::move(font);
  FollowTips(dpi);
  SizeToClient(dpi);
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The window's outer rectangle at `dpi`, centred on the monitor's work area.
RECT Win32MainView::CentredOn(HMONITOR monitor, UINT dpi, int lineHeight) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(monitor, &info);
  const RECT outer = WindowRectForClientPixels(ClientSize(dpi, lineHeight), kMainStyle, kMainExStyle, true, dpi);
  const RECT work = info.rcWork;
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const int left = std::max<int>(work.left, work.left + (work.right - work.left - width) / 2);
  const int top = std::max<int>(work.top, work.top + (work.bottom - work.top - height) / 2);
  return RECT{left, top, left + width, top + height};
}

// For a window whose DPI turned out other than its monitor's.
void Win32MainView::Centre() {
  const RECT r = CentredOn(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), layoutDpi_, lineHeight_);
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
  for (const Box& design : kShapes) {
    const Box b = PlaceOf(design, layoutDpi_);
    Rectangle(dc, b.left, b.top, b.left + b.width, b.top + b.height);
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  if (controlsCreated_) {
    for (const OptionDef& def : Options()) DrawMark(dc, marks_[IndexOf(def.option)], MarkPlace(def));
    DrawFound(dc);
  }
  EndPaint(window_, &ps);
}

}  // namespace rw::win32
