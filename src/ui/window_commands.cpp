#include "ui/window_commands.h"

#include <array>

#include "platform/key_codes.h"
#include "ui/main_window_logic.h"

namespace rw {

namespace {

using Logic = MainWindowLogic;
using enum Availability;

constexpr Shortcut kNone{};
constexpr Shortcut kCtrlP{kKeyP, true, "Ctrl+P"};
constexpr Shortcut kF1{kKeyF1, false, "F1"};

// Control, menu id, separator above, caption, description, shortcut,
// handler, availability, English as well.

constexpr std::array kCommands = {
    WindowCommand{Control::MenuPreview, 107, false, "Preview", "DescribeMenuPreview", kCtrlP, &Logic::OnPreview, Idle,
                  false},
    WindowCommand{Control::MenuOwnRules, 125, false, "OwnRules", "DescribeMenuOwnRules", kNone, &Logic::OnOwnRules,
                  Idle, false},
    WindowCommand{Control::MenuSetFolder, 101, true, "SetFolder", "DescribeMenuSetFolder", kNone, &Logic::OnSetFolder,
                  Idle, false},
    WindowCommand{Control::MenuLanguage, 102, false, "SetLanguage", "DescribeMenuLanguage", kNone, nullptr, Idle, true},
    WindowCommand{Control::MenuExportSettings, 120, true, "ExportSettings", "DescribeMenuExportSettings", kNone,
                  &Logic::OnExportSettings, Idle, false},
    WindowCommand{Control::MenuExportSettingsAndLooks, 126, false, "ExportSettingsAndLooks",
                  "DescribeMenuExportSettingsAndLooks", kNone, &Logic::OnExportSettingsAndLooks, Idle, false},
    WindowCommand{Control::MenuImportSettings, 121, false, "ImportSettings", "DescribeMenuImportSettings", kNone,
                  &Logic::OnImportSettings, Idle, false},
    WindowCommand{Control::MenuResetDefaults, 122, false, "ResetDefaults", "DescribeMenuResetDefaults", kNone,
                  &Logic::OnResetDefaults, Idle, false},
    WindowCommand{Control::MenuLooks, 130, true, "Looks", "DescribeMenuLooks", kNone, &Logic::OnLooksWindow, Idle,
                  false},
    WindowCommand{Control::MenuSaveLookAs, 131, false, "SaveLookAs", "DescribeMenuSaveLookAs", kNone,
                  &Logic::OnSaveLookAs, Idle, false},
    WindowCommand{Control::MenuUndoLastApply, 132, false, "UndoLastApply", "DescribeMenuUndoLastApply", kNone,
                  &Logic::OnUndoLastApply, Idle, false},
    WindowCommand{Control::MenuRestore, 103, true, "Restore", "DescribeMenuRestore", kNone, &Logic::OnRestore, Idle,
                  false},
    // They change nothing and show no box: they help most while a road seems stuck.
    WindowCommand{Control::MenuOpenLog, 123, true, "OpenLog", "DescribeMenuOpenLog", kNone, &Logic::OnOpenLog,
                  DuringRoads, false},
    WindowCommand{Control::MenuCopyDiagnostics, 124, false, "CopyDiagnostics", "DescribeMenuCopyDiagnostics", kNone,
                  &Logic::OnCopyDiagnostics, DuringRoads, false},
    // Not during a road: it may start the very browser a road is closing.
    WindowCommand{Control::MenuHelp, 104, true, "Help", "DescribeMenuHelp", kF1, &Logic::OnHelp, Idle, false},
    // Not during a road either: a box over a road's wait would hold it.
    WindowCommand{Control::MenuAbout, 105, false, "About", "DescribeMenuAbout", kNone, &Logic::OnAbout, Idle, false},
    // A close asked for during a road waits for its end.
    WindowCommand{Control::MenuExit, 106, true, "Exit", "DescribeMenuExit", kNone, &Logic::OnExit, DuringRoads, false},
    WindowCommand{Control::Ok, 0, false, "OK", "DescribeOK", kNone, &Logic::OnOk, Idle, false},
    WindowCommand{Control::Cancel, 0, false, "Cancel", "DescribeCancel", kNone, &Logic::OnCancel, DuringRoads, false},
};

}  // namespace

std::span<const WindowCommand> WindowCommands() { return kCommands; }

const WindowCommand* CommandOf(Control control) {
  for (const WindowCommand& command : kCommands)
    if (command.control == control) return &command;
  return nullptr;
}

const WindowCommand* CommandWithMenuId(unsigned menuId) {
  for (const WindowCommand& command : kCommands)
    if (menuId != 0 && command.menuId == menuId) return &command;
  return nullptr;
}

}  // namespace rw
