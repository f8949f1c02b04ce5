#include "engine/tweak_block.h"

#include <array>
#include <cstdint>
#include <optional>

#include "engine/controls.h"
#include "engine/lazy_pattern.h"
#include "engine/patterns.h"
#include "engine/vb_number.h"

namespace rw {

namespace {

using namespace controls;

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
        host3015300(inputs.host3015300),
        composition(inputs.compositionEnabled),
        hideAvatar(AvatarHidden(inputs.options)) {}

  const OptionSnapshot& o;
  bool classic;
  bool host3015300;
  bool composition;
  bool hideAvatar;
  bool hideBackgroundTabClose = false;
  std::int16_t activeTabSlot = 0;
  std::int16_t backgroundTabSlot = 0;
  std::string fontList;
  std::string text;

  bool On(std::string_view control) const { return o.Ticked(control); }
  // What the user typed, as it may stand in the block.
  std::string Text(std::string_view control) const { return WithoutCommentMarks(o.Text(control)); }
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
  if (b.Modern() && !b.On(kSlimmerTabBar)) {
    b.Rule(".show-avatar .tabbar{margin-left:4!important}");
    b.Rule(".show-avatar .navbar{margin-left:1!important}");
  }
}

void TabCloseButtons(Block& b) {
  if (b.On(kHoverTabClose)) b.hideBackgroundTabClose = true;
  // The width is looked at only when its box is ticked; a ticked width that
  // does not read as a number counts as narrow.
  if (b.On(kBkgndTabWidth)) {
    const auto width = ToInt16(b.Text(kBkgndTabWidthText));
    if (!width || *width < 40) b.hideBackgroundTabClose = true;
  }
  if (b.hideBackgroundTabClose) {
    b.Rule(".tabbar .tab .close{display:none!important}");
    b.Rule(".tabbar .active .close, .tabbar .tab:moving .close, .tabbar .tab:current .close{display:block!important}");
  }
  if (b.On(kClickableTitle) && b.Modern())
    b.Rule("body.maximum .caption-wrapper > .top-blocks > .caption{display:block;height:1}");
  if (b.On(kHoverTabClose)) b.Rule(".tabbar .tab:hover .close{display:block!important}");
  if (b.On(kHideTabClose)) b.Rule(".tabbar .tab .close{visibility:hidden!important;width:1!important}");
}

void TabWidths(Block& b) {
  if (!b.On(kMaxTabWidth) && !b.On(kBkgndTabWidth)) return;
  b.Rule(".tabbar .tab {max-width:", b.On(kBkgndTabWidth) ? b.Text(kBkgndTabWidthText) : b.Text(kMaxTabWidthText),
         " !important}");
  if (b.On(kBkgndTabWidth))
    b.Rule(".tabbar .active, .tabbar .tab:moving, .tabbar .tab:current{max-width:",
           b.On(kMaxTabWidth) ? b.Text(kMaxTabWidthText) : std::string("180"), " !important}");
  if (b.host3015300) return;

  // A width that does not convert, or a sum out of range, leaves its slot
  // as it was; an unticked box's text plays no part.
  std::optional<std::int16_t> active = std::int16_t{180};
  if (b.On(kMaxTabWidth)) active = ToInt16(b.Text(kMaxTabWidthText));
  if (active) active = AddInt16(*active, 13);
  if (active) b.activeTabSlot = *active;

  std::optional<std::int16_t> background = b.activeTabSlot;
  if (b.On(kBkgndTabWidth)) {
    background = ToInt16(b.Text(kBkgndTabWidthText));
    if (background) background = AddInt16(*background, 13);
  }
  if (background) b.backgroundTabSlot = *background;

  const std::string slotB = Decimal(b.backgroundTabSlot);
  const std::string slotM = Decimal(b.activeTabSlot);
  b.Rule(".tab-container-inner{max-width:calc(self.children()*", slotB, "-", slotB, "+", slotM, ")!important}");
  b.Rule(".tab-container-inner:drop-target{max-width:calc(self.children()*", slotB, "-", slotB, "+", slotM, "-", slotB,
         ")!important}");
}

void FavouritesButton(Block& b) {
  if (b.On(kAlwaysFavButton)) b.Rule("#BTN_FAV{display:block!important}");
  if (b.On(kHideFavorite)) b.Rule("#BTN_FAV{display:none!important}");
  if (b.On(kHideFavBarIcon)) {
    b.Rule("#TB_FAV .icon, #FAV_ROOT_MENU .icon{display:none}");
    b.Rule("li .icon{display:block!important}");
  }
}

void SlimmerTabBar(Block& b) {
  if (!b.On(kSlimmerTabBar)) return;
  const bool slimToolbar = b.On(kSlimmerToolbar);
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
  b.Rule("body.maximum .avatar{top:", b.On(kClickableTitle) ? "0" : "-1", "}");
  b.Rule(".tabbar .new{margin-left:-1!important}");
  b.Rule(".show-avatar .navbar{margin-left:", b.hideAvatar ? "1" : "62", "!important}");
}

void SlimmerToolbar(Block& b) {
  if (!b.On(kSlimmerToolbar)) return;
  if (b.classic) {
    b.Rule(".navbar .button{padding:2 4!important}");
    b.Rule(".address-box,.search-box,.main-menu{min-height:28!important}");
    return;
  }
  b.Rule(".navbar .button,.address-box,.search-box", b.host3015300 ? "" : ",.main-menu", "{min-height:28!important}");
  if (!b.On(kSlimmerTabBar)) {
    b.Rule(".avatar{top:18}");
    b.Rule("body.maximum .avatar{top:", b.On(kClickableTitle) ? "1" : "0", "}");
  }
}

void SlimmerFavAndStatusBar(Block& b) {
  if (b.On(kSlimmerFavBar)) b.Rule(".toolbar .item{padding:2 ", b.On(kHideFavBarIcon) ? "3" : "5", "!important}");
  if (b.On(kSlimmerStatusBar) && !b.On(kHideStatusBar))
    b.Rule(".statusbar{padding:", b.host3015300 ? "2" : b.On(kTabOnBottom) ? "-1" : "1", " 2 2 2!important}");
}

void MenuIconsAndTooltips(Block& b) {
  if (b.On(kHideMainMenuIcon)) b.Rule("#MAIN_MENU .icon{visibility:hidden!important}");
  if (b.On(kHidePageMenuIcon)) b.Rule("#BTN_PAGE_POPUP_MENU .icon{visibility:hidden!important}");
  if (b.On(kHideTabMenuIcon)) b.Rule("#TAB_CONTEXT_MENU .icon{visibility:hidden!important}");
  if (b.On(kHideAddrMenuIcon)) b.Rule("#ADDRESSBAR_CONTEXT_MENU .icon{visibility:hidden!important}");
  if (b.On(kHideToolTip)) b.Rule("*{behavior:mx-forbid-tooltip}");
}

void SearchAndStatusBar(Block& b) {
  // "100%%" is the host's own spelling.
  if (b.On(kHideSearchBar)) {
    b.Rule(".address-box{width:100%%!important;margin-right:0!important}");
    b.Rule(".search-box{display:none!important}");
  }
  if (b.On(kCombineAddressSearch) && !b.On(kHideSearchBar)) {
    b.Rule(".address-box{width:100%%!important;margin-right:0!important}");
    b.Rule(".search-box{width:40!important}");
    b.Rule(".search-box > .menu{background:url(images/addr_btn.png)expand!important;margin-right:0!important}");
    b.Rule(".search-box > .menu:hover{background-image:url(images/addr_btn_hover.png)!important}");
    b.Rule(".search-box > .menu:active{background-image:url(images/addr_btn_press.png)!important}");
  }
  if (b.On(kHideStatusBar)) {
    b.Rule(".statusbar{display:none!important}");
    b.Rule("body.maximum{padding:0 -2 0 -2}");
  }
  if (b.On(kMaxSearchWidth)) b.Rule(".search-box{max-width:", b.Text(kMaxSearchWidthText), "!important}");
}

void AeroStatusBar(Block& b) {
  if (!b.On(kAeroStatusBar) || b.On(kHideStatusBar) || !b.composition) return;
  b.Rule(".statusbar{background:url(none)!important}");
  b.Rule(".statusbar .message, .statusbar .text {outline:3px glow #FFFFFF 2px;color:black!important}");
  b.Rule("body{padding:0 5 0 5}");
}

void FontAndActiveTab(Block& b) {
  if (b.On(kSetFont)) {
    const std::string familyText = b.Text(kFontFamilyText);
    std::string_view families = familyText;
    while (!families.empty()) {
      const size_t comma = families.find(',');
      const std::string_view family = TrimSpaces(families.substr(0, comma));
      if (!family.empty()) b.fontList.append("\"").append(family).append("\",");
      if (comma == std::string_view::npos) break;
      families.remove_prefix(comma + 1);
    }
    if (!b.fontList.empty() && b.fontList.back() == ',') b.fontList.pop_back();
    b.Rule("body,th,td,input,button,select,textarea,plaintext,menu{font-size:", TrimSpaces(b.Text(kFontSizeText)),
           ";font-family:", b.fontList, "}");
  }
  b.Rule(".tabbar .tab:current,.tabbar .tab:moving,.tabbar .active,.tabbar .active:hover{font-weight:",
         b.On(kBoldActiveTab) ? "bold" : "normal", "!important}");
}

void HiddenNavButtons(Block& b) {
  if (b.On(kHideRefresh)) b.Rule("#BTN_REFRESH{display:none}");
  if (b.On(kHideHome)) b.Rule("#BTN_HOME{display:none}");
  if (b.On(kHideUndo)) b.Rule("#BTN_UNDO{display:none}");
  if (b.On(kHideUndoList)) b.Rule("#BTN_UNDO_LIST{display:none}");
}

void ClassicSkinRules(Block& b) {
  if (!b.classic) return;
  if (b.On(kNormalMenuButton)) {
    const char* v = b.On(kSlimmerToolbar) ? "4" : "5";
    b.Rule("#main_menu_button{background-image:url(../main/images/btn_bg.png)!important;padding:", v, " 5 ", v,
           " 7!important}");
    b.Rule("#main_menu_button:hover{background-image:url(../main/images/btn_bg_hover.png)!important}");
    b.Rule("#main_menu_button:active{background-image:url(../main/images/btn_bg_press.png)!important}");
  }
  if (b.On(kHideNewTab)) b.Rule(".tabbar .new{display:none}");
  // The bottom tab bar needs the avatar out of the way.
  if (b.On(kTabOnBottom) && b.hideAvatar) {
    const bool aero = b.On(kAeroStatusBar);
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
    if (!aero) {
      b.Rule(".statusbar{background-image:url(images/statusbar_bg_bottom_tab.png)!important}");
    } else {
      b.Rule(".tabbar .new{foreground-image:url(images/tab_new_bottom_tab_aero.png)!important}");
      b.Rule(".tabbar .new:hover{foreground-image:url(images/tab_new_hover.png)!important}");
      b.Rule(".tabbar .new:active{foreground-image:url(images/tab_new_pressed.png)!important}");
    }
  }
}

void MainMenuModeTextAvatarLogo(Block& b) {
  if (b.On(kMenuToAvatar)) b.Rule(".main-menu{display:none}");
  if (b.On(kShowModeText))
    b.Rule(
        "#BTN_SWITCH_MODE{width:auto!important;foreground-position:2 50%!important;padding-left:20!important;"
        "padding-right:6!important}");
  if (b.On(kReplaceSmiley)) {
    b.Rule(".avatar .icon{foreground-image:url(../main/images/avatar_mx3.png)}");
    b.Rule(".avatar{background-image:url(../main/images/avatar_mask_tweak.png)}");
  }
}

void PaddingAndLastButton(Block& b) {
  if ((!b.On(kAeroStatusBar) || b.On(kHideStatusBar)) && !b.host3015300)
    b.Rule("body{padding:0 5 ", b.On(kHideStatusBar) ? "6" : "4", " 5}");
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
  return (options.Ticked(kAvatarToButton) || options.Ticked(kAvatarToMenu)) && !options.Ticked(kMenuToAvatar);
}

std::string BuildTweakBlock(const TweakInputs& inputs, bool isClassic) {
  Block b(inputs, isClassic);
  b.Rule(kBlockMarker);
  for (const auto group : kRuleGroups) group(b);
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
