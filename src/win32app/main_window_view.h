// The main window's class, shared by the files that make it up:
// main_window.cpp (messages), main_window_layout.cpp (controls and their
// places), main_window_marks.cpp (the rows' marks),
// main_window_menus.cpp (menu bar and language menu, from the command
// table) and main_window_tips.cpp (tips and the details line).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/option.h"
#include "platform/win32/handle.h"
#include "ui/catalogue.h"
#include "ui/main_view.h"
#include "ui/main_window_logic.h"
#include "ui/ui_factory.h"
#include "win32app/progress_window.h"
#include "win32app/window_base.h"

namespace rw::win32 {

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_CONTROLPARENT;
constexpr wchar_t kPictureClass[] = L"RavelwickPicture";
constexpr int kMainFontPoints = 9;

// A control's place in pixels at 96 DPI.
struct Box {
  int left, top, width, height;
};

// Menu identifiers besides the commands' (in the command table): the menu
// bar's one item, and the language items from kFirstLanguageId.
enum MenuId : UINT {
  kMenuTop = 100,
  kFirstLanguageId = 200,
  kLastLanguageId = 899,
};

std::wstring WindowText(HWND window);
/// The width of `text` in `font`, in pixels.
int TextWidth(HFONT font, const std::wstring& text);

// Options and the other controls share one numbering inside the view.
constexpr int SlotOf(Option option) { return static_cast<int>(IndexOf(option)); }
constexpr int SlotOf(Control control) { return kOptionCount + static_cast<int>(control); }
constexpr bool IsOptionSlot(int slot) { return slot < kOptionCount; }
constexpr Option OptionAt(int slot) { return static_cast<Option>(slot); }
constexpr Control ControlAt(int slot) { return static_cast<Control>(slot - kOptionCount); }

// The windows the main window opens over itself (the host folder dialog,
// the preview, the file dialogs and the looks), reached through the start-up interface.
class OwnedWindowFactory : public UiFactory {
 public:
  void ShowSetFolderDialog(App& app, WindowHandle owner, FolderDialogCause cause) override;
  void ShowMainWindow(App&) override {}
  void ShowPreviewWindow(App& app, const Preview& preview, WindowHandle owner) override;
  std::optional<std::string> AskSavePath(const FileDialogTexts& texts, WindowHandle owner) override;
  std::optional<std::string> AskOpenPath(const FileDialogTexts& texts, WindowHandle owner) override;
  LooksChoice ShowLooksWindow(App& app, const OptionSnapshot& current, WindowHandle owner, bool naming) override;
};

class Win32MainView : public WindowBase, public MainView {
 public:
  explicit Win32MainView(App& app) : logic_(app, *this, factory_) {}
  ~Win32MainView() override;

  bool Create();
  void Show();

  HWND ControlWindow(int slot) const;

  // --- MainView ---
  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(window_); }
  void SetIcons(std::string_view iconName) override;
  void SetTitle(const std::string& title) override;
  void SetCaption(Option option, const std::string& caption) override;
  void SetCaption(Control control, const std::string& caption) override;
  void SetCaption(MenuItem item, const std::string& caption) override;
  void SetCheck(Option option, int state) override;
  void SetCheck(Control box, int state) override;
  void SetText(Option field, const std::string& text) override;
  void SetEnabled(Option option, bool enabled) override;
  void SetEnabled(Control control, bool enabled) override;
  void SetEnabled(MenuItem item, bool enabled) override;
  void AddLanguageItem(const std::string& caption, bool checked) override;
  void CheckLanguageItem(std::size_t index, bool checked) override;
  void Hide() override;
  void Destroy() override;
  void CloseFolderDialog() override;
  void StartCloseTimer(unsigned milliseconds) override;
  void KillCloseTimer() override;
  void ShowProgress(const std::string& text, int percent) override;
  void HideProgress() override;
  void SetTooltip(Option option, const std::string& text) override;
  void SetTooltip(Control control, const std::string& text) override;
  void SetDetails(const std::string& text) override;
  void SetRowMark(Option option, RowMark mark) override;
  void SetHeader(const std::string& text) override;
  void ShowFound(const std::vector<Option>& rows) override;
  void SetFindResult(const std::string& text) override;
  void SetFindText(const std::string& text) override;
  void FocusOn(Option option) override;

 private:
  struct ControlEntry {
    int slot;
    HWND window = nullptr;
    int id = 0;
    bool isEdit = false;
    WNDPROC original = nullptr;
  };
  // What the load sets before the controls exist.
  struct Pending {
    std::optional<std::wstring> text;
    WPARAM check = BST_UNCHECKED;
    bool enabled = true;
  };

