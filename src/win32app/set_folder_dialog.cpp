#include "win32app/set_folder_dialog.h"

#include <windows.h>

#include <shlobj.h>

#include <utility>

#include "app/app.h"
#include "platform/win32/handle.h"
#include "platform/win32/late_bound.h"
#include "platform/win32/unicode.h"
#include "ui/set_folder_dialog.h"
#include "win32app/dpi.h"
#include "win32app/window_base.h"

namespace rw::win32 {

namespace {

constexpr int kBrowseId = 3;

// Layout in pixels at 96 DPI.
constexpr SIZE kClient{445, 106};
constexpr RECT kLabel{8, 8, 385, 17};  // left, top, width, height
constexpr RECT kText{8, 30, 394, 22};
constexpr RECT kBrowse{410, 28, 26, 25};
constexpr RECT kOk{250, 73, 90, 25};
constexpr RECT kCancel{346, 73, 90, 25};
// The reason line, when there is one, sits above the rest, which moves down
// by its measured height and the gap.
constexpr RECT kReason{8, 8, 429, 0};
constexpr int kReasonGap = 6;
constexpr int kFontPoints = 9;

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

HWND ToHwnd(WindowHandle w) { return reinterpret_cast<HWND>(w); }

ModalWindow* g_open = nullptr;

class Win32SetFolderView : public ModalWindow, public SetFolderView {
 public:
  Win32SetFolderView(App& app, HWND owner, FolderDialogCause cause) : ModalWindow(owner), logic_(app, *this, cause) {}

  // --- SetFolderView ---
  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(window_); }
  void SetCaptions(const std::string& label, const std::string& ok, const std::string& cancel) override {
    SetWindowTextW(label_, Wide(label).c_str());
    SetWindowTextW(ok_, Wide(ok).c_str());
    SetWindowTextW(cancel_, Wide(cancel).c_str());
  }
  void SetReason(const std::string& reason) override {
    reason_ = Wide(reason);
    SetWindowTextW(reasonLabel_, reason_.c_str());
    ShowWindow(reasonLabel_, reason_.empty() ? SW_HIDE : SW_SHOWNA);
    Layout(layoutDpi_);
  }
  std::string Text() override {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(text_)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(text_, text.data(), static_cast<int>(text.size()))));
    return Utf8(text);
  }
  void SetText(const std::string& text) override { SetWindowTextW(text_, Wide(text).c_str()); }
  void SelectAllText() override { SendMessageW(text_, EM_SETSEL, 0, -1); }
  void FocusText() override {
    SetFocus(text_);
    logic_.OnTextFocused();  // also when it had the focus already
  }
  void Close() override { CloseModal(); }
  std::string BrowseForFolder(WindowHandle owner, const std::string& prompt, std::uint32_t flags, int root) override {
    return win32::BrowseForFolder(owner, prompt, flags, root);
  }

 private:
  bool Create() override {
    static const bool registered = RegisterWindowClass(kSetFolderDialogClass);
    if (!registered) return false;
    // An owned window has no taskbar button; without an owner, a hidden one
    // stands in.
    HWND owner = owner_;
    if (!owner) {
      hiddenOwner_.reset(CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                         GetModuleHandleW(nullptr), nullptr));
      owner = hiddenOwner_.get();
    }
    if (!CreateWindowFor(kExStyle, kSetFolderDialogClass, L"Ravelwick", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                         kClient.cx, kClient.cy, owner, nullptr))
      return false;
    // Created in tab order: the text box comes first.
    text_ = CreateChild(WS_EX_CLIENTEDGE, L"Edit", WS_TABSTOP | ES_AUTOHSCROLL, 0);
    browse_ = CreateChild(0, L"Button", WS_TABSTOP | BS_PUSHBUTTON, kBrowseId);
    SetWindowTextW(browse_, L"...");
    ok_ = CreateChild(0, L"Button", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
    cancel_ = CreateChild(0, L"Button", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);
    label_ = CreateChild(0, L"Static", SS_LEFT, 0);
    reasonLabel_ = CreateChild(0, L"Static", SS_LEFT | SS_NOPREFIX, 0);
    ShowWindow(reasonLabel_, SW_HIDE);
    layoutDpi_ = DpiOf(window_);
    Layout(layoutDpi_);
    return true;
  }

  void Layout(UINT dpi) override {
    UniqueFont font = CreateUiFont(kFontPoints, dpi);
    const int reasonHeight = ReasonHeight(font.get(), Scale(kReason.right, dpi));
    const int shift = reasonHeight > 0 ? reasonHeight + Scale(kReasonGap, dpi) : 0;
    MoveWindow(reasonLabel_, Scale(kReason.left, dpi), Scale(kReason.top, dpi), Scale(kReason.right, dpi), reasonHeight,
               TRUE);
    const std::pair<HWND, RECT> controls[] = {
        {label_, kLabel}, {text_, kText}, {browse_, kBrowse}, {ok_, kOk}, {cancel_, kCancel}};
    for (const auto& [control, r] : controls)
      MoveWindow(control, Scale(r.left, dpi), Scale(r.top, dpi) + shift, Scale(r.right, dpi), Scale(r.bottom, dpi),
                 TRUE);
    if (font) {
      for (HWND control : {reasonLabel_, label_, text_, browse_, ok_, cancel_})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
      font_ = std::move(font);
    }
    // Grown in scaled pixels, as the line was measured.
    RECT outer = WindowRectForClient(kClient, kStyle, kExStyle, false, dpi);
    outer.bottom += shift;
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void Load() override {
    logic_.OnLoad();
    Centre();
  }
  HWND FirstFocus() const override { return text_; }

  // The reason's height as wrapped at `width` in `font`; 0 without one.
  int ReasonHeight(HFONT font, int width) const {
    if (reason_.empty()) return 0;
    HDC dc = GetDC(window_);
    const HGDIOBJ before = font ? SelectObject(dc, font) : nullptr;
    RECT r{0, 0, width, 0};
    DrawTextW(dc, reason_.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    if (before) SelectObject(dc, before);
    ReleaseDC(window_, dc);
    return r.bottom - r.top;
  }

  // Centred on the owner, or on the screen, and kept on its monitor.
  void Centre() {
    RECT self{};
    GetWindowRect(window_, &self);
    const POINT at = CentredOnOwner(owner_, self.right - self.left, self.bottom - self.top);
    SetWindowPos(window_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A per-monitor DPI that differs from the creation monitor's shows only
    // once the window sits on its monitor.
    const UINT dpi = DpiOf(window_);
    if (dpi != layoutDpi_) {
      layoutDpi_ = dpi;
      Layout(dpi);
    }
  }

  // Enter and Esc reach the dialog before any of its controls. Enter on the
  // focused Cancel button still means Cancel, as in the main window: it must
  // not store the folder the user is backing out of.
  bool OnKeyFirst(const MSG& key) override {
    if (key.wParam != VK_RETURN && key.wParam != VK_ESCAPE) return false;
    if (key.wParam == VK_RETURN && key.hwnd == cancel_)
      logic_.OnCancel();
    else
      logic_.OnKeyDown(static_cast<int>(key.wParam));
    return true;
  }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_COMMAND:
        switch (LOWORD(wParam)) {
          case IDOK:
            if (HIWORD(wParam) == BN_CLICKED) logic_.OnOk();
            return 0;
          case IDCANCEL:
            if (HIWORD(wParam) == BN_CLICKED) logic_.OnCancel();
            return 0;
          case kBrowseId:
            if (HIWORD(wParam) == BN_CLICKED) logic_.OnBrowse();
            return 0;
        }
        if (reinterpret_cast<HWND>(lParam) == text_ && HIWORD(wParam) == EN_SETFOCUS) logic_.OnTextFocused();
        return 0;
      case WM_ACTIVATE:
        KeepFocusAcrossActivation(wParam, text_);
        return 0;
      case WM_CLOSE:
        Close();  // the title bar's close box: like Cancel
        return 0;
      case 0x02E0:  // WM_DPICHANGED
        FollowDpiChange(wParam, lParam);
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
  }

  SetFolderDialog logic_;
  UniqueWindow hiddenOwner_;
  HWND label_ = nullptr, text_ = nullptr, browse_ = nullptr, ok_ = nullptr, cancel_ = nullptr;
  HWND reasonLabel_ = nullptr;
  std::wstring reason_;
  UniqueFont font_;
};

}  // namespace

