// Names of the option controls the engine reads from the snapshot.
#pragma once

#include <string_view>

namespace rw::controls {

inline constexpr std::string_view kCombineUndoHistory = "chkCombineUndoHistory";
inline constexpr std::string_view kClickableTitle = "chkClickableTitle";
inline constexpr std::string_view kAlwaysFavButton = "chkAlwaysFavButton";
inline constexpr std::string_view kHideSearchBar = "chkHideSearchBar";
inline constexpr std::string_view kHideStatusBar = "chkHideStatusBar";
inline constexpr std::string_view kHoverTabClose = "chkHoverTabClose";
inline constexpr std::string_view kHideTabClose = "chkHideTabClose";
inline constexpr std::string_view kHideMainMenuIcon = "chkHideMainMenuIcon";
inline constexpr std::string_view kHidePageMenuIcon = "chkHidePageMenuIcon";
inline constexpr std::string_view kHideTabMenuIcon = "chkHideTabMenuIcon";
inline constexpr std::string_view kHideAddrMenuIcon = "chkHideAddrMenuIcon";
inline constexpr std::string_view kHideFavBarIcon = "chkHideFavBarIcon";
inline constexpr std::string_view kHideToolTip = "chkHideToolTip";
inline constexpr std::string_view kMaxTabWidth = "chkMaxTabWidth";
inline constexpr std::string_view kMaxTabWidthText = "txtMaxTabWidth";
inline constexpr std::string_view kSlimmerTabBar = "chkSlimmerTabBar";
inline constexpr std::string_view kSlimmerToolbar = "chkSlimmerToolbar";
inline constexpr std::string_view kSlimmerFavBar = "chkSlimmerFavBar";
inline constexpr std::string_view kSlimmerStatusBar = "chkSlimmerStatusBar";
inline constexpr std::string_view kAeroStatusBar = "chkAeroStatusBar";
inline constexpr std::string_view kMaxSearchWidth = "chkMaxSearchWidth";
inline constexpr std::string_view kMaxSearchWidthText = "txtMaxSearchWidth";
inline constexpr std::string_view kSetFont = "chkSetFont";
inline constexpr std::string_view kFontFamilyText = "txtFontFamily";
inline constexpr std::string_view kFontSizeText = "txtFontSize";
inline constexpr std::string_view kBoldActiveTab = "chkBoldActiveTab";
inline constexpr std::string_view kHideRefresh = "chkHideRefresh";
inline constexpr std::string_view kHideHome = "chkHideHome";
inline constexpr std::string_view kHideUndo = "chkHideUndo";
inline constexpr std::string_view kHideUndoList = "chkHideUndoList";
inline constexpr std::string_view kNormalMenuButton = "chkNormalMenuButton";
inline constexpr std::string_view kAvatarToButton = "chkAvatarToButton";
inline constexpr std::string_view kAvatarToMenu = "chkAvatarToMenu";
inline constexpr std::string_view kCombineAddressSearch = "chkCombineAddressSearch";
inline constexpr std::string_view kHideFavorite = "chkHideFavorite";
inline constexpr std::string_view kBkgndTabWidth = "chkBkgndTabWidth";
inline constexpr std::string_view kBkgndTabWidthText = "txtBkgndTabWidth";
inline constexpr std::string_view kHideNewTab = "chkHideNewTab";
inline constexpr std::string_view kTabOnBottom = "chkTabOnBottom";
inline constexpr std::string_view kMenuToAvatar = "chkMenuToAvatar";
inline constexpr std::string_view kHideFavBarButton = "chkHideFavBarButton";
inline constexpr std::string_view kShowModeText = "chkShowModeText";
inline constexpr std::string_view kReplaceSmiley = "chkReplaceSmiley";

}  // namespace rw::controls
