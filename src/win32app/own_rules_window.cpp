#include "win32app/own_rules_window.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/handle.h"
#include "platform/win32/unicode.h"
#include "ui/own_rules_editor.h"
#include "win32app/dpi.h"
#include "win32app/window_base.h"

namespace rw::win32 {

namespace {

constexpr int kTabsId = 10;
constexpr int kFirstTextId = 11;  // one per page
constexpr int kSummaryId = 20;
constexpr int kFindingsId = 21;

// Layout in pixels at 96 DPI.
constexpr SIZE kClient{760, 540};
constexpr SIZE kMinClient{460, 320};
constexpr int kMargin = 8;
constexpr int kSummaryHeight = 32;
constexpr int kFindingsHeight = 88;
constexpr SIZE kButton{90, 25};
constexpr int kFontPoints = 9;
constexpr int kTextPoints = 10;

constexpr ModalWindow::Frame kFrame{kClient, kMinClient};

ModalWindow* g_open = nullptr;

std::wstring TextOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

class Win32OwnRulesView : public ModalWindow, public OwnRulesView {
 public:
  Win32OwnRulesView(const App& app, OwnRulesSource& source, HWND owner)
      : ModalWindow(owner), logic_(app, source, *this) {}

  // --- OwnRulesView ---
  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(window_); }
  void SetCaptions(const std::string& title, const std::string& save, const std::string& cancel) override {
    SetWindowTextW(window_, Wide(title).c_str());
    SetWindowTextW(save_, Wide(save).c_str());
    SetWindowTextW(cancel_, Wide(cancel).c_str());
  }
  void SetPageTitle(std::size_t page, const std::string& title) override {
    std::wstring text = Wide(title);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(tabs_, TCM_SETITEMW, page, reinterpret_cast<LPARAM>(&item));
  }
  void SetPageText(std::size_t page, const std::string& text) override {
    settingText_ = true;
    SetWindowTextW(texts_[page], Wide(text).c_str());
    settingText_ = false;
  }
  void SetPageEditable(std::size_t page, bool editable) override {
    SendMessageW(texts_[page], EM_SETREADONLY, !editable, 0);
  }
  void ShowPage(std::size_t page) override {
    SendMessageW(tabs_, TCM_SETCURSEL, page, 0);
    const bool hadFocus = IsChild(window_, GetFocus()) && GetFocus() == texts_[shown_];
    for (std::size_t i = 0; i < texts_.size(); ++i) ShowWindow(texts_[i], i == page ? SW_SHOW : SW_HIDE);
    shown_ = page;
    if (hadFocus) SetFocus(texts_[page]);
  }
  void ShowCheck(const std::string& summary, const std::vector<std::string>& findings) override {
    SetWindowTextW(summary_, Wide(summary).c_str());
    SendMessageW(findings_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(findings_, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : findings)
      SendMessageW(findings_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(line).c_str()));
    SendMessageW(findings_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(findings_, nullptr, TRUE);
  }
  void GoToLine(std::size_t page, int line) override {
    HWND text = texts_[page];
    const LRESULT start = SendMessageW(text, EM_LINEINDEX, static_cast<WPARAM>(line - 1), 0);
    if (start < 0) return;
    const LRESULT length = SendMessageW(text, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    SendMessageW(text, EM_SETSEL, static_cast<WPARAM>(start), start + length);
    SendMessageW(text, EM_SCROLLCARET, 0, 0);
  }
  void SetSaveEnabled(bool enabled) override { EnableWindow(save_, enabled); }
  void Close() override { CloseModal(); }

 private:
  bool Create() override {
    static const bool registered = RegisterWindowClass(kOwnRulesWindowClass);
    if (!registered || !CreateOverOwner(kOwnRulesWindowClass, kFrame)) return false;
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
    // Created in tab order; the tabs go below the texts they frame.
    for (std::size_t i = 0; i < texts_.size(); ++i) {
      texts_[i] = CreateChild(WS_EX_CLIENTEDGE, L"Edit",
                              WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL |
                                  ES_AUTOHSCROLL | ES_NOHIDESEL,
                              kFirstTextId + static_cast<int>(i));
      // Past the check's limit, so that a longer text is told, not cut.
      SendMessageW(texts_[i], EM_SETLIMITTEXT, 0, 0);
    }
    summary_ = CreateChild(0, L"Static", SS_LEFT | SS_NOPREFIX, kSummaryId);
    findings_ = CreateChild(WS_EX_CLIENTEDGE, L"ListBox",
                            WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, kFindingsId);
    save_ = CreateChild(0, L"Button", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
    cancel_ = CreateChild(0, L"Button", WS_TABSTOP, IDCANCEL);
    tabs_ = CreateChild(0, WC_TABCONTROLW, WS_TABSTOP | WS_CLIPSIBLINGS, kTabsId);
    SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (std::size_t i = 0; i < texts_.size(); ++i) {
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<wchar_t*>(L"");
      SendMessageW(tabs_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    FitToOwnDpi(kFrame);
    return true;
  }
  void Load() override { logic_.OnLoad(); }
  HWND FirstFocus() const override { return texts_[logic_.Shown()]; }

  // The tabs take the room above the check's findings; the page's text
  // fills the tabs' own area; the buttons sit in the bottom right corner.
  void Layout(UINT dpi) override {
    if (!tabs_) return;  // sized while being created, before its controls
    if (fontDpi_ != dpi) SetFonts(dpi);
    RECT area{};
    GetClientRect(window_, &area);
    const int width = area.right, height = area.bottom;
    const int margin = Scale(kMargin, dpi);
    const SIZE button{Scale(kButton.cx, dpi), Scale(kButton.cy, dpi)};
    const int buttonsTop = height - margin - button.cy;
    const int findingsHeight = Scale(kFindingsHeight, dpi);
    const int findingsTop = buttonsTop - margin - findingsHeight;
    const int summaryHeight = Scale(kSummaryHeight, dpi);
    const int summaryTop = findingsTop - margin / 2 - summaryHeight;
    const int inner = std::max(0, width - 2 * margin);
    RECT page{margin, margin, margin + inner, std::max<int>(margin, summaryTop - margin)};
    HDWP moves = BeginDeferWindowPos(7);
    const auto place = [&](HWND control, int left, int top, int w, int h) {
      if (moves)
        moves = DeferWindowPos(moves, control, nullptr, left, top, std::max(0, w), std::max(0, h),
                               SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(tabs_, page.left, page.top, page.right - page.left, page.bottom - page.top);
    SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    for (HWND text : texts_) place(text, page.left, page.top, page.right - page.left, page.bottom - page.top);
    place(summary_, margin, summaryTop, inner, summaryHeight);
    place(findings_, margin, findingsTop, inner, findingsHeight);
    place(cancel_, width - margin - button.cx, buttonsTop, button.cx, button.cy);
    place(save_, width - 2 * margin - 2 * button.cx, buttonsTop, button.cx, button.cy);
    if (moves) EndDeferWindowPos(moves);
  }

  void SetFonts(UINT dpi) {
    if (UniqueFont ui = CreateUiFont(kFontPoints, dpi)) {
      for (HWND control : {tabs_, summary_, findings_, save_, cancel_})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(ui.get()), TRUE);
      uiFont_ = std::move(ui);
    }
    if (UniqueFont text = CreateMonospaceFont(kTextPoints, dpi)) {
      for (HWND control : texts_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(text.get()), TRUE);
      textFont_ = std::move(text);
    }
    fontDpi_ = dpi;
  }

  void ShowNextPage(bool back) {
    const std::size_t count = texts_.size();
    logic_.OnPageChosen((logic_.Shown() + (back ? count - 1 : 1)) % count);
  }

  // Tab moves on, as in a dialog (indentation is typed as spaces); Ctrl+Tab
  // and Ctrl+Page Down turn the page, as in a property sheet; older
  // systems' edit controls know no Ctrl+A.
  bool OnKeyFirst(const MSG& key) override {
    const bool control = GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
    switch (key.wParam) {
      case VK_TAB:
        if (control)
          ShowNextPage(GetKeyState(VK_SHIFT) < 0);
        else
          TabToNextControl();
        return true;
      case VK_PRIOR:
      case VK_NEXT:
        if (!control) return false;
        ShowNextPage(key.wParam == VK_PRIOR);
        return true;
      case 'A':
        if (!control || GetFocus() != texts_[logic_.Shown()]) return false;
        SendMessageW(texts_[logic_.Shown()], EM_SETSEL, 0, -1);
        return true;
    }
    return logic_.OnKeyDown(static_cast<int>(key.wParam), control);
  }

  void OnCommand(WPARAM wParam) {
    const int id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (id >= kFirstTextId && id < kFirstTextId + static_cast<int>(texts_.size())) {
      if (code == EN_CHANGE && !settingText_) {
        const std::size_t page = static_cast<std::size_t>(id - kFirstTextId);
        logic_.OnTextChanged(page, Utf8(TextOf(texts_[page])));
      }
      return;
    }
    switch (id) {
      case IDOK:  // Enter outside the text: the default button, when it may
        if (code == BN_CLICKED && IsWindowEnabled(save_)) logic_.OnSave();
        return;
      case IDCANCEL:
        if (code == BN_CLICKED) logic_.OnCancel();
        return;
      case kFindingsId:
        if (code == LBN_SELCHANGE || code == LBN_DBLCLK) {
          const LRESULT chosen = SendMessageW(findings_, LB_GETCURSEL, 0, 0);
          if (chosen != LB_ERR) logic_.OnFindingChosen(static_cast<std::size_t>(chosen));
          if (code == LBN_DBLCLK) SetFocus(texts_[logic_.Shown()]);
        }
        return;
    }
  }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_COMMAND:
        OnCommand(wParam);
        return 0;
      case WM_NOTIFY: {
        const auto* note = reinterpret_cast<const NMHDR*>(lParam);
        if (note->hwndFrom == tabs_ && note->code == TCN_SELCHANGE) {
          const LRESULT chosen = SendMessageW(tabs_, TCM_GETCURSEL, 0, 0);
          if (chosen >= 0) logic_.OnPageChosen(static_cast<std::size_t>(chosen));
        }
        return 0;
      }
      case WM_CTLCOLORSTATIC:
        // A page that cannot be edited reads greyed; the others as documents.
        if (std::find(texts_.begin(), texts_.end(), reinterpret_cast<HWND>(lParam)) != texts_.end()) {
          HDC dc = reinterpret_cast<HDC>(wParam);
          SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
          SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
          return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
      case WM_ACTIVATE:
        KeepFocusAcrossActivation(wParam, texts_[logic_.Shown()]);
        return 0;
      case WM_CLOSE:
        logic_.OnCancel();  // the close box and Alt+F4
        return 0;
    }
    if (OnFrameMessage(kFrame, message, wParam, lParam)) return 0;
    return DefWindowProcW(window_, message, wParam, lParam);
  }

  OwnRulesEditor logic_;
  HWND tabs_ = nullptr, summary_ = nullptr, findings_ = nullptr, save_ = nullptr, cancel_ = nullptr;
  std::array<HWND, kOwnRulesPages> texts_{};
  std::size_t shown_ = 0;
  bool settingText_ = false;
  UniqueFont uiFont_;
  UniqueFont textFont_;
  UINT fontDpi_ = 0;
};

}  // namespace

void ShowOwnRulesWindow(const App& app, OwnRulesSource& source, WindowHandle owner) {
  if (g_open) return;  // modal: there is never a second one
  Win32OwnRulesView view(app, source, reinterpret_cast<HWND>(owner));
  view.RunModal(g_open);
}

bool IsOwnRulesWindowOpen() { return g_open != nullptr; }

}  // namespace rw::win32
