#include "ui/catalogue.h"

#include <array>

#include "app/app.h"
#include "app/language_text.h"
#include "app/program_settings.h"
#include "engine/number_text.h"
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
constexpr FieldCheck NoCheck = FieldCheck::None;
using enum Option;

// Load order, the order of Option. Settings keys, language keys and default
// values are stored spellings, kept as settings and language files have them
// ("SlimmerToolBar" included). A check box that governs a text field is
// captioned under the field's key ("MaxTabWidth"), not under its own
// ("SetMaxTabWidth"). Every row, text fields too, is explained under
// "Describe" followed by its settings key.
constexpr std::array<OptionDef, kOptionCount> kOptions{{
    {CombineUndoHistory, C, "CombineUndoHistory", "0", "CombineUndoHistory", "DescribeCombineUndoHistory", "", L, 5,
     Box, None, Always, NoCheck},
    {ClickableTitle, C, "ClickableTitle", "0", "ClickableTitle", "DescribeClickableTitle", " *", L, 1, Box, None,
     Always, NoCheck},
    {AlwaysFavButton, C, "AlwaysFavButton", "0", "AlwaysFavButton", "DescribeAlwaysFavButton", "", L, 6, Box, None,
     Always, NoCheck},
    {HideSearchBar, C, "HideSearchBar", "0", "HideSearchBar", "DescribeHideSearchBar", "", R, 6, Box, None, Always,
     NoCheck},
    {HideStatusBar, C, "HideStatusBar", "0", "HideStatusBar", "DescribeHideStatusBar", "", R, 7, Box, None, Always,
     NoCheck},
    {HoverTabClose, C, "HoverTabClose", "0", "HoverTabClose", "DescribeHoverTabClose", "", L, 2, Box, None, Always,
     NoCheck},
    {HideTabClose, C, "HideTabClose", "0", "HideTabClose", "DescribeHideTabClose", "", L, 3, Box, None, Always,
     NoCheck},
    {HideMainMenuIcon, C, "HideMainMenuIcon", "0", "HideMainMenuIcon", "DescribeHideMainMenuIcon", "", R, 1, Box, None,
     Always, NoCheck},
    {HidePageMenuIcon, C, "HidePageMenuIcon", "0", "HidePageMenuIcon", "DescribeHidePageMenuIcon", "", R, 2, Box, None,
     Always, NoCheck},
    {HideTabMenuIcon, C, "HideTabMenuIcon", "0", "HideTabMenuIcon", "DescribeHideTabMenuIcon", "", R, 3, Box, None,
     Always, NoCheck},
    {HideAddrMenuIcon, C, "HideAddrMenuIcon", "0", "HideAddrMenuIcon", "DescribeHideAddrMenuIcon", "", R, 4, Box, None,
     Always, NoCheck},
    {HideFavBarIcon, C, "HideFavBarIcon", "0", "HideFavBarIcon", "DescribeHideFavBarIcon", "", L, 7, Box, None, Always,
     NoCheck},
    {HideToolTip, C, "HideToolTip", "0", "HideToolTip", "DescribeHideToolTip", "", R, 5, Box, None, Always, NoCheck},
    {MaxTabWidth, C, "SetMaxTabWidth", "0", "MaxTabWidth", "DescribeSetMaxTabWidth", "", L, 4, Box, None, Always,
     NoCheck},
    {MaxTabWidthText, T, "MaxTabWidth", "180", "", "DescribeMaxTabWidth", "", L, 4, Spot::Right, None, Always,
     FieldCheck::Width},
    {SlimmerTabBar, C, "SlimmerTabBar", "0", "SlimmerTabBar", "DescribeSlimmerTabBar", "", L, 8, Box, None, Always,
     NoCheck},
    {SlimmerToolbar, C, "SlimmerToolBar", "0", "SlimmerToolBar", "DescribeSlimmerToolBar", "", L, 9, Box, None, Always,
     NoCheck},
    {SlimmerFavBar, C, "SlimmerFavBar", "0", "SlimmerFavBar", "DescribeSlimmerFavBar", "", L, 10, Box, None, Always,
     NoCheck},
    {SlimmerStatusBar, C, "SlimmerStatusBar", "0", "SlimmerStatusBar", "DescribeSlimmerStatusBar", "", L, 11, Box, None,
     Always, NoCheck},
    {AeroStatusBar, C, "AeroStatusBar", "0", "AeroStatusBar", "DescribeAeroStatusBar", "", R, 9, Box, Compo,
     SaveRule::WhileComposition, NoCheck},
    {MaxSearchWidth, C, "SetMaxSearchWidth", "0", "MaxSearchWidth", "DescribeSetMaxSearchWidth", "", R, 8, Box, None,
     Always, NoCheck},
    {MaxSearchWidthText, T, "MaxSearchWidth", "200", "", "DescribeMaxSearchWidth", "", R, 8, Spot::Right, None, Always,
     FieldCheck::Width},
    {SetFont, C, "SetFont", "0", "SetFont", "DescribeSetFont", "", R, 10, Box, None, Always, NoCheck},
    {FontFamilyText, T, "FontFamily", "Segoe UI, Tahoma", "", "DescribeFontFamily", "", R, 10, Spot::Middle, None,
     Always, FieldCheck::FontFamily},
    {FontSizeText, T, "FontSize", "12px", "", "DescribeFontSize", "", R, 10, Spot::Right, None, Always,
     FieldCheck::FontSize},
    {BoldActiveTab, C, "BoldActiveTab", "0", "BoldActiveTab", "DescribeBoldActiveTab", "", R, 11, Box, None, Always,
     NoCheck},
    {HideRefresh, C, "HideRefresh", "0", "HideRefresh", "DescribeHideRefresh", "", L, 12, Box, None, Always, NoCheck},
    {HideHome, C, "HideHome", "0", "HideHome", "DescribeHideHome", "", L, 13, Box, None, Always, NoCheck},
    {HideUndo, C, "HideUndo", "0", "HideUndo", "DescribeHideUndo", "", L, 14, Box, None, Always, NoCheck},
    {HideUndoList, C, "HideUndoList", "0", "HideUndoList", "DescribeHideUndoList", "", L, 15, Box, None, Always,
     NoCheck},
    {NormalMenuButton, C, "NormalMenuButton", "0", "NormalMenuButton", "DescribeNormalMenuButton", "", R, 14, Box,
     HostDep, SaveRule::WhileTwoSkins, NoCheck},
    {AvatarToButton, C, "AvatarToButton", "0", "AvatarToButton", "DescribeAvatarToButton", "", R, 15, Box, HostDep,
     SaveRule::WhileTwoSkins, NoCheck},
    {AvatarToMenu, C, "AvatarToMenu", "0", "AvatarToMenu", "DescribeAvatarToMenu", "", R, 16, Box, HostDep,
     SaveRule::WhileTwoSkins, NoCheck},
    {CombineAddressSearch, C, "CombineAddressSearch", "0", "CombineAddressSearch", "DescribeCombineAddressSearch", "",
     R, 13, Box, None, Always, NoCheck},
    {HideFavorite, C, "HideFavorite", "0", "HideFavorite", "DescribeHideFavorite", "", L, 17, Box, None, Always,
     NoCheck},
    {BkgndTabWidth, C, "SetBkgndTabWidth", "0", "BkgndTabWidth", "DescribeSetBkgndTabWidth", "", R, 12, Box, None,
     Always, NoCheck},
    {BkgndTabWidthText, T, "BkgndTabWidth", "60", "", "DescribeBkgndTabWidth", "", R, 12, Spot::Right, None, Always,
     FieldCheck::BkgndTabWidth},
    {HideNewTab, C, "HideNewTab", "0", "HideNewTab", "DescribeHideNewTab", " #", L, 16, Box, HostDep, Always, NoCheck},
    {TabOnBottom, C, "TabOnBottom", "0", "TabOnBottom", "DescribeTabOnBottom", " #", R, 17, Box, HostDep, Always,
     NoCheck},
    {MenuToAvatar, C, "MenuToAvatar", "0", "MenuToAvatar", "DescribeMenuToAvatar", "", R, 18, Box, HostDep, Always,
     NoCheck},
    {HideFavBarButton, C, "HideFavBarButton", "0", "HideFavBarButton", "DescribeHideFavBarButton", "", L, 18, Box,
     HostDep, Always, NoCheck},
    {ShowModeText, C, "ShowModeText", "0", "ShowModeText", "DescribeShowModeText", "", L, 19, Box, None, Always,
     NoCheck},
    {ReplaceSmiley, C, "ReplaceSmiley", "0", "ReplaceSmiley", "DescribeReplaceSmiley", "", R, 19, Box, None, Always,
     NoCheck},
}};

