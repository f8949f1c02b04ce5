#include "engine/tweak_block.h"

#include <array>
#include <cstdint>
#include <optional>

#include "engine/lazy_pattern.h"
#include "engine/number_text.h"
#include "engine/own_rules.h"
#include "engine/patterns.h"

namespace rw {

namespace {

// Comment marks have no place in a width, font name or size. Typed into the
// block they would open a comment that hides the rules after them, or repeat
// the block's marker so that the next run removes only part of the block.
// A '/' next to a '*' cancels out, also where a removal brings them together.
std::string WithoutCommentMarks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (!out.empty() && ((out.back() == '/' && c == '*') || (out.back() == '*' && c == '/')))
      out.pop_back();
    else
      out.push_back(c);
  }
  return out;
}

// The values one run works with; fresh for every block.
struct Block {
  Block(const TweakInputs& inputs, bool isClassic)
      : o(inputs.options),
        classic(isClassic),
        singleSkinHost(inputs.singleSkinHost),
        composition(inputs.compositionEnabled),
        hideAvatar(AvatarHidden(inputs.options)) {}

  const OptionSnapshot& o;
  bool classic;
  bool singleSkinHost;
  bool composition;
  bool hideAvatar;
  bool hideBackgroundTabClose = false;
  std::int16_t activeTabSlot = 0;
  std::int16_t backgroundTabSlot = 0;
  std::string fontList;
  std::string text;

  bool On(Option option) const { return o.Ticked(option); }
  bool Off(Option option) const { return o.Unticked(option); }
  // What the user typed, as it may stand in the block.
  std::string Text(Option option) const { return WithoutCommentMarks(o.Text(option)); }
  bool Modern() const { return !classic; }

  template <typename... Pieces>
  void Rule(std::string_view first, const Pieces&... rest) {
    text.append("\r\n");
    text.append(first);
    (text.append(rest), ...);
  }
};

std::string Decimal(std::int16_t value) { return std::to_string(value); }

// Spaces only, as the font fields have always been trimmed.
std::string_view TrimSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void AvatarHiding(Block& b) {
  if (!b.hideAvatar) return;
  b.Rule(".avatar{display:none!important}");
  if (b.classic) b.Rule(".tabbar[has-favbar]{margin-left:0!important}");
  if (b.Modern() && b.Off(Option::SlimmerTabBar)) {
    b.Rule(".show-avatar .tabbar{margin-left:4!important}");
    b.Rule(".show-avatar .navbar{margin-left:1!important}");
  }
}

void TabCloseButtons(Block& b) {
  if (b.On(Option::HoverTabClose)) b.hideBackgroundTabClose = true;
  // The width is looked at only when its box is ticked; a ticked width that
  // does not read as a number counts as narrow.
  if (b.On(Option::BkgndTabWidth)) {
    const auto width = RoundToInt16(b.Text(Option::BkgndTabWidthText));
    if (!width || *width < 40) b.hideBackgroundTabClose = true;
  }
  if (b.hideBackgroundTabClose) {
    b.Rule(".tabbar .tab .close{display:none!important}");
    b.Rule(".tabbar .active .close, .tabbar .tab:moving .close, .tabbar .tab:current .close{display:block!important}");
  }
  if (b.On(Option::ClickableTitle) && b.Modern())
    b.Rule("body.maximum .caption-wrapper > .top-blocks > .caption{display:block;height:1}");
  if (b.On(Option::HoverTabClose)) b.Rule(".tabbar .tab:hover .close{display:block!important}");
  if (b.On(Option::HideTabClose)) b.Rule(".tabbar .tab .close{visibility:hidden!important;width:1!important}");
}

