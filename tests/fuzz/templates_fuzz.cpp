// The template and style-sheet edits with any option states: on any text no
// crash and no runaway growth; on the host's own templates, after any series
// of runs with changing options, a second run with the same options changes
// nothing and a run with every option off gives the templates back.
//
// Input: a flags byte, then
// - raw and recipe modes: five bytes of check box states (kCheckBoxBytes) and the text. In a
//   recipe, bytes from 0x80 up stand for pieces of the host's templates and
//   of the program's markups, so that the edits find their anchors; smaller
//   bytes are taken as they are.
// - host mode: up to eight sets of five check box bytes, applied in turn to
//   the templates of tests/fixtures/host-ui.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>

#include "engine/apply_tweaks.h"
#include "engine/option_snapshot.h"
#include "engine/template_edits.h"
#include "fuzz/fuzz_support.h"

namespace {

using rw::fuzz::Check;

constexpr size_t kMaxText = 64 * 1024;

// Lines of the host's templates and sheets, and the markups the edits write.
constexpr std::string_view kPieces[] = {
    "\r\n",
    "<div class=\"navbar\" id=\"TB_NAV\">",
    "<div class='button-group'><div id='BTN_BACK' class='button' title='$TT_BACK$'><img "
    "src='images/nav_back.png'/></div></div>",
    "<div id=\"BTN_HISTORY\" class=\"button dropdown\" menu=\"#POPUP_HISTORY\" title=\"$TT_HISTORY$\"><img "
    "src=\"images/nav_history.png\"/></div>",
    "<div id='BTN_UNDO' class='button' title='$TT_UNDO$'><img src='images/nav_undo.png'/></div>",
    "<div id='BTN_UNDO_LIST' class='button' title='$TT_UNDO_LIST$'><img src='images/nav_history.png'/></div>",
    "<div class='button-group'><div id='BTN_UNDO' class='button' title='$TT_UNDO$'><img "
    "src='images/nav_undo.png'/></div><div id='BTN_UNDO_LIST' class='button dropdown' "
    "title='$TT_UNDO_LIST$'><img src='images/button_dropdown.png'/></div></div>",
    "<img src=\"images/nav_history.png\"/>",
    "<img src=\"images/nav_bfmenu.png\" />",
    "<div class=\"address-box\" id=\"BOX_ADDRESS\">",
    "<!-- #object address-box::go -->",
    "<!-- #begin navbar::search-box -->",
    "<div id='BOX_SEARCH' class='search-box'><div id='BTN_SEARCH_MENU' class='menu' menu='#POPUP_SEARCH_LIST' "
    "title='$TT_SWITCH_SEARCHENGINE$'><div class='icon' /></div><div class='input'><text id='TXT_SEARCH' "
    "class='textbox' novalue='Web Search' style='behavior: ~ mx_search_bar;'/></div><div id='BTN_SEARCH' "
    "class='go' title='$TT_SEARCH$'/></div>",
    "<div class='search-box' id='BOX_SEARCH'><div id='BTN_SEARCH_MENU' class='menu' menu='#POPUP_SEARCH_LIST' "
    "title='$TT_SWITCH_SEARCHENGINE$'><div class='icon' /></div></div>",
    "<!-- #end navbar::search-box -->",
    "<div id=\"BTN_FAV\" class=\"button\" menu=\"#FAV_ROOT_MENU\" title=\"$TT_FAVORITES$\">",
    "<div class=\"turbo\" />",
    "<div class=\"comp\" />",
    "<div class=\"turbo\">$Turbo$</div>",
    "<div class=\"comp\">$Compatible$</div>",
    "<div class='main-menu' menu='#MAIN_MENU' align-popup='top-right' title='$TT_MAINMENU$'>$Menu$</div>",
    "<div menu='#MAIN_MENU' class='button' style='behavior:popup-menu;margin:0 1 0 3;padding:0 3 0 5;' "
    "align-popup='top-right' title='$TT_MAINMENU$'><img src='images/nav_tool.png'/><img "
    "src='images/button_dropdown.png'/></div>",
    "<div class='button' id='BTN_AVATAR'  title='$TT_AVATAR$'><img src='images/nav_account.png'/></div>",
    "</div>",
    "<div class=\"avatar\" id=\"BTN_AVATAR\" title=\"$TT_AVATAR$\"><div class=\"icon\" /></div>",
    "class=\"avatar\" id=\"NOT_BTN_AVATAR",
    "title=\"$TT_MAINMENU$\" menu='#MAIN_MENU' style='behavior:popup-menu'",
    "<!-- #include tabbar --><include src=\"tabbar.htm\" />",
    "<!-- #include statusbar --><include src=\"statusbar.htm\" />",
    "<!-- #include tabbar -->",
    "<include src=\"tabbar.htm\" />",
    "<div class=\"item root\" id=\"BTN_FAV_ROOT\" title=\"$TT_FAVORITES$\" menu=\"#FAV_ROOT_MENU\">",
    "menu=\"#FAV_ROOT_MENU\" style='display:none'>",
    "<div class=\"separator\" />",
    "class=\"separator\" style='display:none' />",
    "<menu id=\"MAIN_MENU\">",
    "<li id=\"MENU_NEW_WINDOW\">$NewWindow$</li>",
    "<li id='BTN_AVATAR'>$TT_AVATAR$</li><hr/>",
    "</menu>",
    "\r\n.caption-wrapper > .top-blocks > .caption{display:block;color:#333;padding:6 8}",
    "\r\nbody.maximum .caption-wrapper > .top-blocks > .caption{display:block;height:1px}",
    "\r\n#MAIN_MENU .icon{width:16;height:16}",
    "\r\n#MAIN_MENU .icon{visibility:hidden!important}",
    "<temp_for_replace>",
    "\t",
};

std::string FromRecipe(std::string_view recipe) {
  std::string text;
  for (char b : recipe) {
    const auto byte = static_cast<unsigned char>(b);
    if (byte < 0x80)
      text += b;
    else
      text += kPieces[(byte - 0x80) % std::size(kPieces)];
  }
  return text;
}

// Every edit of one run, in the engine's order, on one text each.
struct Texts {
  std::string navbar, window, favbar, menu, caption, menuSheet;
  bool operator==(const Texts&) const = default;
};

void EditAll(Texts& t, const rw::TweakInputs& inputs, bool classic) {
  rw::EditToolbarTemplate(t.navbar, inputs, classic);
  rw::EditWindowTemplate(t.window, inputs, classic);
  rw::EditFavBarTemplate(t.favbar, inputs, classic);
  rw::EditMainMenuTemplate(t.menu, inputs, classic);
  rw::EditCaptionSheet(t.caption, inputs, classic);
  rw::EditMainMenuSheet(t.menuSheet, inputs, classic);
}

rw::OptionSnapshot Options(const uint8_t* bits) { return rw::fuzz::StatesFrom(bits); }

std::string Fixture(const std::string& relative) {
  std::ifstream in(std::string(RW_SOURCE_DIR) + "/tests/fixtures/host-ui/ui/" + relative, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (bytes.str().empty()) __builtin_trap();  // a missing fixture would test nothing
  return bytes.str();
}

Texts HostTemplates(bool classic) {
  const std::string skin = classic ? "main.classic/" : "main/";
  return Texts{Fixture(skin + "navbar.htm"), Fixture(skin + "index.htm"), Fixture(skin + "favbar.htm"),
               Fixture("menus/main.htm"),    Fixture("main/caption.css"), Fixture("main-menu/style.css")};
}

void CheckGrowth(const Texts& edited, size_t from) {
  // The largest markup is a few hundred bytes and no edit feeds another's
  // output back into itself, so growth stays within a fixed factor.
  for (const std::string* text :
       {&edited.navbar, &edited.window, &edited.favbar, &edited.menu, &edited.caption, &edited.menuSheet})
    Check(text->size() <= 64 * (from + 1024));
}

constexpr size_t kOptionBytes = rw::fuzz::kCheckBoxBytes;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > kMaxText) return 0;
  const uint8_t flags = data[0];
  const unsigned mode = flags & 3;
  const bool classic = flags & 4;
  const bool singleSkinHost = flags & 8;
  const bool composition = flags & 16;
  ++data, --size;

