// The patterns of the tweak engine, in one place so that the differential
// test checks exactly what the engine uses.
#pragma once

#include <array>
#include <string_view>

namespace rw::patterns {

// An earlier tweak block with the line break in front of it.
inline constexpr std::string_view kEarlierBlock = "\r\n/\\*ravelwick\\*/(.|\\r|\\n)*?/\\*ravelwick\\*/";

// navbar.htm
inline constexpr std::string_view kUndoGroup = "<div class='button-group'><div id='BTN_UNDO'.*?</div></div>";
inline constexpr std::string_view kUndoListElement = "<div[^>]*?BTN_UNDO_LIST(.|\\r|\\n)*?</div>";
inline constexpr std::string_view kUndoElement = "<div[^>]*?BTN_UNDO(.|\\r|\\n)*?</div>";
inline constexpr std::string_view kMenuButton = "<div menu='\\#MAIN_MENU' class='button'.*?</div>";
inline constexpr std::string_view kMainMenuElement = "<div[^>]*?MAIN_MENU(.|\\r|\\n)*?</div>";
inline constexpr std::string_view kAvatarButton = "<div class='button' id='BTN_AVATAR'.*?</div>";
inline constexpr std::string_view kCompactSearchBox = "<div class='search-box' id='BOX_SEARCH'>.*?</div></div>";
inline constexpr std::string_view kFullSearchBox =
    "<div[^>]*?BOX_SEARCH[^>]*?search-box(.|\\r|\\n)*?<div[^>]*?TT_SEARCH(.|\\r|\\n)*?</div>";

// menus\main.htm
inline constexpr std::string_view kAvatarMenuItem = "<li id='BTN_AVATAR'.*?</li><hr/>";

// main\caption.css and main-menu\style.css, each with the line break in front
inline constexpr std::string_view kCaptionRule = "\r\nbody\\.maximum \\.caption-wrapper.*?\\}";
inline constexpr std::string_view kMainMenuIconRule = "\r\n\\#MAIN_MENU \\.icon\\{visibility.*?\\}";

inline constexpr std::array kAll = {kEarlierBlock,  kUndoGroup,       kUndoListElement, kUndoElement,
                                    kMenuButton,    kMainMenuElement, kAvatarButton,    kCompactSearchBox,
                                    kFullSearchBox, kAvatarMenuItem,  kCaptionRule,     kMainMenuIconRule};

}  // namespace rw::patterns
