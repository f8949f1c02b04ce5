// The tweak options of the main window, in the order their settings load.
// The option table (ui/catalogue.cpp) describes each one in a row of the same order.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rw {

enum class Option : std::uint8_t {
  CombineUndoHistory,
  ClickableTitle,
  AlwaysFavButton,
  HideSearchBar,
  HideStatusBar,
  HoverTabClose,
  HideTabClose,
  HideMainMenuIcon,
  HidePageMenuIcon,
  HideTabMenuIcon,
  HideAddrMenuIcon,
  HideFavBarIcon,
  HideToolTip,
  MaxTabWidth,
  MaxTabWidthText,
  SlimmerTabBar,
  SlimmerToolbar,
  SlimmerFavBar,
  SlimmerStatusBar,
  AeroStatusBar,
  MaxSearchWidth,
  MaxSearchWidthText,
  SetFont,
  FontFamilyText,
  FontSizeText,
  BoldActiveTab,
  HideRefresh,
  HideHome,
  HideUndo,
  HideUndoList,
  NormalMenuButton,
  AvatarToButton,
  AvatarToMenu,
  CombineAddressSearch,
  HideFavorite,
  BkgndTabWidth,
  BkgndTabWidthText,
  HideNewTab,
  TabOnBottom,
  MenuToAvatar,
  HideFavBarButton,
  ShowModeText,
  ReplaceSmiley,
};

inline constexpr int kOptionCount = 43;

constexpr std::size_t IndexOf(Option option) { return static_cast<std::size_t>(option); }

}  // namespace rw
