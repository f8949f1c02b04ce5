#include "ui/window_commands.h"

#include <array>
#include <cstdlib>

#include "platform/key_codes.h"
#include "ui/main_window_logic.h"

namespace rw {

namespace {

using Logic = MainWindowLogic;
using enum Availability;

constexpr Shortcut kNone{};
constexpr Shortcut kCtrlP{kKeyP, true, "Ctrl+P"};
constexpr Shortcut kF1{kKeyF1, false, "F1"};

}  // namespace

// Menu item or button, separator above, caption, description, shortcut,
// handler, availability, English as well. Local to this friend of the
// window logic: the handlers are private.
std::span<const WindowCommand> WindowCommands() {
  static constexpr std::array kCommands = {

      WindowCommand{MenuItem{107}, false, "Preview", "DescribeMenuPreview", kCtrlP, &Logic::OnPreview, Idle, false},
      WindowCommand{MenuItem{125}, false, "OwnRules", "DescribeMenuOwnRules", kNone, &Logic::OnOwnRules, Idle, false},
      WindowCommand{MenuItem{101}, true, "SetFolder", "DescribeMenuSetFolder", kNone, &Logic::OnSetFolder, Idle, false},
      WindowCommand{MenuItem{102}, false, "SetLanguage", "DescribeMenuLanguage", kNone, nullptr, Idle, true},
      WindowCommand{MenuItem{120}, true, "ExportSettings", "DescribeMenuExportSettings", kNone,
                    &Logic::OnExportSettings, Idle, false},
      WindowCommand{MenuItem{126}, false, "ExportSettingsAndLooks", "DescribeMenuExportSettingsAndLooks", kNone,
                    &Logic::OnExportSettingsAndLooks, Idle, false},
      WindowCommand{MenuItem{121}, false, "ImportSettings", "DescribeMenuImportSettings", kNone,
                    &Logic::OnImportSettings, Idle, false},
      WindowCommand{MenuItem{122}, false, "ResetDefaults", "DescribeMenuResetDefaults", kNone, &Logic::OnResetDefaults,
                    Idle, false},
      WindowCommand{MenuItem{130}, true, "Looks", "DescribeMenuLooks", kNone, &Logic::OnLooksWindow, Idle, false},
      WindowCommand{MenuItem{131}, false, "SaveLookAs", "DescribeMenuSaveLookAs", kNone, &Logic::OnSaveLookAs, Idle,
                    false},
      WindowCommand{MenuItem{132}, false, "UndoLastApply", "DescribeMenuUndoLastApply", kNone, &Logic::OnUndoLastApply,
                    Idle, false},
      WindowCommand{MenuItem{103}, true, "Restore", "DescribeMenuRestore", kNone, &Logic::OnRestore, Idle, false},
      // They change nothing and show no box: they help most while a road seems stuck.
      WindowCommand{MenuItem{123}, true, "OpenLog", "DescribeMenuOpenLog", kNone, &Logic::OnOpenLog, DuringRoads,
                    false},
      WindowCommand{MenuItem{124}, false, "CopyDiagnostics", "DescribeMenuCopyDiagnostics", kNone,
                    &Logic::OnCopyDiagnostics, DuringRoads, false},
      // Not during a road: it may start the very browser a road is closing.
      WindowCommand{MenuItem{104}, true, "Help", "DescribeMenuHelp", kF1, &Logic::OnHelp, Idle, false},
      // Not during a road either: a box over a road's wait would hold it.
      WindowCommand{MenuItem{105}, false, "About", "DescribeMenuAbout", kNone, &Logic::OnAbout, Idle, false},
      // A close asked for during a road waits for its end.
      WindowCommand{MenuItem{106}, true, "Exit", "DescribeMenuExit", kNone, &Logic::OnExit, DuringRoads, false},
      WindowCommand{Control::Ok, false, "OK", "DescribeOK", kNone, &Logic::OnOk, Idle, false},
      WindowCommand{Control::Cancel, false, "Cancel", "DescribeCancel", kNone, &Logic::OnCancel, DuringRoads, false},
  };
  return kCommands;
}

namespace {

template <typename Place>
const WindowCommand* CommandAt(Place place) {
  for (const WindowCommand& command : WindowCommands())
    if (const Place* at = std::get_if<Place>(&command.place); at && *at == place) return &command;
  return nullptr;
}

}  // namespace

const WindowCommand* CommandOf(Control button) { return CommandAt(button); }
const WindowCommand* CommandOf(MenuItem item) { return CommandAt(item); }

const WindowCommand& LanguageMenuCommand() {
  for (const WindowCommand& command : WindowCommands())
    if (!command.handler) return command;
  std::abort();  // the table has the row
}

}  // namespace rw