void ShowSetFolderDialog(App& app, WindowHandle owner, FolderDialogCause cause) {
  if (g_open) return;  // modal: there is never a second one
  Win32SetFolderView view(app, ToHwnd(owner), cause);
  view.RunModal(g_open);
}

void CloseSetFolderDialog() {
  if (g_open) g_open->CloseModal();
}

bool IsSetFolderDialogOpen() { return g_open != nullptr; }

std::string BrowseForFolder(WindowHandle owner, const std::string& prompt, std::uint32_t flags, int root) {
  static const auto coTaskMemFree = LateBound<decltype(&CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
  static const auto specialFolderLocation =
      LateBound<decltype(&SHGetSpecialFolderLocation)>(L"shell32.dll", "SHGetSpecialFolderLocation");
  static const auto browseForFolder = LateBound<decltype(&SHBrowseForFolderW)>(L"shell32.dll", "SHBrowseForFolderW");
  static const auto pathFromIdListEx =
      LateBound<decltype(&SHGetPathFromIDListEx)>(L"shell32.dll", "SHGetPathFromIDListEx");
  static const auto pathFromIdList = LateBound<decltype(&SHGetPathFromIDListW)>(L"shell32.dll", "SHGetPathFromIDListW");
  if (!coTaskMemFree || !specialFolderLocation || !browseForFolder || !pathFromIdList) return {};

  const ScopedCom com;
  PIDLIST_ABSOLUTE rootList = nullptr;
  if (FAILED(specialFolderLocation(ToHwnd(owner), root, &rootList))) rootList = nullptr;
  const std::wstring title = Wide(prompt);
  BROWSEINFOW info{};
  info.hwndOwner = ToHwnd(owner);
  info.pidlRoot = rootList;
  info.lpszTitle = title.c_str();
  info.ulFlags = flags;
  PIDLIST_ABSOLUTE chosen = browseForFolder(&info);
  std::string path;
  if (chosen) {
    // Long paths are allowed by the manifest, so the buffer is not MAX_PATH.
    std::wstring buffer(32768, L'\0');
    if ((pathFromIdListEx &&
         pathFromIdListEx(chosen, buffer.data(), static_cast<DWORD>(buffer.size()), GPFIDL_DEFAULT)) ||
        pathFromIdList(chosen, buffer.data()))
      path = Utf8(buffer.c_str());
    coTaskMemFree(chosen);
  }
  if (rootList) coTaskMemFree(rootList);
  return path;
}

}  // namespace rw::win32
