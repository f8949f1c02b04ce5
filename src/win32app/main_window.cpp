#include "win32app/main_window.h"

#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include <memory>
#include <string>

#include "app/app.h"
#include "platform/win32/road_fiber.h"
#include "platform/win32/unicode.h"
#include "platform/win32/win32_platform.h"
#include "ui/window_commands.h"
#include "win32app/dpi.h"
#include "win32app/file_dialogs.h"
#include "win32app/looks_window.h"
#include "win32app/main_window_view.h"
#include "win32app/preview_window.h"
#include "win32app/set_folder_dialog.h"

namespace rw::win32 {

namespace {

constexpr wchar_t kProgramIcon[] = L"AAA";  // in ravelwick.rc
constexpr UINT_PTR kCloseTimerId = 1;
constexpr UINT kActivateMessage = WM_APP + 1;
constexpr UINT kDpiChangedMessage = 0x02E0;

// There is one main window; its view outlives its controls.
Win32MainView* g_main = nullptr;

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

}  // namespace

void OwnedWindowFactory::ShowSetFolderDialog(App& app, WindowHandle owner, FolderDialogCause cause) {
  win32::ShowSetFolderDialog(app, owner, cause);
}
void OwnedWindowFactory::ShowPreviewWindow(App& app, const Preview& preview, WindowHandle owner) {
  win32::ShowPreviewWindow(app, preview, owner);
}
std::optional<std::string> OwnedWindowFactory::AskSavePath(const FileDialogTexts& texts, WindowHandle owner) {
  return win32::AskSavePath(texts, owner);
}
std::optional<std::string> OwnedWindowFactory::AskOpenPath(const FileDialogTexts& texts, WindowHandle owner) {
  return win32::AskOpenPath(texts, owner);
}
LooksChoice OwnedWindowFactory::ShowLooksWindow(App& app, const OptionSnapshot& current, WindowHandle owner,
                                                bool naming) {
  return win32::ShowLooksWindow(app, current, owner, naming);
}

Win32MainView::~Win32MainView() {
  if (g_main == this) g_main = nullptr;
}

bool Win32MainView::RegisterClasses() {
  static const bool registered =
      RegisterWindowClass(Wide(kMainWindowClass).c_str(), BigIcon(kProgramIcon), SmallIcon(kProgramIcon)) &&
      RegisterWindowClass(kPictureClass, PictureProc);
  return registered;
}

bool Win32MainView::Create() {
  if (!RegisterClasses()) return false;
  UniqueMenu menu(CreateMenus());
  const std::wstring className = Wide(kMainWindowClass);
  // Born at its size and place: every later move of a window costs Wine a
  // round of messages and server calls. Should the window's DPI turn out
  // otherwise (the scale changed since sign-in), it is sized and centred
  // again below.
  const UINT dpi = SystemDpi();
  font_ = CreateUiFont(kMainFontPoints, dpi);
  lineHeight_ = font_ ? LineHeightOf(font_.get()) : Scale(16, dpi);
  const RECT place = CentredOn(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), dpi, lineHeight_);
  if (!CreateWindowFor(kMainExStyle, className.c_str(), L"", kMainStyle, place.left, place.top,
                       place.right - place.left, place.bottom - place.top, nullptr, menu.get()))
    return false;
  static_cast<void>(menu.release());  // the window's now
  deleteWithWindow_ = true;
  layoutDpi_ = DpiOf(window_);
  if (layoutDpi_ != dpi) {
    font_ = CreateUiFont(kMainFontPoints, layoutDpi_);
    if (font_) lineHeight_ = LineHeightOf(font_.get());
    Centre();
  }
  return true;
}

void Win32MainView::Show() {
  KeepAlive keep(*this);
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

void Win32MainView::SetIcons(std::string_view iconName) {
  if (window_) SetWindowIcons(window_, iconName);
}
void Win32MainView::SetTitle(const std::string& title) { SetWindowTextW(window_, Wide(title).c_str()); }

void Win32MainView::Hide() {
  if (window_) ShowWindow(window_, SW_HIDE);
}
void Win32MainView::Destroy() {
  if (window_) DestroyWindow(window_);
}
void Win32MainView::CloseFolderDialog() { CloseSetFolderDialog(); }
void Win32MainView::StartCloseTimer(unsigned milliseconds) {
  if (window_) SetTimer(window_, kCloseTimerId, milliseconds, nullptr);
}
void Win32MainView::KillCloseTimer() {
  if (window_) KillTimer(window_, kCloseTimerId);
}
void Win32MainView::ShowProgress(const std::string& text, int percent) {
  if (!window_) return;
  if (!progress_) progress_ = std::make_unique<ProgressWindow>(window_);
  progress_->Show(text, percent);
}
void Win32MainView::HideProgress() {
  if (progress_) progress_->Hide();
}

void Win32MainView::SetDetails(const std::string& text) {
  detailsText_ = Wide(text);
  if (details_) SetWindowTextW(details_, detailsText_.c_str());
}

void Win32MainView::SetHeader(const std::string& text) {
  headerText_ = Wide(text);
  if (header_) SetWindowTextW(header_, headerText_.c_str());
}

void Win32MainView::SetRowMark(Option option, RowMark mark) {
  marks_[IndexOf(option)] = mark;
  if (!controlsCreated_ || !window_) return;
  const RECT r = MarkPlace(Def(option));
  InvalidateRect(window_, &r, TRUE);
}

void Win32MainView::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  if (lParam == 0) {
    if (id >= kFirstLanguageId && id <= kLastLanguageId)
      logic_.OnLanguageChosen(id - kFirstLanguageId);
    else if (const WindowCommand* command = CommandOf(MenuItem{id}))
      logic_.Run(*command);
    return;
  }
  const ControlEntry* c = EntryById(static_cast<int>(id));
  if (!c || Gone()) return;
  const int slot = c->slot;  // the entry may move while the logic runs
  if (slot == SlotOf(Control::Find)) {
    if (code == EN_CHANGE && !settingText_) logic_.OnFindChanged(Utf8(WindowText(c->window)));
    return;
  }
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
  if (IsOptionSlot(slot))
    logic_.OnCheckClicked(OptionAt(slot));
  else if (const WindowCommand* command = CommandOf(ControlAt(slot)))
    logic_.Run(*command);
  else
    logic_.OnCheckClicked(ControlAt(slot));
}

