#include "ui/catalogue.h"

#include <array>

#include "engine/vb_number.h"
#include "startup/app.h"
#include "ui/option_model.h"

namespace rw {

namespace {

constexpr OptionKind C = OptionKind::Check;
constexpr OptionKind T = OptionKind::Text;
constexpr Column L = Column::Left;
constexpr Column R = Column::Right;
constexpr Spot Box = Spot::Box;
constexpr HostRule None = HostRule::None;
constexpr HostRule HostDep = HostRule::HostDependent;
constexpr HostRule Compo = HostRule::Composition;
constexpr SaveRule Always = SaveRule::Always;

// Load order. A check box that governs a text field is captioned under the
// field's key ("MaxTabWidth"), not under its own ("SetMaxTabWidth").
constexpr std::array<OptionDef, kOptionCount> kOptions{{
    {"chkCombineUndoHistory", C, "CombineUndoHistory", "0", "CombineUndoHistory", "Combine Undo and History Button", "",
     L, 5, Box, None, Always},
    {"chkClickableTitle", C, "ClickableTitle", "0", "ClickableTitle",
     "Title Bar clickable on top screen edge when maximized", " *", L, 1, Box, None, Always},
    {"chkAlwaysFavButton", C, "AlwaysFavButton", "0", "AlwaysFavButton", "Always show Favorites Button", "", L, 6, Box,
     None, Always},
    {"chkHideSearchBar", C, "HideSearchBar", "0", "HideSearchBar", "Hide Search Bar", "", R, 6, Box, None, Always},
    {"chkHideStatusBar", C, "HideStatusBar", "0", "HideStatusBar", "Hide Status Bar", "", R, 7, Box, None, Always},
    {"chkHoverTabClose", C, "HoverTabClose", "0", "HoverTabClose", "Show Tab Close Button on hover Tab", "", L, 2, Box,
     None, Always},
    {"chkHideTabClose", C, "HideTabClose", "0", "HideTabClose", "Do not show Tab Close Button", "", L, 3, Box, None,
     Always},
    {"chkHideMainMenuIcon", C, "HideMainMenuIcon", "0", "HideMainMenuIcon", "Hide Main Menu Icons", "", R, 1, Box, None,
     Always},
    {"chkHidePageMenuIcon", C, "HidePageMenuIcon", "0", "HidePageMenuIcon", "Hide Page Menu Icons", "", R, 2, Box, None,
     Always},
    {"chkHideTabMenuIcon", C, "HideTabMenuIcon", "0", "HideTabMenuIcon", "Hide Tab Context Menu Icons", "", R, 3, Box,
     None, Always},
    {"chkHideAddrMenuIcon", C, "HideAddrMenuIcon", "0", "HideAddrMenuIcon",
     "Hide Address and Search Bar Context Menu Icons", "", R, 4, Box, None, Always},
    {"chkHideFavBarIcon", C, "HideFavBarIcon", "0", "HideFavBarIcon", "Compact Favorites Bar (No Icon)", "", L, 7, Box,
     None, Always},
    {"chkHideToolTip", C, "HideToolTip", "0", "HideToolTip", "Hide all User Interface Tooltips", "", R, 5, Box, None,
     Always},
    {"chkMaxTabWidth", C, "SetMaxTabWidth", "0", "MaxTabWidth", "Maximum Tab width (px):", "", L, 4, Box, None, Always},
    {"txtMaxTabWidth", T, "MaxTabWidth", "180", "", "", "", L, 4, Spot::Right, None, Always},
    {"chkSlimmerTabBar", C, "SlimmerTabBar", "0", "SlimmerTabBar", "Slimmer Tab Bar", "", L, 8, Box, None, Always},
    {"chkSlimmerToolbar", C, "SlimmerToolBar", "0", "SlimmerToolBar", "Slimmer Toolbar Buttons and Input Boxes", "", L,
     9, Box, None, Always},
    {"chkSlimmerFavBar", C, "SlimmerFavBar", "0", "SlimmerFavBar", "Slimmer Favorites and Status Bar Buttons", "", L,
     10, Box, None, Always},
    {"chkSlimmerStatusBar", C, "SlimmerStatusBar", "0", "SlimmerStatusBar", "Slimmer Status Bar", "", L, 11, Box, None,
     Always},
    {"chkAeroStatusBar", C, "AeroStatusBar", "0", "AeroStatusBar", "Aero Style Status Bar (for Win7/Vista only)", "", R,
     9, Box, Compo, SaveRule::WhileComposition},
    {"chkMaxSearchWidth", C, "SetMaxSearchWidth", "0", "MaxSearchWidth", "Maximum Search Bar width (px):", "", R, 8,
     Box, None, Always},
    {"txtMaxSearchWidth", T, "MaxSearchWidth", "200", "", "", "", R, 8, Spot::Right, None, Always},
    {"chkSetFont", C, "SetFont", "0", "SetFont", "Main User Interface Font:", "", R, 10, Box, None, Always},
    {"txtFontFamily", T, "FontFamily", "Segoe UI, Tahoma", "", "", "", R, 10, Spot::Middle, None, Always},
    {"txtFontSize", T, "FontSize", "12px", "", "", "", R, 10, Spot::Right, None, Always},
    {"chkBoldActiveTab", C, "BoldActiveTab", "0", "BoldActiveTab", "Bold Active Tab", "", R, 11, Box, None, Always},
    {"chkHideRefresh", C, "HideRefresh", "0", "HideRefresh", "Hide Refresh Button", "", L, 12, Box, None, Always},
    {"chkHideHome", C, "HideHome", "0", "HideHome", "Hide Home Button", "", L, 13, Box, None, Always},
    {"chkHideUndo", C, "HideUndo", "0", "HideUndo", "Hide Undo Button", "", L, 14, Box, None, Always},
    {"chkHideUndoList", C, "HideUndoList", "0", "HideUndoList", "Hide Undo List Button", "", L, 15, Box, None, Always},
    {"chkNormalMenuButton", C, "NormalMenuButton", "0", "NormalMenuButton", "Change Menu Button to Normal Button Style",
     "", R, 14, Box, HostDep, SaveRule::WhileNotHost3015300},
    {"chkAvatarToButton", C, "AvatarToButton", "0", "AvatarToButton", "Hide Avatar - Change to Toolbar Button", "", R,
     15, Box, HostDep, SaveRule::WhileNotHost3015300},
    {"chkAvatarToMenu", C, "AvatarToMenu", "0", "AvatarToMenu", "Hide Avatar - Change to Main Menu Item", "", R, 16,
     Box, HostDep, SaveRule::WhileNotHost3015300},
    {"chkCombineAddressSearch", C, "CombineAddressSearch", "0", "CombineAddressSearch",
     "Combine Search Bar with Address Bar", "", R, 13, Box, None, Always},
    {"chkHideFavorite", C, "HideFavorite", "0", "HideFavorite", "Hide Favorites Button on Toolbar", "", L, 17, Box,
     None, Always},
    {"chkBkgndTabWidth", C, "SetBkgndTabWidth", "0", "BkgndTabWidth", "Shrink Background Tab width (px):", "", R, 12,
     Box, None, Always},
    {"txtBkgndTabWidth", T, "BkgndTabWidth", "60", "", "", "", R, 12, Spot::Right, None, Always},
    {"chkHideNewTab", C, "HideNewTab", "0", "HideNewTab", "Hide New Tab Button", " #", L, 16, Box, HostDep, Always},
    {"chkTabOnBottom", C, "TabOnBottom", "0", "TabOnBottom", "Tab Bar on Bottom (must hide Avatar)", " #", R, 17, Box,
     HostDep, Always},
    {"chkMenuToAvatar", C, "MenuToAvatar", "0", "MenuToAvatar", "Combine Main Menu to Avatar", "", R, 18, Box, HostDep,
     Always},
    {"chkHideFavBarButton", C, "HideFavBarButton", "0", "HideFavBarButton", "Hide Favorites Button on Favorites Bar",
     "", L, 18, Box, HostDep, Always},
    {"chkShowModeText", C, "ShowModeText", "0", "ShowModeText", "Show Browing Mode text description", "", L, 19, Box,
     None, Always},
    {"chkReplaceSmiley", C, "ReplaceSmiley", "0", "ReplaceSmiley", "Use Maxthon3 Alpha logo as default Avatar", "", R,
     19, Box, None, Always},
}};

constexpr std::array<std::string_view, kOptionCount> kSaveOrder{
    "HideSearchBar",     "HideStatusBar",        "ClickableTitle",   "HoverTabClose",
    "HideTabClose",      "CombineUndoHistory",   "AlwaysFavButton",  "HideMainMenuIcon",
    "HidePageMenuIcon",  "HideTabMenuIcon",      "HideAddrMenuIcon", "HideFavBarIcon",
    "HideToolTip",       "SetMaxTabWidth",       "MaxTabWidth",      "SlimmerTabBar",
    "SlimmerToolBar",    "SlimmerFavBar",        "SlimmerStatusBar", "AeroStatusBar",
    "SetMaxSearchWidth", "MaxSearchWidth",       "SetFont",          "FontFamily",
    "FontSize",          "BoldActiveTab",        "HideRefresh",      "HideHome",
    "HideUndo",          "HideUndoList",         "NormalMenuButton", "AvatarToButton",
    "AvatarToMenu",      "CombineAddressSearch", "HideFavorite",     "SetBkgndTabWidth",
    "BkgndTabWidth",     "HideNewTab",           "TabOnBottom",      "MenuToAvatar",
    "HideFavBarButton",  "ShowModeText",         "ReplaceSmiley"};

const OptionDef* FindBySettingsKey(std::string_view key) {
  for (const OptionDef& def : kOptions)
    if (def.settingsKey == key) return &def;
  return nullptr;
}

}  // namespace

std::span<const OptionDef> Options() { return kOptions; }
std::span<const std::string_view> SaveOrder() { return kSaveOrder; }

const OptionDef* FindOption(std::string_view control) {
  for (const OptionDef& def : kOptions)
    if (def.control == control) return &def;
  return nullptr;
}

void LoadOptions(const App& app, OptionModel& model, bool compositionEnabled) {
  for (const OptionDef& def : kOptions) {
    const std::string value = app.ReadSetting(def.settingsKey, def.defaultValue);
    if (def.kind == OptionKind::Text) {
      model.SetText(def.control, value);
    } else if (auto state = ToInt16(value); state && *state >= 0 && *state <= 2) {
      model.SetState(def.control, *state);
    }
    if (def.host == HostRule::Composition && !compositionEnabled) model.SetEnabled(def.control, false);
  }
}

void SaveOptions(const App& app, const OptionModel& model, bool compositionEnabled) {
  for (std::string_view key : kSaveOrder) {
    const OptionDef* def = FindBySettingsKey(key);
    if (!def) continue;
    if (def->saved == SaveRule::WhileComposition && !compositionEnabled) continue;
    if (def->saved == SaveRule::WhileNotHost3015300 && app.Host3015300) continue;
    if (def->kind == OptionKind::Text)
      app.WriteSetting(key, model.Text(def->control));
    else
      app.WriteSetting(key, std::to_string(model.State(def->control)));
  }
}

}  // namespace rw