void TabWidths(Block& b) {
  if (!b.On(Option::MaxTabWidth) && !b.On(Option::BkgndTabWidth)) return;
  b.Rule(".tabbar .tab {max-width:",
         b.On(Option::BkgndTabWidth) ? b.Text(Option::BkgndTabWidthText) : b.Text(Option::MaxTabWidthText),
         " !important}");
  if (b.On(Option::BkgndTabWidth))
    b.Rule(".tabbar .active, .tabbar .tab:moving, .tabbar .tab:current{max-width:",
           b.On(Option::MaxTabWidth) ? b.Text(Option::MaxTabWidthText) : std::string("180"), " !important}");
  if (b.singleSkinHost) return;

  // A width that does not convert, or a sum out of range, leaves its slot
  // as it was; an unticked box's text plays no part.
  std::optional<std::int16_t> active = std::int16_t{180};
  if (b.On(Option::MaxTabWidth)) active = RoundToInt16(b.Text(Option::MaxTabWidthText));
  if (active) active = AddWithinInt16(*active, 13);
  if (active) b.activeTabSlot = *active;

  std::optional<std::int16_t> background = b.activeTabSlot;
  if (b.On(Option::BkgndTabWidth)) {
    background = RoundToInt16(b.Text(Option::BkgndTabWidthText));
    if (background) background = AddWithinInt16(*background, 13);
  }
  if (background) b.backgroundTabSlot = *background;

  const std::string slotB = Decimal(b.backgroundTabSlot);
  const std::string slotM = Decimal(b.activeTabSlot);
  b.Rule(".tab-container-inner{max-width:calc(self.children()*", slotB, "-", slotB, "+", slotM, ")!important}");
  b.Rule(".tab-container-inner:drop-target{max-width:calc(self.children()*", slotB, "-", slotB, "+", slotM, "-", slotB,
         ")!important}");
}

void FavouritesButton(Block& b) {
  if (b.On(Option::AlwaysFavButton)) b.Rule("#BTN_FAV{display:block!important}");
  if (b.On(Option::HideFavorite)) b.Rule("#BTN_FAV{display:none!important}");
  if (b.On(Option::HideFavBarIcon)) {
    b.Rule("#TB_FAV .icon, #FAV_ROOT_MENU .icon{display:none}");
    b.Rule("li .icon{display:block!important}");
  }
}

void SlimmerTabBar(Block& b) {
  if (!b.On(Option::SlimmerTabBar)) return;
  const bool slimToolbar = b.On(Option::SlimmerToolbar);
  b.Rule(".tabbar .tab{padding:7 8 5 8!important}");
  if (b.classic) {
    b.Rule(".tabbar{min-height:30!important}");
    if (slimToolbar) {
      b.Rule(".avatar{width:60;height:60}");
      b.Rule(".avatar .icon{width:44;height:44}");
      b.Rule(".tabbar .new{margin-left:0!important}");
      if (!b.hideAvatar) {
        b.Rule(".tabbar{margin-left:-1!important}");
        b.Rule(".tabbar[has-favbar]{margin-left:-62!important}");
      }
    }
    return;
  }
  b.Rule(".show-avatar .tabbar{margin-left:", b.hideAvatar ? "4" : slimToolbar ? "64" : "66", "!important}");
  const char* size = slimToolbar ? "61" : "63";
  b.Rule(".avatar{top:17;width:", size, ";height:", size, "}");
  const char* icon = slimToolbar ? "45" : "47";
  b.Rule(".avatar .icon{width:", icon, ";height:", icon, "}");
  b.Rule("body.maximum .avatar{top:", b.On(Option::ClickableTitle) ? "0" : "-1", "}");
  b.Rule(".tabbar .new{margin-left:-1!important}");
  b.Rule(".show-avatar .navbar{margin-left:", b.hideAvatar ? "1" : "62", "!important}");
}

void SlimmerToolbar(Block& b) {
  if (!b.On(Option::SlimmerToolbar)) return;
  if (b.classic) {
    b.Rule(".navbar .button{padding:2 4!important}");
    b.Rule(".address-box,.search-box,.main-menu{min-height:28!important}");
    return;
  }
  b.Rule(".navbar .button,.address-box,.search-box", b.singleSkinHost ? "" : ",.main-menu",
         "{min-height:28!important}");
  if (b.Off(Option::SlimmerTabBar)) {
    b.Rule(".avatar{top:18}");
    b.Rule("body.maximum .avatar{top:", b.On(Option::ClickableTitle) ? "1" : "0", "}");
  }
}

void SlimmerFavAndStatusBar(Block& b) {
  if (b.On(Option::SlimmerFavBar))
    b.Rule(".toolbar .item{padding:2 ", b.On(Option::HideFavBarIcon) ? "3" : "5", "!important}");
  if (b.On(Option::SlimmerStatusBar) && b.Off(Option::HideStatusBar))
    b.Rule(".statusbar{padding:", b.singleSkinHost ? "2" : b.On(Option::TabOnBottom) ? "-1" : "1", " 2 2 2!important}");
}

