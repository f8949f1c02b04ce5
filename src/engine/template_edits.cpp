#include "engine/template_edits.h"

#include <string_view>

#include "engine/lazy_pattern.h"
#include "engine/patterns.h"
#include "engine/text_ops.h"
#include "engine/tweak_block.h"

namespace rw {

namespace {

// Compiled once, on first use.
struct CompiledPatterns {
  LazyPattern undoGroup{patterns::kUndoGroup};
  LazyPattern undoListElement{patterns::kUndoListElement};
  LazyPattern undoElement{patterns::kUndoElement};
  LazyPattern menuButton{patterns::kMenuButton};
  LazyPattern mainMenuElement{patterns::kMainMenuElement};
  LazyPattern avatarButton{patterns::kAvatarButton};
  LazyPattern compactSearchBox{patterns::kCompactSearchBox};
  LazyPattern fullSearchBox{patterns::kFullSearchBox};
  LazyPattern avatarMenuItem{patterns::kAvatarMenuItem};
  LazyPattern captionRule{patterns::kCaptionRule};
  LazyPattern mainMenuIconRule{patterns::kMainMenuIconRule};
};

const CompiledPatterns& Pattern() {
  static const CompiledPatterns compiled;
  return compiled;
}

// --- navbar.htm -------------------------------------------------------------

constexpr std::string_view kHistoryImage = "<img src=\"images/nav_history.png\"/>";
constexpr std::string_view kBackForwardMenuImage = "<img src=\"images/nav_bfmenu.png\" />";

constexpr std::string_view kGroupedUndo =
    "<div class='button-group'><div id='BTN_UNDO' class='button' title='$TT_UNDO$'><img "
    "src='images/nav_undo.png'/></div><div id='BTN_UNDO_LIST' class='button dropdown' "
    "title='$TT_UNDO_LIST$'><img src='images/button_dropdown.png'/></div></div>";
constexpr std::string_view kSeparateUndo =
    "<div id='BTN_UNDO' class='button' title='$TT_UNDO$'><img src='images/nav_undo.png'/></div><div "
    "id='BTN_UNDO_LIST' class='button' title='$TT_UNDO_LIST$'><img src='images/nav_history.png'/></div>";

constexpr std::string_view kMenuButtonOpen =
    "<div menu='#MAIN_MENU' class='button' style='behavior:popup-menu;margin:0 1 0 3;padding:0 3 0 5;' "
    "align-popup='top-right' title='$TT_MAINMENU$'";
constexpr std::string_view kClassicMenuButtonId = " id=main_menu_button";
constexpr std::string_view kMenuButtonRest =
    "><img src='images/nav_tool.png'/><img src='images/button_dropdown.png'/></div>";
constexpr std::string_view kMainMenu =
    "<div class='main-menu' menu='#MAIN_MENU' align-popup='top-right' title='$TT_MAINMENU$'>$Menu$</div>";

constexpr std::string_view kToolbarOpen = "<div class=\"navbar\" id=\"TB_NAV\">";
constexpr std::string_view kAvatarButton =
    "<div class='button' id='BTN_AVATAR'  title='$TT_AVATAR$'><img src='images/nav_account.png'/></div>";

constexpr std::string_view kGoMarker = "<!-- #object address-box::go -->";
constexpr std::string_view kCompactSearchBox =
    "<div class='search-box' id='BOX_SEARCH'><div id='BTN_SEARCH_MENU' class='menu' menu='#POPUP_SEARCH_LIST' "
    "title='$TT_SWITCH_SEARCHENGINE$'><div class='icon' /></div></div>";
constexpr std::string_view kSearchBoxMarker = "<!-- #begin navbar::search-box -->";
constexpr std::string_view kFullSearchBox =
    "<div id='BOX_SEARCH' class='search-box'><div id='BTN_SEARCH_MENU' class='menu' menu='#POPUP_SEARCH_LIST' "
    "title='$TT_SWITCH_SEARCHENGINE$'><div class='icon' /></div><div class='input'><text id='TXT_SEARCH' "
    "class='textbox' novalue='Web Search' style='behavior: ~ mx_search_bar;'/></div><div id='BTN_SEARCH' "
    "class='go' title='$TT_SEARCH$'/></div>";

// How a wanted edit went: `made` when it wrote, else whether the file
// already holds the option's markup.
EditResult Outcome(bool made, bool alreadyThere) {
  return made ? EditResult::Made : alreadyThere ? EditResult::InPlace : EditResult::NotFound;
}

constexpr std::string_view kTurboEmpty = "<div class=\"turbo\" />";
constexpr std::string_view kTurboText = "<div class=\"turbo\">$Turbo$</div>";
constexpr std::string_view kCompEmpty = "<div class=\"comp\" />";
constexpr std::string_view kCompText = "<div class=\"comp\">$Compatible$</div>";

void UndoButtons(std::string& text, const OptionSnapshot& o, bool classic, EditNotes& notes) {
  const bool combine =
      o.Ticked(Option::CombineUndoHistory) && o.Unticked(Option::HideUndo) && o.Unticked(Option::HideUndoList);
  if (classic) {
    if (combine) {
      const bool made = ReplaceEvery(text, kHistoryImage, kBackForwardMenuImage, Case::Exact) > 0;
      notes.push_back({Option::CombineUndoHistory, Outcome(made, text.find(kBackForwardMenuImage) != std::string::npos),
                       kHistoryImage});
    } else {
      ReplaceEvery(text, kBackForwardMenuImage, kHistoryImage, Case::Exact);
    }
    return;
  }
  const LazyPattern& group = Pattern().undoGroup;
  const bool grouped = HasMatch(text, group);
  if (combine && !grouped) {
    ReplaceFirstMatch(text, Pattern().undoListElement, "");
    const bool made = ReplaceThroughPlaceholder(text, Pattern().undoElement, kGroupedUndo);
    notes.push_back({Option::CombineUndoHistory, Outcome(made, false), "the BTN_UNDO button"});
  } else if (combine) {
    notes.push_back({Option::CombineUndoHistory, EditResult::InPlace, "the BTN_UNDO button"});
  } else if (grouped) {
    ReplaceThroughPlaceholder(text, group, kSeparateUndo);
  }
}

void MenuButton(std::string& text, const OptionSnapshot& o, bool classic, EditNotes& notes) {
  const bool normal = o.Ticked(Option::NormalMenuButton) && o.Unticked(Option::MenuToAvatar);
  const LazyPattern& button = Pattern().menuButton;
  const bool present = HasMatch(text, button);
  if (normal) {
    bool made = false;
    if (!present) {
      std::string markup(kMenuButtonOpen);
      if (classic) markup.append(kClassicMenuButtonId);  // styled by the classic block
      markup.append(kMenuButtonRest);
      made = ReplaceThroughPlaceholder(text, Pattern().mainMenuElement, markup);
    }
    notes.push_back({Option::NormalMenuButton, Outcome(made, present), "the MAIN_MENU element"});
  } else if (present) {
    ReplaceThroughPlaceholder(text, button, kMainMenu);
  }
}

void AvatarButton(std::string& text, const OptionSnapshot& o, EditNotes& notes) {
  const bool wanted =
      o.Ticked(Option::AvatarToButton) && o.Unticked(Option::AvatarToMenu) && o.Unticked(Option::MenuToAvatar);
  const LazyPattern& button = Pattern().avatarButton;
  const bool present = HasMatch(text, button);
  if (wanted) {
    bool made = false;
    if (!present) {
      std::string withButton(kToolbarOpen);
      withButton.append(kAvatarButton);
      made = ReplaceEvery(text, kToolbarOpen, withButton, Case::Ignore) > 0;
    }
    notes.push_back({Option::AvatarToButton, Outcome(made, present), kToolbarOpen});
  } else if (present) {
    ReplaceFirstMatch(text, button, "");
  }
}

void SearchBox(std::string& text, const OptionSnapshot& o, EditNotes& notes) {
  const bool combined = o.Ticked(Option::CombineAddressSearch) && o.Unticked(Option::HideSearchBar);
  const LazyPattern& compact = Pattern().compactSearchBox;
  const bool present = HasMatch(text, compact);
  if (combined) {
    bool made = false;
    if (!present) {
      ReplaceFirstMatch(text, Pattern().fullSearchBox, "");
      std::string withBox(kCompactSearchBox);
      withBox.append(kGoMarker);
      made = ReplaceEvery(text, kGoMarker, withBox, Case::Ignore) > 0;
    }
    notes.push_back({Option::CombineAddressSearch, Outcome(made, present), kGoMarker});
  } else if (present) {
    ReplaceFirstMatch(text, compact, "");
    std::string withBox(kSearchBoxMarker);
    withBox.append(kFullSearchBox);
    ReplaceEvery(text, kSearchBoxMarker, withBox, Case::Exact);
  }
}

void ModeText(std::string& text, const OptionSnapshot& o, EditNotes& notes) {
  if (o.Ticked(Option::ShowModeText)) {
    const size_t made = ReplaceEvery(text, kTurboEmpty, kTurboText, Case::Exact) +
                        ReplaceEvery(text, kCompEmpty, kCompText, Case::Exact);
    const bool there = text.find(kTurboText) != std::string::npos || text.find(kCompText) != std::string::npos;
    notes.push_back({Option::ShowModeText, Outcome(made > 0, there), kTurboEmpty});
  } else if (o.Unticked(Option::ShowModeText)) {
    ReplaceEvery(text, kTurboText, kTurboEmpty, Case::Exact);
    ReplaceEvery(text, kCompText, kCompEmpty, Case::Exact);
  }
}

// --- index.htm and favbar.htm -------------------------------------------------

constexpr std::string_view kAvatarId = "class=\"avatar\" id=\"BTN_AVATAR";
constexpr std::string_view kHiddenAvatarId = "class=\"avatar\" id=\"NOT_BTN_AVATAR";
constexpr std::string_view kAvatarTitle = "title=\"$TT_AVATAR$\"";
constexpr std::string_view kAvatarMenuTitle = "title=\"$TT_MAINMENU$\" menu='#MAIN_MENU' style='behavior:popup-menu'";
constexpr std::string_view kTabBarInclude = "<include src=\"tabbar.htm\" />";
constexpr std::string_view kStatusBarMarker = "<!-- #include statusbar -->";
constexpr std::string_view kTabBarMarker = "<!-- #include tabbar -->";

constexpr std::string_view kFavButton = "menu=\"#FAV_ROOT_MENU\">";
constexpr std::string_view kHiddenFavButton = "menu=\"#FAV_ROOT_MENU\" style='display:none'>";
constexpr std::string_view kSeparator = "class=\"separator\" />";
constexpr std::string_view kHiddenSeparator = "class=\"separator\" style='display:none' />";

// --- menus\main.htm and the two style sheets -----------------------------------

constexpr std::string_view kMainMenuOpen = "<menu id=\"MAIN_MENU\">";
constexpr std::string_view kAvatarMenuItem = "<li id='BTN_AVATAR'>$TT_AVATAR$</li><hr/>";
constexpr std::string_view kCaptionRule =
    "\r\nbody.maximum .caption-wrapper > .top-blocks > .caption{display:block;height:1px}";
constexpr std::string_view kMainMenuIconRule = "\r\n#MAIN_MENU .icon{visibility:hidden!important}";

}  // namespace

EditNotes EditToolbarTemplate(std::string& text, const TweakInputs& inputs, bool isClassic) {
  const OptionSnapshot& o = inputs.options;
  EditNotes notes;
  UndoButtons(text, o, isClassic, notes);
  if (!inputs.singleSkinHost) {
    MenuButton(text, o, isClassic, notes);
    AvatarButton(text, o, notes);
  }
  SearchBox(text, o, notes);
  ModeText(text, o, notes);
  return notes;
}

EditNotes EditWindowTemplate(std::string& text, const TweakInputs& inputs, bool isClassic) {
  const OptionSnapshot& o = inputs.options;
  EditNotes notes;
  const bool hideAvatar = AvatarHidden(o);
  if (hideAvatar) {
    const bool made = ReplaceEvery(text, kAvatarId, kHiddenAvatarId, Case::Ignore) > 0;
    const EditResult result = Outcome(made, text.find(kHiddenAvatarId) != std::string::npos);
    for (const Option option : {Option::AvatarToButton, Option::AvatarToMenu})
      if (o.Ticked(option)) notes.push_back({option, result, kAvatarId});
  } else {
    ReplaceEvery(text, kHiddenAvatarId, kAvatarId, Case::Ignore);
  }

  if (o.Ticked(Option::MenuToAvatar)) {
    const bool made = ReplaceEvery(text, kAvatarTitle, kAvatarMenuTitle, Case::Exact) > 0;
    notes.push_back(
        {Option::MenuToAvatar, Outcome(made, text.find(kAvatarMenuTitle) != std::string::npos), kAvatarTitle});
  } else if (o.Unticked(Option::MenuToAvatar)) {
    ReplaceEvery(text, kAvatarMenuTitle, kAvatarTitle, Case::Exact);
  }

  if (!isClassic) return notes;
  const std::string before = text;
  ReplaceEvery(text, kTabBarInclude, "", Case::Exact);
  const bool bottom = o.Ticked(Option::TabOnBottom) && hideAvatar;
  const std::string_view marker = bottom ? kStatusBarMarker : kTabBarMarker;
  std::string withInclude(marker);
  withInclude.append(kTabBarInclude);
  const bool found = ReplaceEvery(text, marker, withInclude, Case::Exact) > 0;
  if (bottom)
    notes.push_back({Option::TabOnBottom,
                     found ? (text == before ? EditResult::InPlace : EditResult::Made) : EditResult::NotFound,
                     kStatusBarMarker});
  return notes;
}

EditNotes EditFavBarTemplate(std::string& text, const TweakInputs& inputs, bool /*isClassic*/) {
  EditNotes notes;
  if (inputs.options.Ticked(Option::HideFavBarButton)) {
    const bool made = ReplaceEvery(text, kFavButton, kHiddenFavButton, Case::Exact) > 0;
    ReplaceEvery(text, kSeparator, kHiddenSeparator, Case::Exact);
    notes.push_back(
        {Option::HideFavBarButton, Outcome(made, text.find(kHiddenFavButton) != std::string::npos), kFavButton});
  } else if (inputs.options.Unticked(Option::HideFavBarButton)) {
    ReplaceEvery(text, kHiddenFavButton, kFavButton, Case::Exact);
    ReplaceEvery(text, kHiddenSeparator, kSeparator, Case::Exact);
  }
  return notes;
}

EditNotes EditMainMenuTemplate(std::string& text, const TweakInputs& inputs, bool /*isClassic*/) {
  EditNotes notes;
  if (inputs.singleSkinHost) return notes;
  const OptionSnapshot& o = inputs.options;
  const bool wanted = o.Ticked(Option::AvatarToMenu) || o.Ticked(Option::MenuToAvatar);
  const LazyPattern& item = Pattern().avatarMenuItem;
  const bool present = HasMatch(text, item);
  if (wanted) {
    bool made = false;
    if (!present) {
      std::string withItem(kMainMenuOpen);
      withItem.append(kAvatarMenuItem);
      made = ReplaceEvery(text, kMainMenuOpen, withItem, Case::Ignore) > 0;
    }
    for (const Option option : {Option::AvatarToMenu, Option::MenuToAvatar})
      if (o.Ticked(option)) notes.push_back({option, Outcome(made, present), kMainMenuOpen});
  } else if (present) {
    ReplaceFirstMatch(text, item, "");
  }
  return notes;
}

// The rule goes to the end of the sheet, so it is always written.
EditNotes EditCaptionSheet(std::string& text, const TweakInputs& inputs, bool /*isClassic*/) {
  const std::string before = text;
  ReplaceFirstMatch(text, Pattern().captionRule, "");
  if (!inputs.options.Ticked(Option::ClickableTitle)) return {};
  text.append(kCaptionRule);
  return {{Option::ClickableTitle, text == before ? EditResult::InPlace : EditResult::Made, ".caption"}};
}

EditNotes EditMainMenuSheet(std::string& text, const TweakInputs& inputs, bool /*isClassic*/) {
  const std::string before = text;
  ReplaceFirstMatch(text, Pattern().mainMenuIconRule, "");
  if (!inputs.options.Ticked(Option::HideMainMenuIcon)) return {};
  text.append(kMainMenuIconRule);
  return {{Option::HideMainMenuIcon, text == before ? EditResult::InPlace : EditResult::Made, "#MAIN_MENU .icon"}};
}

}  // namespace rw
