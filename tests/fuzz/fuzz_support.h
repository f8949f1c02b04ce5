// Helpers shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "ui/option_snapshot.h"

namespace rw::fuzz {

/// A broken invariant stops the fuzzer with a crash it records.
inline void Check(bool condition) {
  if (!condition) __builtin_trap();
}

/// Every check box the engine reads, one bit each in the fuzzer's input.
inline constexpr std::string_view kCheckBoxes[] = {
    "chkCombineUndoHistory", "chkClickableTitle",   "chkAlwaysFavButton",
    "chkHideSearchBar",      "chkHideStatusBar",    "chkHoverTabClose",
    "chkHideTabClose",       "chkHideMainMenuIcon", "chkHidePageMenuIcon",
    "chkHideTabMenuIcon",    "chkHideAddrMenuIcon", "chkHideFavBarIcon",
    "chkHideToolTip",        "chkMaxTabWidth",      "chkSlimmerTabBar",
    "chkSlimmerToolbar",     "chkSlimmerFavBar",    "chkSlimmerStatusBar",
    "chkAeroStatusBar",      "chkMaxSearchWidth",   "chkSetFont",
    "chkBoldActiveTab",      "chkHideRefresh",      "chkHideHome",
    "chkHideUndo",           "chkHideUndoList",     "chkNormalMenuButton",
    "chkAvatarToButton",     "chkAvatarToMenu",     "chkCombineAddressSearch",
    "chkHideFavorite",       "chkBkgndTabWidth",    "chkHideNewTab",
    "chkTabOnBottom",        "chkMenuToAvatar",     "chkHideFavBarButton",
    "chkShowModeText",       "chkReplaceSmiley"};
inline constexpr size_t kCheckBoxBytes = (std::size(kCheckBoxes) + 7) / 8;

inline constexpr std::string_view kTextFields[] = {"txtMaxTabWidth", "txtMaxSearchWidth", "txtBkgndTabWidth",
                                                   "txtFontFamily", "txtFontSize"};

/// Check box states from kCheckBoxBytes bytes.
inline std::map<std::string, int, std::less<>> StatesFrom(const uint8_t* bits) {
  std::map<std::string, int, std::less<>> states;
  for (size_t i = 0; i < std::size(kCheckBoxes); ++i)
    if ((bits[i / 8] >> (i % 8)) & 1) states[std::string(kCheckBoxes[i])] = 1;
  return states;
}

}  // namespace rw::fuzz