void MenuIconsAndTooltips(Block& b) {
  if (b.On(Option::HideMainMenuIcon)) b.Rule("#MAIN_MENU .icon{visibility:hidden!important}");
  if (b.On(Option::HidePageMenuIcon)) b.Rule("#BTN_PAGE_POPUP_MENU .icon{visibility:hidden!important}");
  if (b.On(Option::HideTabMenuIcon)) b.Rule("#TAB_CONTEXT_MENU .icon{visibility:hidden!important}");
  if (b.On(Option::HideAddrMenuIcon)) b.Rule("#ADDRESSBAR_CONTEXT_MENU .icon{visibility:hidden!important}");
  if (b.On(Option::HideToolTip)) b.Rule("*{behavior:mx-forbid-tooltip}");
}

void SearchAndStatusBar(Block& b) {
  // "100%%" is the host's own spelling.
  if (b.On(Option::HideSearchBar)) {
    b.Rule(".address-box{width:100%%!important;margin-right:0!important}");
    b.Rule(".search-box{display:none!important}");
  }
  if (b.On(Option::CombineAddressSearch) && b.Off(Option::HideSearchBar)) {
    b.Rule(".address-box{width:100%%!important;margin-right:0!important}");
    b.Rule(".search-box{width:40!important}");
    b.Rule(".search-box > .menu{background:url(images/addr_btn.png)expand!important;margin-right:0!important}");
    b.Rule(".search-box > .menu:hover{background-image:url(images/addr_btn_hover.png)!important}");
    b.Rule(".search-box > .menu:active{background-image:url(images/addr_btn_press.png)!important}");
  }
  if (b.On(Option::HideStatusBar)) {
    b.Rule(".statusbar{display:none!important}");
    b.Rule("body.maximum{padding:0 -2 0 -2}");
  }
  if (b.On(Option::MaxSearchWidth)) b.Rule(".search-box{max-width:", b.Text(Option::MaxSearchWidthText), "!important}");
}

void AeroStatusBar(Block& b) {
  if (!b.On(Option::AeroStatusBar) || !b.Off(Option::HideStatusBar) || !b.composition) return;
  b.Rule(".statusbar{background:url(none)!important}");
  b.Rule(".statusbar .message, .statusbar .text {outline:3px glow #FFFFFF 2px;color:black!important}");
  b.Rule("body{padding:0 5 0 5}");
}

void FontAndActiveTab(Block& b) {
  if (b.On(Option::SetFont)) {
    const std::string familyText = b.Text(Option::FontFamilyText);
    std::string_view families = familyText;
    while (!families.empty()) {
      const size_t comma = families.find(',');
      const std::string_view family = TrimSpaces(families.substr(0, comma));
      if (!family.empty()) b.fontList.append("\"").append(family).append("\",");
      if (comma == std::string_view::npos) break;
      families.remove_prefix(comma + 1);
    }
    if (!b.fontList.empty() && b.fontList.back() == ',') b.fontList.pop_back();
    b.Rule("body,th,td,input,button,select,textarea,plaintext,menu{font-size:",
           TrimSpaces(b.Text(Option::FontSizeText)), ";font-family:", b.fontList, "}");
  }
  b.Rule(".tabbar .tab:current,.tabbar .tab:moving,.tabbar .active,.tabbar .active:hover{font-weight:",
         b.On(Option::BoldActiveTab) ? "bold" : "normal", "!important}");
}

void HiddenNavButtons(Block& b) {
  if (b.On(Option::HideRefresh)) b.Rule("#BTN_REFRESH{display:none}");
  if (b.On(Option::HideHome)) b.Rule("#BTN_HOME{display:none}");
  if (b.On(Option::HideUndo)) b.Rule("#BTN_UNDO{display:none}");
  if (b.On(Option::HideUndoList)) b.Rule("#BTN_UNDO_LIST{display:none}");
}

