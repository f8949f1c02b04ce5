// Helpers shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "engine/option_snapshot.h"

namespace rw::fuzz {

/// A broken invariant stops the fuzzer with a crash it records.
inline void Check(bool condition) {
  if (!condition) __builtin_trap();
}

/// Every check box the engine reads, one bit each in the fuzzer's input.
inline constexpr Option kCheckBoxes[] = {
    Option::CombineUndoHistory, Option::ClickableTitle,   Option::AlwaysFavButton,
    Option::HideSearchBar,      Option::HideStatusBar,    Option::HoverTabClose,
    Option::HideTabClose,       Option::HideMainMenuIcon, Option::HidePageMenuIcon,
    Option::HideTabMenuIcon,    Option::HideAddrMenuIcon, Option::HideFavBarIcon,
    Option::HideToolTip,        Option::MaxTabWidth,      Option::SlimmerTabBar,
    Option::SlimmerToolbar,     Option::SlimmerFavBar,    Option::SlimmerStatusBar,
    Option::AeroStatusBar,      Option::MaxSearchWidth,   Option::SetFont,
    Option::BoldActiveTab,      Option::HideRefresh,      Option::HideHome,
    Option::HideUndo,           Option::HideUndoList,     Option::NormalMenuButton,
    Option::AvatarToButton,     Option::AvatarToMenu,     Option::CombineAddressSearch,
    Option::HideFavorite,       Option::BkgndTabWidth,    Option::HideNewTab,
    Option::TabOnBottom,        Option::MenuToAvatar,     Option::HideFavBarButton,
    Option::ShowModeText,       Option::ReplaceSmiley};
inline constexpr size_t kCheckBoxBytes = (std::size(kCheckBoxes) + 7) / 8;

inline constexpr Option kTextFields[] = {Option::MaxTabWidthText, Option::MaxSearchWidthText, Option::BkgndTabWidthText,
                                         Option::FontFamilyText, Option::FontSizeText};

/// Check box states from kCheckBoxBytes bytes.
inline OptionSnapshot StatesFrom(const uint8_t* bits) {
  OptionSnapshot states;
  for (size_t i = 0; i < std::size(kCheckBoxes); ++i)
    if ((bits[i / 8] >> (i % 8)) & 1) states = states.WithState(kCheckBoxes[i], 1);
  return states;
}

}  // namespace rw::fuzz
