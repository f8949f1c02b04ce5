#include "win32app/main_window.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "platform/win32/unicode.h"
#include "platform/win32/win32_platform.h"
#include "ui/catalogue.h"
#include "ui/main_window_logic.h"
#include "ui/ui_factory.h"
#include "win32app/dpi.h"
#include "win32app/set_folder_dialog.h"

namespace rw::win32 {

namespace {

// Layout in pixels at 96 DPI.
struct Box {
  int left, top, width, height;
};
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
constexpr int kFontPoints = 9;

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

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr wchar_t kPictureClass[] = L"RavelwickPicture";
constexpr wchar_t kProgramIcon[] = L"AAA";  // in ravelwick.rc

// Menu command identifiers; language items follow from kFirstLanguageId.
enum MenuId : UINT {
  kMenuTop = 100,
  kMenuSetFolder,
  kMenuLanguage,
  kMenuRestore,
  kMenuHelp,
  kMenuAbout,
  kMenuExit,
  kFirstLanguageId = 200,
  kLastLanguageId = 899,
};
constexpr int kFirstControlId = 1000;
constexpr UINT_PTR kCloseTimerId = 1;
constexpr UINT kActivateMessage = WM_APP + 1;
constexpr UINT kDpiChangedMessage = 0x02E0;

struct MenuItem {
  Control control;
  UINT id;
};
constexpr MenuItem kMenuItems[] = {
    {Control::MenuTop, kMenuTop},           {Control::MenuSetFolder, kMenuSetFolder},
    {Control::MenuLanguage, kMenuLanguage}, {Control::MenuRestore, kMenuRestore},
    {Control::MenuHelp, kMenuHelp},         {Control::MenuAbout, kMenuAbout},
    {Control::MenuExit, kMenuExit},
};

// Options and the other controls share one numbering inside the view.
constexpr int SlotOf(Option option) { return static_cast<int>(IndexOf(option)); }
constexpr int SlotOf(Control control) { return kOptionCount + static_cast<int>(control); }
constexpr bool IsOptionSlot(int slot) { return slot < kOptionCount; }
constexpr Option OptionAt(int slot) { return static_cast<Option>(slot); }
constexpr Control ControlAt(int slot) { return static_cast<Control>(slot - kOptionCount); }

HICON LoadIconSized(const wchar_t* name, int cx, int cy) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_ICON, cx, cy, LR_SHARED));
}
HICON BigIcon(const wchar_t* name) {
  return LoadIconSized(name, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
}
// The title bar and the taskbar take the group drawn for small sizes
// (name + "_SMALL") when there is one: scaled down, the large drawing blurs.
HICON SmallIcon(const wchar_t* name) {
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  if (HICON icon = LoadIconSized((std::wstring(name) + L"_SMALL").c_str(), cx, cy)) return icon;
  return LoadIconSized(name, cx, cy);
}

void SetWindowIcons(HWND window, std::string_view iconName) {
  const std::wstring name = Wide(iconName);
  const auto set = [&](HICON icon, WPARAM which, int classSlot) {
    // Shared icons are one handle per size: when the class already carries
    // this one, telling the window again only costs a round of work in Wine.
    if (!icon || reinterpret_cast<HICON>(GetClassLongPtrW(window, classSlot)) == icon) return;
    SendMessageW(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
  };
  set(BigIcon(name.c_str()), ICON_BIG, GCLP_HICON);
  set(SmallIcon(name.c_str()), ICON_SMALL, GCLP_HICONSM);
}

// Menus read "&" as a mnemonic; a file name shows as it is spelled.
std::wstring MenuLiteral(std::string_view text) {
  std::wstring out;
  for (wchar_t c : Wide(text)) {
    out += c;
    if (c == L'&') out += L'&';
  }
  return out;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The host folder dialog, reached through the start-up interface.
class FolderDialogFactory : public UiFactory {
 public:
  void ShowSetFolderDialog(App& app, WindowHandle owner) override { win32::ShowSetFolderDialog(app, owner); }
  void ShowMainWindow(App&) override {}
};

class Win32MainView;
Win32MainView* g_main = nullptr;

class Win32MainView : public MainView {
 public:
  explicit Win32MainView(App& app) : logic_(app, *this, factory_) {}
  Win32MainView(const Win32MainView&) = delete;
  Win32MainView& operator=(const Win32MainView&) = delete;
  ~Win32MainView() override {
    if (font_) DeleteObject(font_);
    if (g_main == this) g_main = nullptr;
  }

  bool Create() {
    if (!RegisterClasses()) return false;
    HMENU menu = CreateMenus();
    const std::wstring className = Wide(kMainWindowClass);
    // Born at its size and place: every later move of a window costs Wine a
    // round of messages and server calls. Should the window's DPI turn out
    // otherwise (the scale changed since sign-in), it is sized and centred
    // again below.
    const UINT dpi = SystemDpi();
    const RECT place = CentredOn(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), dpi);
    window_ = CreateWindowExW(kExStyle, className.c_str(), L"", kStyle, place.left, place.top, place.right - place.left,
                              place.bottom - place.top, nullptr, menu, GetModuleHandleW(nullptr), this);
    if (!window_) {
      if (menu) DestroyMenu(menu);
      return false;
    }
    layoutDpi_ = DpiOf(window_);
    font_ = CreateUiFont(kFontPoints, layoutDpi_);
    if (layoutDpi_ != dpi) Centre();
    return true;
  }

  void Show() {
    Guard guard(this);
    logic_.OnLoad();
    if (!window_) return;
    // Each control is born at its place, with its font and with what the load
    // gave it: moving or setting fifty controls afterwards costs Wine more
    // than creating them.
    CreateControls();
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    if (HWND first = GetNextDlgTabItem(window_, nullptr, FALSE)) SetFocus(first);
  }

  HWND ControlWindow(int slot) const {
    for (const ControlEntry& c : controls_)
      if (c.slot == slot) return c.window;
    return nullptr;
  }
  HWND Window() const { return window_; }

  // --- MainView ---
  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(window_); }
  void SetIcons(std::string_view iconName) override {
    if (window_) SetWindowIcons(window_, iconName);
  }
  void SetTitle(const std::string& title) override { SetWindowTextW(window_, Wide(title).c_str()); }

  void SetCaption(Option option, const std::string& caption) override { SetControlText(SlotOf(option), caption); }
  void SetCaption(Control control, const std::string& caption) override {
    if (!SetMenuCaption(control, caption)) SetControlText(SlotOf(control), caption);
  }
  void SetCheck(Option option, int state) override { SetCheckState(SlotOf(option), state); }
  void SetCheck(Control box, int state) override { SetCheckState(SlotOf(box), state); }
  void SetText(Option field, const std::string& text) override {
    settingText_ = true;
    SetControlText(SlotOf(field), text);
    settingText_ = false;
  }
  void SetEnabled(Option option, bool enabled) override { SetControlEnabled(SlotOf(option), enabled); }
  void SetEnabled(Control control, bool enabled) override {
    for (const MenuItem& m : kMenuItems) {
      if (m.control != control) continue;
      if (HMENU bar = window_ ? GetMenu(window_) : nullptr)
        EnableMenuItem(bar, m.id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
      return;
    }
    SetControlEnabled(SlotOf(control), enabled);
  }

  void AddLanguageItem(const std::string& caption, bool checked) override {
    const UINT id = kFirstLanguageId + languageItems_;
    if (!languageMenu_ || id > kLastLanguageId) return;
    AppendMenuW(languageMenu_, MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED), id, MenuLiteral(caption).c_str());
    ++languageItems_;
  }
  void CheckLanguageItem(std::size_t index, bool checked) override {
    if (!languageMenu_ || index > kLastLanguageId - kFirstLanguageId) return;
    CheckMenuItem(languageMenu_, kFirstLanguageId + static_cast<UINT>(index),
                  MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
  }

  void Hide() override {
    if (window_) ShowWindow(window_, SW_HIDE);
  }
  void Destroy() override {
    if (window_) DestroyWindow(window_);
  }
  void CloseFolderDialog() override { CloseSetFolderDialog(); }
  void StartCloseTimer(unsigned milliseconds) override {
    if (window_) SetTimer(window_, kCloseTimerId, milliseconds, nullptr);
  }
  void KillCloseTimer() override {
    if (window_) KillTimer(window_, kCloseTimerId);
  }

 private:
  struct ControlEntry {
    int slot;
    HWND window = nullptr;
    int id = 0;
    bool isEdit = false;
    WNDPROC original = nullptr;
  };

  // Keeps the object alive while any of its handlers runs: a command may
  // end in the window's destruction, deep inside such a handler.
  class Guard {
   public:
    explicit Guard(Win32MainView* view) : view_(view) { ++view_->depth_; }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
    ~Guard() {
      if (--view_->depth_ == 0 && view_->destroyed_) delete view_;
    }

   private:
    Win32MainView* view_;
  };

  static bool RegisterClasses() {
    static const bool registered = [] {
      const std::wstring mainClass = Wide(kMainWindowClass);
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof(wc);
      wc.lpfnWndProc = WindowProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
      wc.lpszClassName = mainClass.c_str();
      WNDCLASSEXW picture = wc;
      wc.hIcon = BigIcon(kProgramIcon);
      wc.hIconSm = SmallIcon(kProgramIcon);
      if (!RegisterClassExW(&wc)) return false;
      picture.lpfnWndProc = PictureProc;
      picture.lpszClassName = kPictureClass;
      return RegisterClassExW(&picture) != 0;
    }();
    return registered;
  }

  HMENU CreateMenus() {
    HMENU bar = CreateMenu();
    HMENU popup = CreatePopupMenu();
    languageMenu_ = CreatePopupMenu();
    if (!bar || !popup || !languageMenu_) return bar;
    AppendMenuW(languageMenu_, MF_STRING | MF_CHECKED, kFirstLanguageId, Wide(kEnglishItem).c_str());
    languageItems_ = 1;

    const auto item = [&](HMENU menu, UINT id, Control control, HMENU submenu) {
      const std::wstring text = Wide(DesignCaption(SlotOf(control))) + (id == kMenuHelp ? L"\tF1" : L"");
      MENUITEMINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_ID | MIIM_STRING | (submenu ? MIIM_SUBMENU : 0u);
      info.wID = id;
      info.hSubMenu = submenu;
      info.dwTypeData = const_cast<wchar_t*>(text.c_str());
      InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
    };
    item(popup, kMenuSetFolder, Control::MenuSetFolder, nullptr);
    item(popup, kMenuLanguage, Control::MenuLanguage, languageMenu_);
    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    item(popup, kMenuRestore, Control::MenuRestore, nullptr);
    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    item(popup, kMenuHelp, Control::MenuHelp, nullptr);
    item(popup, kMenuAbout, Control::MenuAbout, nullptr);
    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    item(popup, kMenuExit, Control::MenuExit, nullptr);
    item(bar, kMenuTop, Control::MenuTop, popup);
    return bar;
  }

  static std::string_view DesignCaption(int slot) {
    if (IsOptionSlot(slot)) return Def(OptionAt(slot)).englishCaption;
    for (const auto& [control, caption] : kDesignCaptions)
      if (control == ControlAt(slot)) return caption;
    return {};
  }

  // What the load sets before the controls exist waits in pending_.
  void SetControlText(int slot, const std::string& text) {
    if (!controlsCreated_)
      pending_[slot].text = Wide(text);
    else if (HWND c = ControlWindow(slot))
      SetWindowTextW(c, Wide(text).c_str());
  }
  void SetCheckState(int slot, int state) {
    const WPARAM check = state == 1 ? BST_CHECKED : state == 2 ? BST_INDETERMINATE : BST_UNCHECKED;
    if (!controlsCreated_)
      pending_[slot].check = check;
    else if (HWND c = ControlWindow(slot))
      SendMessageW(c, BM_SETCHECK, check, 0);
  }
  void SetControlEnabled(int slot, bool enabled) {
    if (!controlsCreated_)
      pending_[slot].enabled = enabled;
    else if (HWND c = ControlWindow(slot))
      EnableWindow(c, enabled);
  }

  // False when the control is no menu item.
  bool SetMenuCaption(Control control, const std::string& caption) {
    for (const MenuItem& m : kMenuItems) {
      if (m.control != control) continue;
      HMENU bar = window_ ? GetMenu(window_) : nullptr;
      if (!bar) return true;
      const std::wstring text = Wide(caption) + (m.id == kMenuHelp ? L"\tF1" : L"");
      MENUITEMINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_STRING;
      info.dwTypeData = const_cast<wchar_t*>(text.c_str());
      // Found by identifier through the submenus as well.
      SetMenuItemInfoW(bar, m.id, FALSE, &info);
      // A hidden window's bar is measured anew when it is first drawn.
      if (m.id == kMenuTop && IsWindowVisible(window_)) DrawMenuBar(window_);
      return true;
    }
    return false;
  }

  // Created in tab order: the left column from the top, then the right,
  // each field right after its check box; then the buttons.
  void CreateControls() {
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

  void AddControl(int slot, const wchar_t* className, DWORD style, DWORD exStyle, HWND parent, const Box& place,
                  int id = 0) {
    if (id == 0) id = kFirstControlId + static_cast<int>(controls_.size());
    const auto found = pending_.find(slot);
    const Pending loaded = found != pending_.end() ? found->second : Pending{};
    const std::wstring text = loaded.text ? *loaded.text : Wide(DesignCaption(slot));
    if (!loaded.enabled) style |= WS_DISABLED;
    const Box b = Scaled(place, layoutDpi_);
    HWND c = CreateWindowExW(exStyle | WS_EX_NOPARENTNOTIFY, className, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                             b.left, b.top, b.width, b.height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!c) return;
    if (font_) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (loaded.check != BST_UNCHECKED) SendMessageW(c, BM_SETCHECK, loaded.check, 0);
    // Subclassed through the window's own procedure slot: the common
    // controls' subclass chain looks itself up on every message, which Wine
    // answers from its server.
    const auto original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(c, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32MainView::ControlProc)));
    controls_.push_back(ControlEntry{slot, c, id, className == std::wstring_view(L"Edit"), original});
  }

  static Box Scaled(const Box& b, UINT dpi) {
    return Box{Scale(b.left, dpi), Scale(b.top, dpi), Scale(b.width, dpi), Scale(b.height, dpi)};
  }

  static Box LegendBox(int i) {
    const Box& p = kPictures[i];
    return Box{-kLegendShift, (p.height - kBoxHeight) / 2, p.width + kLegendShift, kBoxHeight};
  }

  void SizeToClient(UINT dpi) {
    const RECT outer = WindowRectForClient(kClient, kStyle, kExStyle, true, dpi);
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // For a change of DPI after creation.
  void Layout(UINT dpi) {
    HFONT font = CreateUiFont(kFontPoints, dpi);
    // No control repaints on its own here: one redraw of the whole window at
    // the end costs less than fifty.
    const auto place = [&](HWND c, const Box& box) {
      if (!c) return;
      const Box b = Scaled(box, dpi);
      MoveWindow(c, b.left, b.top, b.width, b.height, FALSE);
      if (font) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    };
    for (const OptionDef& def : Options()) place(ControlWindow(SlotOf(def.option)), PlaceOf(def));
    place(ControlWindow(SlotOf(Control::SelectAll)), kSelectAllBox);
    place(ControlWindow(SlotOf(Control::Ok)), kOkBox);
    place(ControlWindow(SlotOf(Control::Cancel)), kCancelBox);
    for (int i = 0; i < 2; ++i) {
      place(pictures_[i], kPictures[i]);
      place(ControlWindow(SlotOf(kLegends[i])), LegendBox(i));
    }
    if (font) {
      if (font_) DeleteObject(font_);
      font_ = font;
    }
    SizeToClient(dpi);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }

  static Box PlaceOf(const OptionDef& def) {
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

  // Centred on the work area of the primary monitor.
  // The window's outer rectangle at `dpi`, centred on the monitor's work area.
  static RECT CentredOn(HMONITOR monitor, UINT dpi) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(monitor, &info);
    const RECT outer = WindowRectForClient(kClient, kStyle, kExStyle, true, dpi);
    const RECT work = info.rcWork;
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int left = std::max<int>(work.left, work.left + (work.right - work.left - width) / 2);
    const int top = std::max<int>(work.top, work.top + (work.bottom - work.top - height) / 2);
    return RECT{left, top, left + width, top + height};
  }

  // For a window whose DPI turned out other than its monitor's.
  void Centre() {
    const RECT r = CentredOn(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), layoutDpi_);
    SetWindowPos(window_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    const UINT dpi = DpiOf(window_);
    if (dpi != layoutDpi_) {
      layoutDpi_ = dpi;
      Layout(dpi);
    }
  }

  void Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    HPEN pen = CreatePen(PS_SOLID, std::max(1, Scale(1, layoutDpi_)), GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    for (const Box& b : kShapes)
      Rectangle(dc, Scale(b.left, layoutDpi_), Scale(b.top, layoutDpi_), Scale(b.left + b.width, layoutDpi_),
                Scale(b.top + b.height, layoutDpi_));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    EndPaint(window_, &ps);
  }

  const ControlEntry* EntryByWindow(HWND window) const {
    for (const ControlEntry& c : controls_)
      if (c.window == window) return &c;
    return nullptr;
  }

  const ControlEntry* EntryById(int id) const {
    for (const ControlEntry& c : controls_)
      if (c.id == id) return &c;
    return nullptr;
  }

  void OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (lParam == 0) {
      if (id >= kFirstLanguageId && id <= kLastLanguageId) {
        logic_.OnLanguageChosen(id - kFirstLanguageId);
        return;
      }
      switch (id) {
        case kMenuSetFolder:
          logic_.OnSetFolder();
          return;
        case kMenuRestore:
          logic_.OnRestore();
          return;
        case kMenuHelp:
          logic_.OnHelp();
          return;
        case kMenuAbout:
          logic_.OnAbout();
          return;
        case kMenuExit:
          logic_.OnExit();
          return;
      }
      return;
    }
    const ControlEntry* c = EntryById(static_cast<int>(id));
    if (!c || destroyed_) return;
    const int slot = c->slot;  // the entry may move while the logic runs
    if (c->isEdit) {
      if (code == EN_SETFOCUS) {
        SendMessageW(c->window, EM_SETSEL, 0, -1);
        logic_.OnFieldFocused(OptionAt(slot));
      } else if (code == EN_KILLFOCUS) {
        logic_.OnFieldLeft(OptionAt(slot));
      } else if (code == EN_CHANGE && !settingText_) {
        logic_.OnTextChanged(OptionAt(slot), Utf8(WindowText(c->window)));
      }
      return;
    }
    if (code != BN_CLICKED) return;
    if (id == IDOK)
      logic_.OnOk();
    else if (id == IDCANCEL)
      logic_.OnCancel();
    else if (IsOptionSlot(slot))
      logic_.OnCheckClicked(OptionAt(slot));
    else
      logic_.OnCheckClicked(ControlAt(slot));
  }

  // Keys reach the window before the focused control. True when handled.
  bool OnKey(HWND from, WPARAM key, LPARAM lParam) {
    switch (key) {
      case VK_TAB: {
        const bool back = GetKeyState(VK_SHIFT) < 0;
        if (HWND next = GetNextDlgTabItem(window_, from == window_ ? nullptr : from, back)) SetFocus(next);
        SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        return true;
      }
      case VK_F1:
        logic_.OnHelp();
        return true;
      case VK_RETURN:
        // Enter on the focused Cancel button means Cancel, as anywhere else.
        if (from == ControlWindow(SlotOf(Control::Cancel))) {
          logic_.OnCancel();
          return true;
        }
        break;
    }
    const bool repeat = (lParam & (1 << 30)) != 0;
    return logic_.OnKeyDown(static_cast<int>(key), repeat);
  }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
      case WM_KEYDOWN:
        if (OnKey(window_, wParam, lParam)) return 0;
        break;
      case WM_ACTIVATE:
        // A plain window takes the focus itself when activated; hand it back
        // to the control that had it, as a dialog does.
        if (LOWORD(wParam) == WA_INACTIVE) {
          HWND focus = GetFocus();
          if (focus && IsChild(window_, focus)) lastFocus_ = focus;
        } else {
          if (lastFocus_ && IsWindow(lastFocus_)) SetFocus(lastFocus_);
          // Unpacking may take a while and lets events run: not inside the
          // activation itself.
          PostMessageW(window_, kActivateMessage, 0, 0);
        }
        return 0;
      case kActivateMessage:
        logic_.OnActivate();
        return 0;
      case WM_CLOSE:
        logic_.Close();
        return 0;
      case WM_TIMER:
        if (wParam == kCloseTimerId) {
          logic_.OnCloseTimer();
          return 0;
        }
        break;
      case WM_SETCURSOR:
        if (WaitCursorActive()) {
          SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));
          return TRUE;
        }
        break;
      case WM_HELP:
        return TRUE;  // F1 is taken as a key
      case WM_PAINT:
        Paint();
        return 0;
      case kDpiChangedMessage: {
        layoutDpi_ = HIWORD(wParam);
        Layout(layoutDpi_);
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
      }
      case WM_DESTROY:
        // The program lives as long as this window, however it goes: a
        // WM_CLOSE sent from another process is handled inside GetMessage,
        // which would otherwise go on waiting with no window left.
        PostQuitMessage(0);
        break;
      case WM_NCDESTROY: {
        HWND window = std::exchange(window_, nullptr);
        destroyed_ = true;
        if (g_main == this) g_main = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
      }
    }
    return DefWindowProcW(window_, message, wParam, lParam);
  }

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* self = static_cast<Win32MainView*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      self->window_ = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32MainView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->window_) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    Guard guard(self);
    return self->OnMessage(message, wParam, lParam);
  }

  static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    // There is one main window; its view outlives its controls.
    Win32MainView* self = g_main;
    const ControlEntry* entry = self ? self->EntryByWindow(control) : nullptr;
    // Only the instance was subclassed, so the class still holds the original.
    const WNDPROC original =
        entry ? entry->original : reinterpret_cast<WNDPROC>(GetClassLongPtrW(control, GCLP_WNDPROC));
    if (!entry) return CallWindowProcW(original, control, message, wParam, lParam);
    switch (message) {
      case WM_KEYDOWN: {
        if (!self->window_) break;
        Guard guard(self);
        if (self->OnKey(control, wParam, lParam)) return 0;
        break;
      }
      case WM_CHAR:
        // Handled as keys above; a single-line field would only beep.
        if (wParam == L'\t' || wParam == L'\r' || wParam == 0x1B) return 0;
        break;
      case WM_NCDESTROY:
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        break;
    }
    return CallWindowProcW(original, control, message, wParam, lParam);
  }

  // The legends' container passes their notifications on to the window.
  static LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_COMMAND:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORSTATIC:
        return SendMessageW(GetParent(window), message, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  FolderDialogFactory factory_;
  MainWindowLogic logic_;
  HWND window_ = nullptr;
  HWND pictures_[2] = {nullptr, nullptr};
  HMENU languageMenu_ = nullptr;
  UINT languageItems_ = 0;
  std::vector<ControlEntry> controls_;
  // What the load sets before the controls exist.
  struct Pending {
    std::optional<std::wstring> text;
    WPARAM check = BST_UNCHECKED;
    bool enabled = true;
  };
  std::map<int, Pending> pending_;
  bool controlsCreated_ = false;
  HWND lastFocus_ = nullptr;
  HFONT font_ = nullptr;
  UINT layoutDpi_ = 96;
  int depth_ = 0;
  bool destroyed_ = false;
  bool settingText_ = false;
};

}  // namespace

void ShowMainWindow(App& app, Platform&) {
  if (g_main) return;
  auto* view = new Win32MainView(app);
  g_main = view;  // before the controls exist: their procedure finds it here
  if (!view->Create()) {
    delete view;
    return;
  }
  view->Show();
}

WindowHandle MainWindowHandle() { return g_main ? reinterpret_cast<WindowHandle>(g_main->Window()) : 0; }

WindowHandle MainWindowControl(Option option) {
  return g_main ? reinterpret_cast<WindowHandle>(g_main->ControlWindow(SlotOf(option))) : 0;
}

WindowHandle MainWindowControl(Control control) {
  return g_main ? reinterpret_cast<WindowHandle>(g_main->ControlWindow(SlotOf(control))) : 0;
}

}  // namespace rw::win32