void ClassicSkinRules(Block& b) {
  if (!b.classic) return;
  if (b.On(Option::NormalMenuButton)) {
    const char* v = b.On(Option::SlimmerToolbar) ? "4" : "5";
    b.Rule("#main_menu_button{background-image:url(../main/images/btn_bg.png)!important;padding:", v, " 5 ", v,
           " 7!important}");
    b.Rule("#main_menu_button:hover{background-image:url(../main/images/btn_bg_hover.png)!important}");
    b.Rule("#main_menu_button:active{background-image:url(../main/images/btn_bg_press.png)!important}");
  }
  if (b.On(Option::HideNewTab)) b.Rule(".tabbar .new{display:none}");
  // The bottom tab bar needs the avatar out of the way.
  if (b.On(Option::TabOnBottom) && b.hideAvatar) {
    const bool aero = b.On(Option::AeroStatusBar);
    const char* sfx = aero ? "_aero" : "";
    b.Rule(".top-blocks{background-image:url(images/toolbar_bg_bottom_tab.png)!important;padding-bottom:2}");
    b.Rule(".tabbar .tab{background-image:url(images/tab_bottom_tab", sfx, ".png)!important}");
    b.Rule(".tabbar .tab:hover{background-image:url(images/tab_hover_bottom_tab.png)!important}");
    b.Rule(
        ".tabbar .tab:current,.tabbar .tab:moving,.tabbar .active,.tabbar .active:hover{background-image:url(images/"
        "tab_active_bottom_tab.png)!important}");
    b.Rule(".tabbar > .controls{padding-right:9}");
    b.Rule(".tabbar{background:url(images/tabbar_bg_bottom_tab", sfx,
           ".png) expand;background-position: 6 6 6 6;background-repeat:stretch-left stretch-right "
           "stretch-middle;margin-bottom:-1;padding-left:4!important}");
    // A mixed aero box takes neither branch.
    if (b.Off(Option::AeroStatusBar)) {
      b.Rule(".statusbar{background-image:url(images/statusbar_bg_bottom_tab.png)!important}");
    } else if (aero) {
      b.Rule(".tabbar .new{foreground-image:url(images/tab_new_bottom_tab_aero.png)!important}");
      b.Rule(".tabbar .new:hover{foreground-image:url(images/tab_new_hover.png)!important}");
      b.Rule(".tabbar .new:active{foreground-image:url(images/tab_new_pressed.png)!important}");
    }
  }
}

void MainMenuModeTextAvatarLogo(Block& b) {
  if (b.On(Option::MenuToAvatar)) b.Rule(".main-menu{display:none}");
  if (b.On(Option::ShowModeText))
    b.Rule(
        "#BTN_SWITCH_MODE{width:auto!important;foreground-position:2 50%!important;padding-left:20!important;"
        "padding-right:6!important}");
  if (b.On(Option::ReplaceSmiley)) {
    b.Rule(".avatar .icon{foreground-image:url(../main/images/avatar_mx3.png)}");
    b.Rule(".avatar{background-image:url(../main/images/avatar_mask_tweak.png)}");
  }
}

void PaddingAndLastButton(Block& b) {
  if ((b.Off(Option::AeroStatusBar) || b.On(Option::HideStatusBar)) && !b.singleSkinHost)
    b.Rule("body{padding:0 5 ", b.On(Option::HideStatusBar) ? "6" : "4", " 5}");
  b.Rule(".navbar .button-group .button:last-child{margin-right:3!important}");
}

// Later rules win over earlier ones of equal weight, so the order is part of
// the format.
constexpr std::array<void (*)(Block&), 15> kRuleGroups = {
    AvatarHiding,
    TabCloseButtons,
    TabWidths,
    FavouritesButton,
    SlimmerTabBar,
    SlimmerToolbar,
    SlimmerFavAndStatusBar,
    MenuIconsAndTooltips,
    SearchAndStatusBar,
    AeroStatusBar,
    FontAndActiveTab,
    HiddenNavButtons,
    ClassicSkinRules,
    MainMenuModeTextAvatarLogo,
    PaddingAndLastButton,
};

}  // namespace

bool AvatarHidden(const OptionSnapshot& options) {
  return (options.Ticked(Option::AvatarToButton) || options.Ticked(Option::AvatarToMenu)) &&
         options.Unticked(Option::MenuToAvatar);
}

std::string BuildTweakBlock(const TweakInputs& inputs, bool isClassic) {
  Block b(inputs, isClassic);
  b.Rule(kBlockMarker);
  for (const auto group : kRuleGroups) group(b);
  // After the generated rules, so that the user's win over them; inside the
  // block, so that the next run removes them with it.
  if (const std::vector<std::string_view> own = OwnRulesLines(inputs.ownRules.For(isClassic)); !own.empty()) {
    b.Rule(kOwnRulesHeading);
    for (const std::string_view line : own) b.Rule(line);
  }
  b.Rule(kBlockMarker);
  return std::move(b.text);
}

std::string SheetWithBlock(std::string_view sheet, std::string_view block) {
  static const LazyPattern earlierBlock(patterns::kEarlierBlock);
  const auto span = earlierBlock.Find(sheet);
  std::string out;
  out.reserve(sheet.size() - (span ? span->end - span->start : 0) + block.size());
  if (span) {
    out.append(sheet.substr(0, span->start));
    out.append(sheet.substr(span->end));
  } else {
    out.append(sheet);
  }
  out.append(block);
  return out;
}

}  // namespace rw