// Keys reach the window before the focused control. True when handled.
bool Win32MainView::OnKey(HWND from, WPARAM key, LPARAM lParam) {
  if (OnFindKey(from, key)) return true;
  switch (key) {
    case VK_TAB: {
      const bool back = GetKeyState(VK_SHIFT) < 0;
      if (HWND next = GetNextDlgTabItem(window_, from == window_ ? nullptr : from, back)) SetFocus(next);
      SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
      return true;
    }
    case VK_RETURN:
      // Enter on the focused Cancel button means Cancel, as anywhere else.
      if (from == ControlWindow(SlotOf(Control::Cancel))) {
        logic_.Run(*CommandOf(Control::Cancel));
        return true;
      }
      break;
  }
  const bool repeat = (lParam & (1 << 30)) != 0;
  const bool ctrlOnly = GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
  return logic_.OnKeyDown(static_cast<int>(key), repeat, ctrlOnly);
}

std::optional<LRESULT> Win32MainView::OnDisplayMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
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
    case WM_MOUSEMOVE:
      OnMouseMove(wParam, lParam);
      return 0;
    case WM_MOUSELEAVE:
      OnMouseLeave();
      return 0;
    case WM_MENUSELECT:
      logic_.OnMenuHighlighted(HighlightedItem(wParam, lParam));
      return 0;
    case WM_EXITMENULOOP:
      logic_.OnMenuHighlighted(std::nullopt);
      return 0;
    case kDpiChangedMessage:
      FollowDpiChange(wParam, lParam);
      return 0;
  }
  return std::nullopt;
}

LRESULT Win32MainView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (const std::optional<LRESULT> handled = OnDisplayMessage(message, wParam, lParam)) return *handled;
  switch (message) {
    // Commands and the first activation may be roads: on a fiber of their
    // own, so that no box or menu left open holds their waits.
    case WM_COMMAND:
      RunAsRoad([this, wParam, lParam] { OnCommand(wParam, lParam); });
      return 0;
    case WM_KEYDOWN:
      if (OnKey(window_, wParam, lParam)) return 0;
      break;
    case WM_ACTIVATE:
      KeepFocusAcrossActivation(wParam, nullptr);
      // Unpacking may take a while and lets events run: not inside the
      // activation itself.
      if (LOWORD(wParam) != WA_INACTIVE) PostMessageW(window_, kActivateMessage, 0, 0);
      return 0;
    case kActivateMessage:
      RunAsRoad([this] { logic_.OnActivate(); });
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
    case WM_DESTROY:
      // The program lives as long as this window, however it goes: a
      // WM_CLOSE sent from another process is handled inside GetMessage,
      // which would otherwise go on waiting with no window left.
      PostQuitMessage(0);
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void Win32MainView::OnWindowGone() {
  if (g_main == this) g_main = nullptr;
}

LRESULT CALLBACK Win32MainView::ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32MainView* self = g_main;
  const ControlEntry* entry = self ? self->EntryByWindow(control) : nullptr;
  // Only the instance was subclassed, so the class still holds the original.
  const WNDPROC original = entry ? entry->original : reinterpret_cast<WNDPROC>(GetClassLongPtrW(control, GCLP_WNDPROC));
  if (!entry) return CallWindowProcW(original, control, message, wParam, lParam);
  self->RelayToTips(control, message, wParam, lParam);
  switch (message) {
    case WM_MOUSEMOVE:
      self->Pointed(entry->slot);
      break;
    case WM_SETFOCUS: {
      const int slot = entry->slot;
      if (IsOptionSlot(slot))
        self->logic_.OnFocused(OptionAt(slot));
      else
        self->logic_.OnFocused(ControlAt(slot));
      break;
    }
    case WM_KILLFOCUS:
      if (!self->EntryByWindow(reinterpret_cast<HWND>(wParam))) self->logic_.OnFocused(std::nullopt);
      break;
    case WM_KEYDOWN: {
      if (!self->window_) break;
      KeepAlive keep(*self);
      if (self->OnKey(control, wParam, lParam)) return 0;
      break;
    }
    case WM_CHAR:
      // Handled as keys above; a single-line field would only beep. The
      // character of Ctrl+P (0x10) comes while the preview it opened is up;
      // that of Ctrl+F (0x06) in the search field.
      if (wParam == L'\t' || wParam == L'\r' || wParam == 0x1B || wParam == 0x10 || wParam == 0x06) return 0;
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      break;
  }
  return CallWindowProcW(original, control, message, wParam, lParam);
}

// The legends' container passes their notifications on to the window.
LRESULT CALLBACK Win32MainView::PictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      return SendMessageW(GetParent(window), message, wParam, lParam);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

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