  if (mode >= 2) {
    static const Texts modern = HostTemplates(false);
    static const Texts classicSkin = HostTemplates(true);
    const Texts& original = classic ? classicSkin : modern;
    Texts state = original;
    for (size_t step = 0; step < 8 && size >= kOptionBytes; ++step, data += kOptionBytes, size -= kOptionBytes) {
      const rw::OptionSnapshot options = Options(data);
      const rw::TweakInputs inputs{options, singleSkinHost, composition};
      EditAll(state, inputs, classic);
      Texts again = state;
      EditAll(again, inputs, classic);
      Check(again == state);
    }
    const rw::OptionSnapshot none;
    EditAll(state, rw::TweakInputs{none, singleSkinHost, composition}, classic);
    Check(state == original);
    return 0;
  }

  if (size < kOptionBytes) return 0;
  const rw::OptionSnapshot options = Options(data);
  const rw::TweakInputs inputs{options, singleSkinHost, composition};
  const std::string_view rest(reinterpret_cast<const char*>(data) + kOptionBytes, size - kOptionBytes);
  const std::string text = mode == 1 ? FromRecipe(rest) : std::string(rest);
  Texts edited{text, text, text, text, text, text};
  EditAll(edited, inputs, classic);
  CheckGrowth(edited, text.size());
  return 0;
}
