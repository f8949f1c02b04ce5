// An immutable copy of every option's state and text, taken when a command
// runs. The tweak engine reads the options only through it.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/option.h"

namespace rw {

class OptionSnapshot {
 public:
  /// Every box unticked and every field empty.
  OptionSnapshot() = default;

  /// Check state of a box: 0, 1 or 2 (mixed); 0 for a text field.
  int State(Option option) const { return states_[IndexOf(option)]; }
  /// Ticked means state 1 exactly, not ticked state 0 exactly: a mixed box
  /// (2, from a settings file holding "2") is neither.
  bool Ticked(Option option) const { return State(option) == 1; }
  bool Unticked(Option option) const { return State(option) == 0; }
  /// Text of a field; empty for a box.
  const std::string& Text(Option option) const { return texts_[IndexOf(option)]; }

  /// A copy with one check state or one text changed.
  OptionSnapshot WithState(Option option, int state) const {
    OptionSnapshot copy = *this;
    copy.states_[IndexOf(option)] = state;
    return copy;
  }
  OptionSnapshot WithText(Option option, std::string_view text) const {
    OptionSnapshot copy = *this;
    copy.texts_[IndexOf(option)] = std::string(text);
    return copy;
  }

 private:
  friend class OptionModel;  // fills a new snapshot in place

  std::array<int, kOptionCount> states_{};
  std::array<std::string, kOptionCount> texts_{};
};

}  // namespace rw
