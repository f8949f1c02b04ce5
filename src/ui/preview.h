// What Apply would do, shown before it is done: the engine runs with the
// given options on the working tree through a platform that keeps every
// write in memory, and its report and the diffs become text.
#pragma once

#include <string>
#include <vector>

#include "engine/option_snapshot.h"
#include "stores/own_rules_files.h"

namespace rw {

struct App;

/// One part of a preview: an item of the preview window's list and the text
/// shown for it.
struct PreviewSection {
  std::string title;
  std::string text;
};

struct Preview {
  /// First the summary (warnings first, then what each option does and the
  /// own rules), then one section per own rules file, then one section per
  /// file that would change, sorted by path.
  std::vector<PreviewSection> sections;
  int warnings = 0;
  int notFound = 0;  // ticked options whose place in the interface is gone
  int changedFiles = 0;
};

/// Runs the engine with `options` on the working tree as it is; writes
/// nothing anywhere. The caller makes sure the tree is there and passes the
/// options as Apply would take them (the window's model, or the stored
/// settings loaded the way the window loads them). The own rules come from
/// their files, or from `pendingOwnRules` when given.
Preview BuildPreview(const App& app, const OptionSnapshot& options, bool compositionEnabled,
                     const OwnRulesPair* pendingOwnRules = nullptr);

/// The whole preview as one text: every section under its title, CR LF
/// free ("\n" line ends; the diffs keep their own bytes).
std::string PreviewAsText(const Preview& preview);

}  // namespace rw
