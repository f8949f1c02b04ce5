// The tweak engine: writes the chosen options into one skin of the working
// resource tree.
#pragma once

#include <string>

#include "engine/option_snapshot.h"
#include "platform/platform.h"

namespace rw {

struct TweakInputs {
  const OptionSnapshot& options;
  bool singleSkinHost = false;
  bool compositionEnabled = false;
};

/// One run for the modern skin (isClassic false) or the classic skin: the
/// tweak block of the skin's index.css is replaced, then the skin's
/// navbar.htm, index.htm and favbar.htm, the shared menus\main.htm and, for
/// host 3.0.15.300, main\caption.css and main-menu\style.css are edited.
/// Every step that fails is skipped; a file that cannot be read is not
/// written. The run never throws.
void ApplyTweaks(Platform& platform, const std::string& programFolder, const TweakInputs& inputs, bool isClassic);

}  // namespace rw
