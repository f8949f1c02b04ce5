// What the main window logic needs of a window: set what the user sees.
// The Win32 window implements it; tests use a recording fake.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "platform/platform.h"

namespace rw {

/// Captions of the controls that are not options, shown until the first
/// ApplyLanguage (option captions are in the catalogue).
inline constexpr std::array<std::pair<std::string_view, std::string_view>, 12> kDesignCaptions{{
    {"mnuMenu", "Menu"},
    {"mnuSetFolder", "Set Maxthon 3 Folder..."},
    {"mnuLanguage", "Language"},
    {"mnuRestore", "Restore Default Resource File"},
    {"mnuHelp", "Help"},
    {"mnuAbout", "About..."},
    {"mnuExit", "Exit"},
    {"cmdOK", "OK"},
    {"cmdCancel", "Cancel"},
    {"chkSelectAll", "Select/Unselect All"},
    {"chkModernOnly", "(*) Modern Skin only"},
    {"chkClassicOnly", "(#) Classic Skin only"},
}};

/// The first item of the language submenu; it stands for English.ini.
inline constexpr std::string_view kEnglishItem = "English";

class MainView {
 public:
  virtual ~MainView() = default;

  virtual WindowHandle Handle() = 0;
  /// Large and small window icons from the named icon resource.
  virtual void SetIcons(std::string_view iconName) = 0;
  virtual void SetTitle(const std::string& title) = 0;

  /// Caption of a check box, button or menu item, by control name.
  virtual void SetCaption(std::string_view control, const std::string& caption) = 0;
  virtual void SetCheck(std::string_view control, int state) = 0;
  virtual void SetText(std::string_view control, const std::string& text) = 0;
  virtual void SetEnabled(std::string_view control, bool enabled) = 0;

  /// Appends an item to the language submenu; item 0 exists from the start
  /// and is checked.
  virtual void AddLanguageItem(const std::string& caption, bool checked) = 0;
  virtual void CheckLanguageItem(std::size_t index, bool checked) = 0;

  virtual void Hide() = 0;
  /// Destroys the window; nothing is shown of it afterwards.
  virtual void Destroy() = 0;
  /// Closes the host folder dialog when it is open over this window.
  virtual void CloseFolderDialog() = 0;

  /// The one-shot timer of the deferred unload: the view calls
  /// MainWindowLogic::MainUnloadTimerProc when it fires. Starting replaces
  /// a timer that runs; killing one that does not run is harmless.
  virtual void StartUnloadTimer(unsigned milliseconds) = 0;
  virtual void KillUnloadTimer() = 0;
};

}  // namespace rw
