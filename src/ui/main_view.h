// What the main window logic needs of a window: set what the user sees.
// The Win32 window implements it; tests use a recording fake.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "engine/option.h"
#include "platform/platform.h"

namespace rw {

/// The controls of the main window that are neither options nor menu
/// items (the menu bar's one item aside).
enum class Control {
  ModernLegend,
  ClassicLegend,
  SelectAll,
  Ok,
  Cancel,
  MenuTop,
  Find,       // the search field above the options
  FindLabel,  // its caption
};

/// A command's item in the menu, by its number there (the end-to-end tests
/// know the numbers).
struct MenuItem {
  unsigned id = 0;
  friend constexpr auto operator<=>(MenuItem, MenuItem) = default;
};

/// The check boxes among them, in the order they follow the options.
inline constexpr std::array<Control, 3> kCheckBoxControls{Control::ModernLegend, Control::ClassicLegend,
                                                          Control::SelectAll};

/// The language keys of the captions of the controls that start no command
/// (a command's caption is in its row). The legends are shown only on a
/// host with both skins.
inline constexpr std::array<std::pair<Control, std::string_view>, 5> kControlCaptionKeys{{
    {Control::MenuTop, "Menu"},
    {Control::SelectAll, "SelectAll"},
    {Control::ModernLegend, "ModernOnly"},
    {Control::ClassicLegend, "ClassicOnly"},
    {Control::FindLabel, "Find"},
}};

/// An option's control, another control or a menu item: what a tooltip or
/// the details line speaks of.
using WindowPart = std::variant<Option, Control, MenuItem>;

/// The one mark a row shows for its option, the most telling first: why it
/// is greyed, then what keeps it from acting, then a change from the default.
enum class RowMark : std::uint8_t { None, Greyed, NoEffect, Contradicted, Needs, Changed };

/// The first item of the language submenu; it stands for English.ini.
inline constexpr std::string_view kEnglishItem = "English";

class MainView {
 public:
  virtual ~MainView() = default;

  virtual WindowHandle Handle() = 0;
  /// Large and small window icons from the named icon resource.
  virtual void SetIcons(std::string_view iconName) = 0;
  virtual void SetTitle(const std::string& title) = 0;

  /// Caption of a check box, button or menu item.
  virtual void SetCaption(Option option, const std::string& caption) = 0;
  virtual void SetCaption(Control control, const std::string& caption) = 0;
  virtual void SetCaption(MenuItem item, const std::string& caption) = 0;
  virtual void SetCheck(Option option, int state) = 0;
  virtual void SetCheck(Control box, int state) = 0;
  virtual void SetText(Option field, const std::string& text) = 0;
  virtual void SetEnabled(Option option, bool enabled) = 0;
  virtual void SetEnabled(Control control, bool enabled) = 0;
  virtual void SetEnabled(MenuItem item, bool enabled) = 0;

  /// Appends an item to the language submenu; item 0 exists from the start
  /// and is checked.
  virtual void AddLanguageItem(const std::string& caption, bool checked) = 0;
  virtual void CheckLanguageItem(std::size_t index, bool checked) = 0;

  virtual void Hide() = 0;
  /// Destroys the window; nothing is shown of it afterwards.
  virtual void Destroy() = 0;
  /// Closes the host folder dialog when it is open over this window.
  virtual void CloseFolderDialog() = 0;

  /// The one-shot timer of the deferred close: the view calls
  /// MainWindowLogic::OnCloseTimer when it fires. Starting replaces a timer
  /// that runs; killing one that does not run is harmless.
  virtual void StartCloseTimer(unsigned milliseconds) = 0;
  virtual void KillCloseTimer() = 0;
  /// A small window, owned by this one and shown even while this one is
  /// hidden, that says what the program waits for: `text`, and a bar that
  /// stands at `percent` (0..100). Shown at the first call, updated after.
  virtual void ShowProgress(const std::string& /*text*/, int /*percent*/) {}
  virtual void HideProgress() {}

  /// What the window says of itself: the tip of a control, the details line
  /// at the bottom, the mark beside an option's control and the header line
  /// at the top. Set again only when they change.
  virtual void SetTooltip(Option /*option*/, const std::string& /*text*/) {}
  virtual void SetTooltip(Control /*control*/, const std::string& /*text*/) {}
  virtual void SetDetails(const std::string& /*text*/) {}
  virtual void SetRowMark(Option /*option*/, RowMark /*mark*/) {}
  virtual void SetHeader(const std::string& /*text*/) {}

  /// Find: the rows to highlight (none: no highlight), the words beside the
  /// search field, its text set from here, and the focus put on a row.
  virtual void ShowFound(const std::vector<Option>& /*rows*/) {}
  virtual void SetFindResult(const std::string& /*text*/) {}
  virtual void SetFindText(const std::string& /*text*/) {}
  virtual void FocusOn(Option /*option*/) {}
};

}  // namespace rw
