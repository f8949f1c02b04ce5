// Ticked options that contradict each other, found by running the rules
// rather than from a list: one option takes away all the other does, or
// their style rules show and hide the same element.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/apply_tweaks.h"

namespace rw {

struct OptionConflict {
  Option winner;
  Option loser;
  /// The style rule that decides it; empty when the winner's edits leave
  /// nothing of the loser's.
  std::string rule;
};

/// The conflicts among the ticked boxes for one skin. `templates` as read
/// for TweakTexts. Each pair is judged alone, with every other box cleared
/// and the fields as given: the loser changes something on its own, but
/// nothing next to the winner; or a rule of one shows an element that a
/// rule of the other hides, and the cascade (hiding by visibility, then
/// !important, specificity and order) decides.
std::vector<OptionConflict> FindConflicts(const std::vector<std::optional<std::string>>& templates,
                                          const TweakInputs& inputs, bool isClassic);

/// The ticked boxes that change nothing in this skin with the other options
/// as they are.
std::vector<Option> OptionsWithoutEffect(const std::vector<std::optional<std::string>>& templates,
                                         const TweakInputs& inputs, bool isClassic);

}  // namespace rw
