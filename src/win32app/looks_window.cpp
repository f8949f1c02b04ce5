#include "win32app/looks_window.h"

#include <windows.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/handle.h"
#include "platform/win32/unicode.h"
#include "win32app/dpi.h"
#include "win32app/window_base.h"

namespace rw::win32 {

namespace {

enum : int { kListId = 10, kDetailsId, kNameLabelId, kNameId, kUseId, kPreviewId, kSaveAsId, kRenameId, kDeleteId };

// Layout in pixels at 96 DPI; the window keeps its size.
constexpr SIZE kClient{640, 420};
constexpr int kMargin = 10;
constexpr SIZE kButton{88, 25};
constexpr int kLine = 20;
constexpr int kFontPoints = 9;

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr UINT kDpiChangedMessage = 0x02E0;

ModalWindow* g_open = nullptr;

class Win32LooksView : public ModalWindow, public LooksView {
 public:
  Win32LooksView(const App& app, const OptionSnapshot& current, HWND owner, bool naming)
      : ModalWindow(owner), logic_(app, current, *this), naming_(naming) {}

  const LooksChoice& Choice() const { return logic_.Choice(); }

  // --- LooksView ---
  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(window_); }
  void SetCaptions(const LooksCaptions& c) override {
    SetWindowTextW(window_, Wide(c.title).c_str());
    const std::pair<HWND, const std::string*> captions[] = {
        {nameLabel_, &c.nameLabel}, {use_, &c.use},       {preview_, &c.preview}, {saveAs_, &c.saveAs},
        {rename_, &c.rename},       {delete_, &c.remove}, {close_, &c.close}};
    for (const auto& [control, text] : captions) SetWindowTextW(control, Wide(*text).c_str());
  }
  void SetRows(const std::vector<std::string>& rows) override {
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    for (const std::string& row : rows)
      SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(row).c_str()));
  }
  void SelectRow(std::size_t row) override { SendMessageW(list_, LB_SETCURSEL, row, 0); }
  void SetDetails(const std::string& text) override { SetWindowTextW(details_, Wide(text).c_str()); }
  std::string NameText() override {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(name_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(name_, text.data(), static_cast<int>(text.size()))));
    return Utf8(text);
  }
  void SetNameText(const std::string& text) override { SetWindowTextW(name_, Wide(text).c_str()); }
  void Close() override { CloseModal(); }

 private:
  bool Create() override {
    static const bool registered = RegisterWindowClass(kLooksWindowClass);
    if (!registered) return false;
    const UINT dpi = owner_ ? DpiOf(owner_) : SystemDpi();
    const RECT outer = WindowRectForClient(kClient, kStyle, kExStyle, false, dpi);
    const POINT at = CentredOnOwner(owner_, outer.right - outer.left, outer.bottom - outer.top);
    if (!CreateWindowFor(kExStyle, kLooksWindowClass, L"", kStyle, at.x, at.y, outer.right - outer.left,
                         outer.bottom - outer.top, owner_, nullptr))
      return false;
    // Created in tab order.
    list_ =
        CreateChild(WS_EX_CLIENTEDGE, L"ListBox", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, kListId);
    details_ = CreateChild(0, L"Static", SS_LEFT | SS_ENDELLIPSIS | SS_NOPREFIX, kDetailsId);
    nameLabel_ = CreateChild(0, L"Static", SS_LEFT, kNameLabelId);
    name_ = CreateChild(WS_EX_CLIENTEDGE, L"Edit", WS_TABSTOP | ES_AUTOHSCROLL, kNameId);
    SendMessageW(name_, EM_SETLIMITTEXT, 2 * kMaxLookNameLength, 0);
    use_ = CreateChild(0, L"Button", WS_TABSTOP | BS_DEFPUSHBUTTON, kUseId);
    preview_ = CreateChild(0, L"Button", WS_TABSTOP, kPreviewId);
    saveAs_ = CreateChild(0, L"Button", WS_TABSTOP, kSaveAsId);
    rename_ = CreateChild(0, L"Button", WS_TABSTOP, kRenameId);
    delete_ = CreateChild(0, L"Button", WS_TABSTOP, kDeleteId);
    close_ = CreateChild(0, L"Button", WS_TABSTOP, IDCANCEL);
    layoutDpi_ = DpiOf(window_);
    Layout(layoutDpi_);
    return true;
  }
  void Load() override { logic_.OnLoad(); }
  HWND FirstFocus() const override { return naming_ ? name_ : list_; }
  bool OnKeyFirst(const MSG&) override { return false; }

  // The list above, the details line and the name field under it, the
  // buttons along the bottom.
  void Layout(UINT dpi) override {
    if (!close_) return;
    if (fontDpi_ != dpi) SetFonts(dpi);
    RECT area{};
    GetClientRect(window_, &area);
    const int margin = Scale(kMargin, dpi), line = Scale(kLine, dpi);
    const int buttonWidth = Scale(kButton.cx, dpi), buttonHeight = Scale(kButton.cy, dpi);
    const int width = area.right - 2 * margin;
    const int buttonsTop = area.bottom - margin - buttonHeight;
    const int nameTop = buttonsTop - margin - line - Scale(4, dpi);
    const int detailsTop = nameTop - margin - line;
    MoveWindow(list_, margin, margin, width, detailsTop - 2 * margin + Scale(4, dpi), TRUE);
    MoveWindow(details_, margin, detailsTop, width, line, TRUE);
    const int labelWidth = Scale(60, dpi);
    MoveWindow(nameLabel_, margin, nameTop + Scale(3, dpi), labelWidth, line, TRUE);
    MoveWindow(name_, margin + labelWidth, nameTop, width - labelWidth, line + Scale(4, dpi), TRUE);
    const std::array buttons = {use_, preview_, saveAs_, rename_, delete_};
    const int gap = Scale(6, dpi);
    for (std::size_t i = 0; i < buttons.size(); ++i)
      MoveWindow(buttons[i], margin + static_cast<int>(i) * (buttonWidth + gap), buttonsTop, buttonWidth, buttonHeight,
                 TRUE);
    MoveWindow(close_, area.right - margin - buttonWidth, buttonsTop, buttonWidth, buttonHeight, TRUE);
  }

  void SetFonts(UINT dpi) {
    UniqueFont font = CreateUiFont(kFontPoints, dpi);
    if (!font) return;
    for (HWND control : {list_, details_, nameLabel_, name_, use_, preview_, saveAs_, rename_, delete_, close_})
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);
    fontDpi_ = dpi;
  }

  void OnCommand(int id, int code) {
    switch (id) {
      case kListId:
        if (code == LBN_SELCHANGE || code == LBN_DBLCLK) {
          const LRESULT chosen = SendMessageW(list_, LB_GETCURSEL, 0, 0);
          if (chosen != LB_ERR) logic_.OnRowChosen(static_cast<std::size_t>(chosen));
          if (code == LBN_DBLCLK) logic_.OnUse(false);
        }
        return;
      case IDOK:  // Enter: Save As from the name field, else the default button
        if (GetFocus() == name_)
          logic_.OnSaveAs();
        else
          logic_.OnUse(false);
        return;
      case kUseId:
        logic_.OnUse(false);
        return;
      case kPreviewId:
        logic_.OnUse(true);
        return;
      case kSaveAsId:
        logic_.OnSaveAs();
        return;
      case kRenameId:
        logic_.OnRename();
        return;
      case kDeleteId:
        logic_.OnDelete();
        return;
      case IDCANCEL:
        logic_.OnClose();
        return;
    }
  }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
      case WM_ACTIVATE:
        KeepFocusAcrossActivation(wParam, list_);
        return 0;
      case WM_CLOSE:
        logic_.OnClose();
        return 0;
      case kDpiChangedMessage:
        FollowDpiChange(wParam, lParam);
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
  }

  LooksWindow logic_;
  bool naming_;
  HWND list_ = nullptr, details_ = nullptr, nameLabel_ = nullptr, name_ = nullptr;
  HWND use_ = nullptr, preview_ = nullptr, saveAs_ = nullptr, rename_ = nullptr, delete_ = nullptr, close_ = nullptr;
  UniqueFont font_;
  UINT fontDpi_ = 0;
};

}  // namespace

LooksChoice ShowLooksWindow(const App& app, const OptionSnapshot& current, WindowHandle owner, bool naming) {
  if (g_open) return {};
  Win32LooksView view(app, current, reinterpret_cast<HWND>(owner), naming);
  view.RunModal(g_open);
  return view.Choice();
}

}  // namespace rw::win32
