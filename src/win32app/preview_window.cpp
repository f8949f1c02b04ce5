#include "win32app/preview_window.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/handle.h"
#include "platform/win32/unicode.h"
#include "ui/preview_window.h"
#include "win32app/dpi.h"
#include "win32app/window_base.h"

namespace rw::win32 {

namespace {

constexpr int kListId = 10;
constexpr int kTextId = 11;

// Layout in pixels at 96 DPI. The window opens at kClient when the screen
// has room and may be made as small as kMinClient.
constexpr SIZE kClient{900, 560};
constexpr SIZE kMinClient{440, 240};
constexpr int kMargin = 8;
constexpr int kListWidth = 230;
constexpr SIZE kButton{90, 25};
constexpr int kFontPoints = 9;
constexpr int kTextPoints = 10;

constexpr ModalWindow::Frame kFrame{kClient, kMinClient};

ModalWindow* g_open = nullptr;

class Win32PreviewView : public ModalWindow, public PreviewView {
 public:
  Win32PreviewView(const App& app, const Preview& preview, HWND owner)
      : ModalWindow(owner), logic_(app, preview, *this) {}

  // --- PreviewView ---
  void SetCaptions(const std::string& title, const std::string& close) override {
    SetWindowTextW(window_, Wide(title).c_str());
    SetWindowTextW(close_, Wide(close).c_str());
  }
  void SetSectionTitles(const std::vector<std::string>& titles) override {
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    for (const std::string& title : titles)
      SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(title).c_str()));
  }
  void SelectSection(std::size_t index) override { SendMessageW(list_, LB_SETCURSEL, index, 0); }
  void ShowText(const std::string& text) override {
    SetWindowTextW(text_, Wide(text).c_str());
    // A new text is read from its start, whatever was scrolled to before.
    SendMessageW(text_, EM_SETSEL, 0, 0);
    SendMessageW(text_, EM_SCROLLCARET, 0, 0);
  }
  void Close() override { CloseModal(); }

 private:
  bool Create() override {
    static const bool registered = RegisterWindowClass(kPreviewWindowClass);
    if (!registered || !CreateOverOwner(kPreviewWindowClass, kFrame)) return false;
    // Created in tab order: the list, the text, the button.
    list_ =
        CreateChild(WS_EX_CLIENTEDGE, L"ListBox", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, kListId);
    text_ = CreateChild(WS_EX_CLIENTEDGE, L"Edit",
                        WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL |
                            ES_AUTOHSCROLL | ES_NOHIDESEL,
                        kTextId);
    // A diff may run to hundreds of kilobytes; 0 lifts the limit as far as
    // the control allows.
    SendMessageW(text_, EM_SETLIMITTEXT, 0, 0);
    close_ = CreateChild(0, L"Button", WS_TABSTOP | BS_DEFPUSHBUTTON, IDCANCEL);
    FitToOwnDpi(kFrame);
    return true;
  }
  void Load() override { logic_.OnLoad(); }
  HWND FirstFocus() const override { return list_; }

  // The list keeps its width, the text takes the rest; the button sits in
  // the bottom right corner.
  void Layout(UINT dpi) override {
    if (!close_) return;  // sized while being created, before its controls
    if (fontDpi_ != dpi) SetFonts(dpi);
    RECT area{};
    GetClientRect(window_, &area);
    const int width = area.right, height = area.bottom;
    const int margin = Scale(kMargin, dpi);
    const int buttonWidth = Scale(kButton.cx, dpi);
    const int buttonHeight = Scale(kButton.cy, dpi);
    const int listWidth = std::min(Scale(kListWidth, dpi), std::max(0, (width - 3 * margin) / 3));
    const int paneHeight = std::max(0, height - 3 * margin - buttonHeight);
    const int textLeft = 2 * margin + listWidth;
    HDWP moves = BeginDeferWindowPos(3);
    const auto place = [&](HWND control, int left, int top, int width, int height) {
      if (moves)
        moves = DeferWindowPos(moves, control, nullptr, left, top, std::max(0, width), height,
                               SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(list_, margin, margin, listWidth, paneHeight);
    place(text_, textLeft, margin, width - textLeft - margin, paneHeight);
    place(close_, width - margin - buttonWidth, height - margin - buttonHeight, buttonWidth, buttonHeight);
    if (moves) EndDeferWindowPos(moves);
  }

  void SetFonts(UINT dpi) {
    UniqueFont ui = CreateUiFont(kFontPoints, dpi);
    UniqueFont text = CreateMonospaceFont(kTextPoints, dpi);
    if (ui) {
      SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(ui.get()), TRUE);
      SendMessageW(close_, WM_SETFONT, reinterpret_cast<WPARAM>(ui.get()), TRUE);
      uiFont_ = std::move(ui);
    }
    if (text) {
      SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(text.get()), TRUE);
      textFont_ = std::move(text);
    }
    fontDpi_ = dpi;
  }

  // The multi-line text would keep Tab and Esc from the dialog manager, and
  // older systems' edit controls know no Ctrl+A.
  bool OnKeyFirst(const MSG& key) override {
    switch (key.wParam) {
      case VK_TAB:
        TabToNextControl();
        return true;
      case 'A':
        if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return false;
        SetFocus(text_);
        SendMessageW(text_, EM_SETSEL, 0, -1);
        return true;
    }
    return logic_.OnKeyDown(static_cast<int>(key.wParam));
  }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_COMMAND:
        switch (LOWORD(wParam)) {
          case IDOK:  // Enter: the default button
          case IDCANCEL:
            if (HIWORD(wParam) == BN_CLICKED) logic_.OnClose();
            return 0;
          case kListId:
            if (HIWORD(wParam) == LBN_SELCHANGE) {
              const LRESULT chosen = SendMessageW(list_, LB_GETCURSEL, 0, 0);
              if (chosen != LB_ERR) logic_.OnSectionChosen(static_cast<std::size_t>(chosen));
            }
            return 0;
        }
        return 0;
      case WM_CTLCOLORSTATIC:
        // Read-only, the text would be grey on grey; it reads as a document.
        if (reinterpret_cast<HWND>(lParam) == text_) {
          HDC dc = reinterpret_cast<HDC>(wParam);
          SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
          SetBkColor(dc, GetSysColor(COLOR_WINDOW));
          return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
      case WM_ACTIVATE:
        KeepFocusAcrossActivation(wParam, list_);
        return 0;
      case WM_CLOSE:
        logic_.OnClose();  // the close box and Alt+F4
        return 0;
    }
    if (OnFrameMessage(kFrame, message, wParam, lParam)) return 0;
    return DefWindowProcW(window_, message, wParam, lParam);
  }

  PreviewWindow logic_;
  HWND list_ = nullptr, text_ = nullptr, close_ = nullptr;
  UniqueFont uiFont_;
  UniqueFont textFont_;
  UINT fontDpi_ = 0;
};

}  // namespace

void ShowPreviewWindow(const App& app, const Preview& preview, WindowHandle owner) {
  if (g_open) return;  // modal: there is never a second one
  Win32PreviewView view(app, preview, reinterpret_cast<HWND>(owner));
  view.RunModal(g_open);
}

bool IsPreviewWindowOpen() { return g_open != nullptr; }

}  // namespace rw::win32
