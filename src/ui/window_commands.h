// The main window's commands, one row each, as the command line's verbs are:
// the menu, the buttons, the shortcuts, the captions, the details line and
// the greyed states are all made from this table.
#pragma once

#include <span>
#include <string_view>

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
  Control control;   // the menu item or button
  unsigned menuId;   // 0: a button; the end-to-end tests know the numbers
  bool startsGroup;  // a separator above it in the menu
  std::string_view captionKey;
  std::string_view describeKey;  // the details line and the tip
  Shortcut shortcut;
  void (MainWindowLogic::*handler)();  // null: the language submenu, whose items say which
  Availability availability;
  bool englishToo;  // captioned in English as well: whoever picked a language they cannot read finds it
};

/// In menu order.
std::span<const WindowCommand> WindowCommands();
/// Null for a control that starts no command.
const WindowCommand* CommandOf(Control control);
const WindowCommand* CommandWithMenuId(unsigned menuId);

}  // namespace rw