// Stored settings files list the keys in this order.
constexpr std::array<Option, kOptionCount> kSaveOrder{
    HideSearchBar,     HideStatusBar,        ClickableTitle,   HoverTabClose,
    HideTabClose,      CombineUndoHistory,   AlwaysFavButton,  HideMainMenuIcon,
    HidePageMenuIcon,  HideTabMenuIcon,      HideAddrMenuIcon, HideFavBarIcon,
    HideToolTip,       MaxTabWidth,          MaxTabWidthText,  SlimmerTabBar,
    SlimmerToolbar,    SlimmerFavBar,        SlimmerStatusBar, AeroStatusBar,
    MaxSearchWidth,    MaxSearchWidthText,   SetFont,          FontFamilyText,
    FontSizeText,      BoldActiveTab,        HideRefresh,      HideHome,
    HideUndo,          HideUndoList,         NormalMenuButton, AvatarToButton,
    AvatarToMenu,      CombineAddressSearch, HideFavorite,     BkgndTabWidth,
    BkgndTabWidthText, HideNewTab,           TabOnBottom,      MenuToAvatar,
    HideFavBarButton,  ShowModeText,         ReplaceSmiley};

constexpr bool InOptionOrder() {
  for (std::size_t i = 0; i < kOptions.size(); ++i)
    if (IndexOf(kOptions[i].option) != i) return false;
  return true;
}
static_assert(InOptionOrder(), "one row per option, in the order of Option");

}  // namespace

