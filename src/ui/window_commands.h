// The main window's commands, one row each, as the command line's verbs are:
// the menu, the buttons, the shortcuts, the captions, the details line and
// the greyed states are all made from this table.
#pragma once

#include <span>
#include <string_view>
#include <variant>

#include "ui/main_view.h"

namespace rw {

class MainWindowLogic;

/// When a command may start.
enum class Availability {
  Idle,         // only while no road holds the window
  DuringRoads,  // also during a road: it shows a box only, or waits for the road's end
};

/// A key that runs a command wherever the focus is.
struct Shortcut {
  int key = 0;             // as Windows numbers keys; 0: none
  bool withCtrl = false;   // with Ctrl held and Alt not (Ctrl+Alt is AltGr on many keyboards)
  std::string_view label;  // after the menu item's caption, the same in every language
};

struct WindowCommand {
  std::variant<MenuItem, Control> place;  // its menu item, or its button
  bool startsGroup;                       // a separator above it in the menu
  std::string_view captionKey;
  std::string_view describeKey;  // the details line and the tip
  Shortcut shortcut;
  void (MainWindowLogic::*handler)();  // null: the language submenu, whose items say which
  Availability availability;
  bool englishToo;  // captioned in English as well: whoever picked a language they cannot read finds it

  /// Null for a button.
  const MenuItem* Item() const { return std::get_if<MenuItem>(&place); }
};

/// In menu order. A friend of the window logic, whose handlers run only
/// through its rows.
std::span<const WindowCommand> WindowCommands();
/// Null for a control that starts no command.
const WindowCommand* CommandOf(Control button);
/// Null for a number no command has.
const WindowCommand* CommandOf(MenuItem item);
/// The language submenu's row: the one without a handler.
const WindowCommand& LanguageMenuCommand();

}  // namespace rw
