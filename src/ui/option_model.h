// The state of the main window's check boxes and text fields. The window
// logic owns it; the view only mirrors it, so the tweak engine always sees
// what the logic decided.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/option.h"
#include "engine/option_snapshot.h"
#include "ui/main_view.h"

namespace rw {

class OptionModel {
 public:
  /// Every option, the legends and Select All unchecked, enabled and with
  /// empty text.
  OptionModel() = default;

  int State(Option option) const { return options_[IndexOf(option)].state; }
  const std::string& Text(Option option) const { return options_[IndexOf(option)].text; }
  bool Enabled(Option option) const { return options_[IndexOf(option)].enabled; }

  /// Setters return true when the value changed; a state for a text field
  /// or a text for a check box is ignored.
  bool SetState(Option option, int state);
  bool SetText(Option option, std::string_view text);
  bool SetEnabled(Option option, bool enabled);

  /// The check boxes that are not options: the legends and Select All.
  /// Other controls read as unchecked and disabled and ignore changes.
  int State(Control box) const;
  bool Enabled(Control box) const;
  bool SetState(Control box, int state);
  bool SetEnabled(Control box, bool enabled);

  /// An immutable copy of every option's state and text.
  OptionSnapshot Snapshot() const;

 private:
  struct Entry {
    int state = 0;  // check boxes: 0, 1 or 2 (mixed)
    std::string text;
    bool enabled = true;
  };
  Entry* BoxEntry(Control box);
  const Entry* BoxEntry(Control box) const;

  std::array<Entry, kOptionCount> options_;
  std::array<Entry, kCheckBoxControls.size()> boxes_;
};

}  // namespace rw
