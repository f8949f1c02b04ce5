// The tweak engine: writes the chosen options into one skin of the working
// resource tree.
#pragma once

#include <string>

#include "platform/platform.h"
#include "ui/option_snapshot.h"

namespace rw {

struct TweakInputs {
  const OptionSnapshot& options;
  bool host3015300 = false;
  bool compositionEnabled = false;
};

/// One run for the modern skin (isClassic false) or the classic skin. Every
/// step that fails is skipped; the run never throws.
void ApplyTweaks(Platform& platform, const std::string& programFolder, const TweakInputs& inputs, bool isClassic);

}  // namespace rw
