// The tweak block appended to each skin's index.css: a run of style rules,
// one per line, between two marker comments.
#pragma once

#include <string>
#include <string_view>

#include "engine/apply_tweaks.h"

namespace rw {

inline constexpr std::string_view kBlockMarker = "/*ravelwick*/";

/// The avatar is hidden (turned into a button or a menu item) unless the
/// main menu moves onto it.
bool AvatarHidden(const OptionSnapshot& options);

/// The whole block, beginning with CR LF and ending with the closing marker
/// (no line break after it).
std::string BuildTweakBlock(const TweakInputs& inputs, bool isClassic);

/// The sheet less its first earlier block (with the CR LF in front of the
/// opening marker; markers compare without regard to letter case), then
/// `block`, built in one piece so that large sheets are copied once.
std::string SheetWithBlock(std::string_view sheet, std::string_view block);

}  // namespace rw
