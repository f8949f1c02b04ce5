// An immutable copy of every option control's state and text, taken when a
// command runs. The tweak engine reads the options only through it.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace rw {

class OptionSnapshot {
 public:
  OptionSnapshot() = default;
  OptionSnapshot(std::map<std::string, int, std::less<>> states, std::map<std::string, std::string, std::less<>> texts)
      : states_(std::move(states)), texts_(std::move(texts)) {}

  /// Check state of a "chk" control: 0, 1 or 2 (mixed); 0 when unknown.
  int State(std::string_view control) const {
    auto it = states_.find(control);
    return it == states_.end() ? 0 : it->second;
  }
  /// Ticked means state 1 exactly.
  bool Ticked(std::string_view control) const { return State(control) == 1; }
  /// Text of a "txt" control; empty when unknown.
  const std::string& Text(std::string_view control) const {
    static const std::string empty;
    auto it = texts_.find(control);
    return it == texts_.end() ? empty : it->second;
  }

  /// A copy with one check state changed (for tests and callers building
  /// snapshots by hand).
  OptionSnapshot WithState(std::string_view control, int state) const {
    OptionSnapshot copy = *this;
    copy.states_[std::string(control)] = state;
    return copy;
  }
  OptionSnapshot WithText(std::string_view control, std::string_view text) const {
    OptionSnapshot copy = *this;
    copy.texts_[std::string(control)] = std::string(text);
    return copy;
  }

 private:
  std::map<std::string, int, std::less<>> states_;
  std::map<std::string, std::string, std::less<>> texts_;
};

}  // namespace rw
