// Ticked options that contradict each other, found by running the rules
// rather than from a list: one option takes away all the other does, or
// their style rules show and hide the same element.
#pragma once

#include <map>
#include <memory>
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

/// Runs of the engine on one skin's templates, kept as fingerprints by the
/// options they ran with. Two runs compare by their tweak blocks first, so
/// the templates are edited only when the blocks agree.
class TweakRuns {
 public:
  /// `templates` as read for TweakTexts; it must outlive the runs.
  TweakRuns(const std::vector<std::optional<std::string>>& templates, bool singleSkinHost, bool compositionEnabled,
            bool isClassic);

  /// Whether the two runs leave every text alike.
  bool Same(const OptionSnapshot& a, const OptionSnapshot& b);
  size_t Kept() const { return made_.size(); }
  void Forget() { made_.clear(); }

  const bool singleSkinHost;
  const bool compositionEnabled;
  const bool isClassic;

 private:
  using TextPrint = std::pair<size_t, size_t>;  // size and hash
  struct Print {
    TextPrint block;
    std::optional<std::vector<TextPrint>> templates;  // made when first compared
  };
  Print& BlockOf(const OptionSnapshot& options);
  const std::vector<TextPrint>& TemplatesOf(Print& print, const OptionSnapshot& options);

  const std::vector<std::optional<std::string>>& templates_;
  std::map<std::string, Print> made_;
};

/// Judges pairs of boxes one at a time and keeps the runs it made. A pair is
/// judged with every other box cleared, so its judgement holds for as long
/// as the templates, the fields and the host stay: a caller that judges
/// again after one box changed runs the engine only for the new pairs.
class ConflictJudge {
 public:
  /// `templates` must outlive the judge; only the fields of `inputs.options`
  /// count.
  ConflictJudge(const std::vector<std::optional<std::string>>& templates, const TweakInputs& inputs, bool isClassic);
  ~ConflictJudge();
  ConflictJudge(ConflictJudge&&) noexcept;
  ConflictJudge& operator=(ConflictJudge&&) noexcept;

  /// The conflict between two boxes, both taken as ticked, or nullopt.
  std::optional<OptionConflict> Judge(Option a, Option b);
  /// What FindConflicts finds among the ticked boxes of `options`.
  std::vector<OptionConflict> ConflictsAmong(const OptionSnapshot& options);
  /// Whether it was made for these fields, this host and this skin.
  bool Serves(const TweakInputs& inputs, bool isClassic) const;

 private:
  struct Runs;
  std::unique_ptr<Runs> runs_;
};

/// The ticked boxes that change nothing in this skin with the other options
/// as they are.
std::vector<Option> OptionsWithoutEffect(const std::vector<std::optional<std::string>>& templates,
                                         const TweakInputs& inputs, bool isClassic);

}  // namespace rw