std::span<const OptionDef> Options() { return kOptions; }
const OptionDef& Def(Option option) { return kOptions[IndexOf(option)]; }
std::span<const Option> SaveOrder() { return kSaveOrder; }

std::string EnglishCaption(const OptionDef& def) {
  return def.captionKey.empty() ? std::string() : BuiltInEnglishText(def.captionKey);
}

std::string QuotedCaption(const App& app, Option option) {
  const OptionDef& def = Def(option);
  return "\"" + (def.captionKey.empty() ? std::string() : Text(app, def.captionKey)) + "\"";
}

void LoadOptions(const App& app, OptionModel& model, bool compositionEnabled) {
  for (const OptionDef& def : kOptions) {
    const std::string value = ReadSettingsValue(app, def.settingsKey, def.defaultValue);
    if (def.kind == OptionKind::Text) {
      model.SetText(def.option, value);
    } else if (auto state = RoundToInt16(value); state && *state >= 0 && *state <= 2) {
      model.SetState(def.option, *state);
    }
    if (def.host == HostRule::Composition && !compositionEnabled) model.SetEnabled(def.option, false);
  }
}

std::vector<IniValue> SavedSettings(const App& app, const OptionModel& model, bool compositionEnabled) {
  std::vector<IniValue> values;
  for (Option option : kSaveOrder) {
    const OptionDef& def = Def(option);
    if (def.saved == SaveRule::WhileComposition && !compositionEnabled) continue;
    if (def.saved == SaveRule::WhileTwoSkins && app.SingleSkinHost) continue;
    values.emplace_back(def.settingsKey,
                        def.kind == OptionKind::Text ? model.Text(option) : std::to_string(model.State(option)));
  }
  return values;
}

void SaveOptions(const App& app, const OptionModel& model, bool compositionEnabled) {
  for (const auto& [key, value] : SavedSettings(app, model, compositionEnabled)) WriteSettingsValue(app, key, value);
}

}  // namespace rw
