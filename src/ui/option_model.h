// The state of the main window's check boxes and text fields. The window
// logic owns it; the view only mirrors it, so the tweak engine always sees
// what the logic decided.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/option_snapshot.h"

namespace rw {

inline constexpr std::string_view kSelectAll = "chkSelectAll";
inline constexpr std::string_view kModernLegend = "chkModernOnly";
inline constexpr std::string_view kClassicLegend = "chkClassicOnly";

class OptionModel {
 public:
  struct Control {
    std::string name;
    bool isCheck = true;
    int state = 0;  // check boxes: 0, 1 or 2 (mixed)
    std::string text;
    bool enabled = true;
  };

  /// Every option of the catalogue, then the legends and Select All, all
  /// unchecked, enabled and with empty text.
  OptionModel();

  const std::vector<Control>& Controls() const { return controls_; }
  bool Has(std::string_view name) const { return Find(name) != nullptr; }

  int State(std::string_view name) const;
  const std::string& Text(std::string_view name) const;
  bool Enabled(std::string_view name) const;

  /// Setters return true when the value changed; unknown names are ignored.
  bool SetState(std::string_view name, int state);
  bool SetText(std::string_view name, std::string_view text);
  bool SetEnabled(std::string_view name, bool enabled);

  /// An immutable copy of every check state and text.
  OptionSnapshot Snapshot() const;

 private:
  const Control* Find(std::string_view name) const;
  Control* Find(std::string_view name);

  std::vector<Control> controls_;
};

}  // namespace rw