  static bool RegisterClasses();
  /// A control's caption until the load gives the language's, in the
  /// English built into the program.
  static std::string DesignCaption(int slot);

  // main_window_menus.cpp
  HMENU CreateMenus();
  /// The menu item WM_MENUSELECT names; nullopt when the menu closes or for
  /// a separator.
  std::optional<WindowPart> HighlightedItem(WPARAM wParam, LPARAM lParam) const;
  void SetMenuCaption(UINT id, const std::wstring& text);

  // main_window_layout.cpp
  void CreateControls();
  // Places in pixels at the DPI given, the header band included.
  void AddControl(int slot, const wchar_t* className, DWORD style, DWORD exStyle, HWND parent, const Box& place,
                  int id = 0);
  static int LineHeightOf(HFONT font);
  static int HeaderBand(UINT dpi, int lineHeight);
  static SIZE ClientSize(UINT dpi, int lineHeight);
  Box PlaceOf(const OptionDef& def, UINT dpi, HFONT font) const;
  Box PlaceOf(const Box& design, UINT dpi) const;
  Box HeaderPlace(UINT dpi) const;
  Box DetailsPlace(UINT dpi) const;
  // The search band below the header: its caption, field and result line.
  struct FindBand {
    Box label, field, result;
  };
  static int FindTop(UINT dpi, int lineHeight);
  static int FindHeight(UINT dpi, int lineHeight);
  FindBand FindPlaces(UINT dpi, HFONT font) const;
  void PlaceFindBand();
  void DrawFound(HDC dc) const;
  RECT MarkPlace(const OptionDef& def) const;
  void SizeToClient(UINT dpi);
  void Layout(UINT dpi) override;
  static RECT CentredOn(HMONITOR monitor, UINT dpi, int lineHeight);
  void Centre();
  void Paint();
  // main_window_marks.cpp
  void DrawMark(HDC dc, RowMark mark, const RECT& place) const;

  // main_window.cpp: Ctrl+F, and Enter and Escape in the search field.
  bool OnFindKey(HWND from, WPARAM key);
  // main_window_tips.cpp: the tips, and what the details line speaks of.
  void CreateTips();
  /// Each tip's control and the tool of its place in the window, not yet sent.
  void ForEachTipPlace(const std::function<void(TTTOOLINFOW& place, HWND control, const std::wstring& text)>& use);
  void SetTip(int slot, const std::string& text);
  /// The tips' width and the places of the tips of greyed controls.
  void FollowTips(UINT dpi);
  void RelayToTips(HWND from, UINT message, WPARAM wParam, LPARAM lParam);
  void Pointed(int slot);
  void OnMouseMove(WPARAM wParam, LPARAM lParam);
  void OnMouseLeave();

  void SetControlText(int slot, const std::string& text);
  void SetCheckState(int slot, int state);
  void SetControlEnabled(int slot, bool enabled);
  const ControlEntry* EntryByWindow(HWND window) const;
  const ControlEntry* EntryById(int id) const;

  void OnCommand(WPARAM wParam, LPARAM lParam);
  bool OnKey(HWND from, WPARAM key, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Painting, the pointer, menu highlights and DPI: what the window shows.
  std::optional<LRESULT> OnDisplayMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnWindowGone() override;
  static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  OwnedWindowFactory factory_;
  MainWindowLogic logic_;
  HWND pictures_[2] = {nullptr, nullptr};
  HMENU languageMenu_ = nullptr;
  UINT languageItems_ = 0;
  std::vector<ControlEntry> controls_;
  std::map<int, Pending> pending_;
  bool controlsCreated_ = false;
  UniqueFont font_;
  int lineHeight_ = 0;  // of font_
  HWND header_ = nullptr;
  HWND details_ = nullptr;
  HWND tips_ = nullptr;
  std::wstring headerText_, detailsText_;
  std::map<int, std::wstring> tipTexts_;
  std::array<RowMark, kOptionCount> marks_{};
  std::array<bool, kOptionCount> found_{};
  HWND findResult_ = nullptr;
  std::wstring findResultText_;
  HWND beforeFind_ = nullptr;  // the focus Ctrl+F took away
  int pointed_ = -1;           // the slot under the mouse
  bool trackingLeave_ = false;
  bool settingText_ = false;
  std::unique_ptr<ProgressWindow> progress_;  // from the first wait on
};

}  // namespace rw::win32
