// The tweak engine: writes the chosen options into one skin of the working
// resource tree.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/option_snapshot.h"
#include "engine/own_rules.h"
#include "engine/tweak_report.h"
#include "platform/platform.h"

namespace rw {

struct TweakInputs {
  const OptionSnapshot& options;
  bool singleSkinHost = false;
  bool compositionEnabled = false;
  /// Placed after the generated rules when they pass CheckOwnRules.
  OwnRulesTexts ownRules{};
};

/// One run for the modern skin (isClassic false) or the classic skin: the
/// tweak block of the skin's index.css is replaced, then the skin's
/// navbar.htm, index.htm and favbar.htm, the shared menus\main.htm and, for
/// host 3.0.15.300, main\caption.css and main-menu\style.css are edited.
/// Every step that fails is skipped; a file that cannot be read is not
/// written. The run never throws. The report says what each ticked option
/// did in each file, and which files could not be read.
TweakReport ApplyTweaks(Platform& platform, const std::string& programFolder, const TweakInputs& inputs,
                        bool isClassic);

/// The templates one run edits, below the tree's "ui" folder with
/// backslashes ("main\navbar.htm"), in the order they are edited.
std::vector<std::string> TemplatesOf(bool singleSkinHost, bool isClassic);

/// What one run makes of the given templates (texts in the order of
/// TemplatesOf; nullopt for one that cannot be read), in memory: the tweak
/// block first, then each template's new text.
std::vector<std::optional<std::string>> TweakTexts(const std::vector<std::optional<std::string>>& templates,
                                                   const TweakInputs& inputs, bool isClassic);

/// TweakTexts and how each ticked option's edits went, one list per template
/// in the same order. The edits a template that cannot be read would get
/// are NotFound there, so that a missing file tells like a missing place.
struct TweakTextRun {
  std::vector<std::optional<std::string>> texts;
  std::vector<EditNotes> notes;
};
TweakTextRun TweakTextsWithNotes(const std::vector<std::optional<std::string>>& templates, const TweakInputs& inputs,
                                 bool isClassic);

}  // namespace rw
