#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/apply_tweaks.h"
#include "engine_test_tree.h"
#include "platform/overlay_platform.h"
#include "support/fake_platform.h"
#include "ui/catalogue.h"

namespace rw {
namespace {

using enginetest::Defaults;
using enginetest::FixtureText;
using enginetest::Now;
using enginetest::With;
using test::FakePlatform;
using test::Op;

// Markups written out by hand.
const std::string kSeparateUndo =
    "<div id='BTN_UNDO' class='button' title='$TT_UNDO$'><img src='images/nav_undo.png'/></div><div "
    "id='BTN_UNDO_LIST' class='button' title='$TT_UNDO_LIST$'><img src='images/nav_history.png'/></div>";
const std::string kGroupedUndo =
    "<div class='button-group'><div id='BTN_UNDO' class='button' title='$TT_UNDO$'><img "
    "src='images/nav_undo.png'/></div><div id='BTN_UNDO_LIST' class='button dropdown' title='$TT_UNDO_LIST$'><img "
    "src='images/button_dropdown.png'/></div></div>";
const std::string kMainMenu =
    "<div class='main-menu' menu='#MAIN_MENU' align-popup='top-right' title='$TT_MAINMENU$'>$Menu$</div>";
const std::string kModernMenuButton =
    "<div menu='#MAIN_MENU' class='button' style='behavior:popup-menu;margin:0 1 0 3;padding:0 3 0 5;' "
    "align-popup='top-right' title='$TT_MAINMENU$'><img src='images/nav_tool.png'/><img "
    "src='images/button_dropdown.png'/></div>";
const std::string kClassicMenuButton =
    "<div menu='#MAIN_MENU' class='button' style='behavior:popup-menu;margin:0 1 0 3;padding:0 3 0 5;' "
    "align-popup='top-right' title='$TT_MAINMENU$' id=main_menu_button><img src='images/nav_tool.png'/><img "
    "src='images/button_dropdown.png'/></div>";
const std::string kToolbarOpen = "<div class=\"navbar\" id=\"TB_NAV\">";
const std::string kAvatarButton =
    "<div class='button' id='BTN_AVATAR'  title='$TT_AVATAR$'><img src='images/nav_account.png'/></div>";
const std::string kGo = "<!-- #object address-box::go -->";
const std::string kSearchMarker = "<!-- #begin navbar::search-box -->";
const std::string kFullSearchBox =
    "<div id='BOX_SEARCH' class='search-box'><div id='BTN_SEARCH_MENU' class='menu' menu='#POPUP_SEARCH_LIST' "
    "title='$TT_SWITCH_SEARCHENGINE$'><div class='icon' /></div><div class='input'><text id='TXT_SEARCH' "
    "class='textbox' novalue='Web Search' style='behavior: ~ mx_search_bar;'/></div><div id='BTN_SEARCH' class='go' "
    "title='$TT_SEARCH$'/></div>";
const std::string kCompactSearchBox =
    "<div class='search-box' id='BOX_SEARCH'><div id='BTN_SEARCH_MENU' class='menu' menu='#POPUP_SEARCH_LIST' "
    "title='$TT_SWITCH_SEARCHENGINE$'><div class='icon' /></div></div>";
const std::string kModes = "<div class=\"turbo\" /><div class=\"comp\" />";
const std::string kModeTexts = "<div class=\"turbo\">$Turbo$</div><div class=\"comp\">$Compatible$</div>";

const std::vector<std::string> kTemplates = {
    "main/navbar.htm",         "main/index.htm",         "main/favbar.htm",
    "main.classic/navbar.htm", "main.classic/index.htm", "main.classic/favbar.htm",
    "menus/main.htm",          "main/caption.css",       "main-menu/style.css"};

OptionSnapshot Ticked(std::initializer_list<Option> options) {
  OptionSnapshot o = Defaults();
  for (Option option : options) o = o.WithState(option, 1);
  return o;
}

void ApplyOne(FakePlatform& p, const OptionSnapshot& o, bool classic, bool singleSkinHost = false) {
  ApplyTweaks(p, "C:\\Ravelwick", TweakInputs{o, singleSkinHost, true}, classic);
}

// As the Apply command does: the modern skin, then the classic one unless
// the host is 3.0.15.300.
void RunBoth(FakePlatform& p, const OptionSnapshot& o, bool singleSkinHost = false) {
  ApplyOne(p, o, false, singleSkinHost);
  if (!singleSkinHost) ApplyOne(p, o, true, singleSkinHost);
}

struct Tree {
  Tree() { enginetest::LoadTree(p); }
  FakePlatform p;
};

TEST(TemplateMarkups, HaveTheirDocumentedLengths) {
  EXPECT_EQ(kGroupedUndo.size(), 238u);
  EXPECT_EQ(kSeparateUndo.size(), 193u);
}

TEST(ToolbarTemplate, UndoButtonsGroupAndSplitOnTheModernSkin) {
  Tree t;
  const std::string original = FixtureText("main/navbar.htm");
  ApplyOne(t.p, Ticked({Option::CombineUndoHistory}), false);
  EXPECT_EQ(Now(t.p, "main/navbar.htm"), With(original, kSeparateUndo, kGroupedUndo));
  // Hiding either button turns the combination off and splits the group.
  ApplyOne(t.p, Ticked({Option::CombineUndoHistory, Option::HideUndoList}), false);
  EXPECT_EQ(Now(t.p, "main/navbar.htm"), original);
}

TEST(ToolbarTemplate, UndoHistoryImageSwapsOnTheClassicSkin) {
  Tree t;
  const std::string original = FixtureText("main.classic/navbar.htm");
  ApplyOne(t.p, Ticked({Option::CombineUndoHistory}), true);
  EXPECT_EQ(Now(t.p, "main.classic/navbar.htm"),
            With(original, "<img src=\"images/nav_history.png\"/>", "<img src=\"images/nav_bfmenu.png\" />"));
  ApplyOne(t.p, Defaults(), true);
  EXPECT_EQ(Now(t.p, "main.classic/navbar.htm"), original);
}

TEST(ToolbarTemplate, MainMenuBecomesANormalButtonAndBack) {
  Tree t;
  ApplyOne(t.p, Ticked({Option::NormalMenuButton}), false);
  ApplyOne(t.p, Ticked({Option::NormalMenuButton}), true);
  EXPECT_EQ(Now(t.p, "main/navbar.htm"), With(FixtureText("main/navbar.htm"), kMainMenu, kModernMenuButton));
  EXPECT_EQ(Now(t.p, "main.classic/navbar.htm"),
            With(FixtureText("main.classic/navbar.htm"), kMainMenu, kClassicMenuButton));
  // Moving the menu onto the avatar wins over the normal button.
  RunBoth(t.p, Ticked({Option::NormalMenuButton, Option::MenuToAvatar}));
  EXPECT_EQ(Now(t.p, "main/navbar.htm"), FixtureText("main/navbar.htm"));
  EXPECT_EQ(Now(t.p, "main.classic/navbar.htm"), FixtureText("main.classic/navbar.htm"));
}

TEST(ToolbarTemplate, AvatarButtonIsTheToolbarsFirstChild) {
  Tree t;
  ApplyOne(t.p, Ticked({Option::AvatarToButton}), false);
  EXPECT_EQ(Now(t.p, "main/navbar.htm"),
            With(FixtureText("main/navbar.htm"), kToolbarOpen, kToolbarOpen + kAvatarButton));
  ApplyOne(t.p, Ticked({Option::AvatarToButton, Option::AvatarToMenu}), false);
  EXPECT_EQ(Now(t.p, "main/navbar.htm"), FixtureText("main/navbar.htm"));
}

TEST(ToolbarTemplate, NewerHostKeepsMenuAndAvatarMarkup) {
  Tree t;
  const auto o = Ticked({Option::NormalMenuButton, Option::AvatarToButton, Option::ShowModeText});
  ApplyOne(t.p, o, false, true);
  EXPECT_EQ(Now(t.p, "main/navbar.htm"), With(FixtureText("main/navbar.htm"), kModes, kModeTexts));
}

TEST(ToolbarTemplate, SearchBoxCompactsIntoTheAddressBoxAndBack) {
  Tree t;
  const std::string original = FixtureText("main.classic/navbar.htm");
  ApplyOne(t.p, Ticked({Option::CombineAddressSearch}), true);
  EXPECT_EQ(Now(t.p, "main.classic/navbar.htm"),
            With(With(original, kSearchMarker + kFullSearchBox, kSearchMarker), kGo, kCompactSearchBox + kGo));
  // Hiding the search bar brings the full box back.
  ApplyOne(t.p, Ticked({Option::CombineAddressSearch, Option::HideSearchBar}), true);
  EXPECT_EQ(Now(t.p, "main.classic/navbar.htm"), original);
}

TEST(ToolbarTemplate, ModeTextBothWays) {
  Tree t;
  ApplyOne(t.p, Ticked({Option::ShowModeText}), false);
  EXPECT_EQ(Now(t.p, "main/navbar.htm"), With(FixtureText("main/navbar.htm"), kModes, kModeTexts));
  ApplyOne(t.p, Defaults(), false);
  EXPECT_EQ(Now(t.p, "main/navbar.htm"), FixtureText("main/navbar.htm"));
}

const std::string kAvatar = "<div class=\"avatar\" id=\"BTN_AVATAR\" title=\"$TT_AVATAR$\">";
const std::string kHiddenAvatar = "<div class=\"avatar\" id=\"NOT_BTN_AVATAR\" title=\"$TT_AVATAR$\">";

TEST(WindowTemplate, HiddenAvatarAndTabBarOnTheBottom) {
  Tree t;
  RunBoth(t.p, Ticked({Option::AvatarToMenu, Option::TabOnBottom}));
  EXPECT_EQ(Now(t.p, "main/index.htm"), With(FixtureText("main/index.htm"), kAvatar, kHiddenAvatar));
  EXPECT_EQ(Now(t.p, "main.classic/index.htm"),
            With(With(With(FixtureText("main.classic/index.htm"), kAvatar, kHiddenAvatar),
                      "<!-- #include tabbar --><include src=\"tabbar.htm\" />", "<!-- #include tabbar -->"),
                 "<!-- #include statusbar -->", "<!-- #include statusbar --><include src=\"tabbar.htm\" />"));
  RunBoth(t.p, Defaults());
  EXPECT_EQ(Now(t.p, "main/index.htm"), FixtureText("main/index.htm"));
  EXPECT_EQ(Now(t.p, "main.classic/index.htm"), FixtureText("main.classic/index.htm"));
}

TEST(WindowTemplate, MenuOnTheAvatarKeepsItShownAndTheTabBarInPlace) {
  Tree t;
  RunBoth(t.p, Ticked({Option::AvatarToButton, Option::MenuToAvatar, Option::TabOnBottom}));
  const std::string menuAvatar =
      "<div class=\"avatar\" id=\"BTN_AVATAR\" title=\"$TT_MAINMENU$\" menu='#MAIN_MENU' "
      "style='behavior:popup-menu'>";
  EXPECT_EQ(Now(t.p, "main/index.htm"), With(FixtureText("main/index.htm"), kAvatar, menuAvatar));
  EXPECT_EQ(Now(t.p, "main.classic/index.htm"), With(FixtureText("main.classic/index.htm"), kAvatar, menuAvatar));
}

TEST(WindowTemplate, IdentifierPrefixIgnoresCaseAndStopsBeforeTheQuote) {
  FakePlatform p;
  const std::string path = enginetest::kUi + "main.classic\\index.htm";
  p.AddFile(path,
            "<p CLASS=\"Avatar\" ID=\"btn_avatar2\"/>\r\n<include src=\"tabbar.htm\" />\r\n<!-- #include tabbar "
            "-->x\r\n<!-- #include tabbar -->");
  ApplyOne(p, Ticked({Option::AvatarToButton}), true);
  EXPECT_EQ(Now(p, "main.classic/index.htm"),
            "<p class=\"avatar\" id=\"NOT_BTN_AVATAR2\"/>\r\n\r\n<!-- #include tabbar --><include src=\"tabbar.htm\" "
            "/>x\r\n<!-- #include tabbar --><include src=\"tabbar.htm\" />");
}

TEST(FavBarTemplate, HidesTheButtonAndEverySeparator) {
  Tree t;
  ApplyOne(t.p, Ticked({Option::HideFavBarButton}), false);
  std::string expected =
      With(FixtureText("main/favbar.htm"), "menu=\"#FAV_ROOT_MENU\">", "menu=\"#FAV_ROOT_MENU\" style='display:none'>");
  const std::string separator = "<div class=\"separator\" />";
  const std::string hidden = "<div class=\"separator\" style='display:none' />";
  expected.replace(expected.find(separator), separator.size(), hidden);
  expected.replace(expected.find(separator), separator.size(), hidden);
  EXPECT_EQ(Now(t.p, "main/favbar.htm"), expected);
  EXPECT_EQ(Now(t.p, "main.classic/favbar.htm"), FixtureText("main.classic/favbar.htm"));
  ApplyOne(t.p, Defaults(), false);
  EXPECT_EQ(Now(t.p, "main/favbar.htm"), FixtureText("main/favbar.htm"));
}

TEST(MainMenuTemplate, AvatarItemOnTopAndAway) {
  Tree t;
  const std::string open = "<menu id=\"MAIN_MENU\">";
  const std::string withItem = open + "<li id='BTN_AVATAR'>$TT_AVATAR$</li><hr/>";
  RunBoth(t.p, Ticked({Option::MenuToAvatar}));
  EXPECT_EQ(Now(t.p, "menus/main.htm"), With(FixtureText("menus/main.htm"), open, withItem));
  RunBoth(t.p, Ticked({Option::AvatarToMenu}));
  EXPECT_EQ(Now(t.p, "menus/main.htm"), With(FixtureText("menus/main.htm"), open, withItem));
  RunBoth(t.p, Defaults());
  EXPECT_EQ(Now(t.p, "menus/main.htm"), FixtureText("menus/main.htm"));
}

TEST(NewerHost, EditsCaptionAndMenuSheetsButNotTheMenuTemplate) {
  Tree t;
  const auto o = Ticked({Option::ClickableTitle, Option::HideMainMenuIcon, Option::AvatarToMenu});
  RunBoth(t.p, o, true);
  RunBoth(t.p, o, true);
  EXPECT_EQ(Now(t.p, "main/caption.css"),
            FixtureText("main/caption.css") +
                "\r\nbody.maximum .caption-wrapper > .top-blocks > .caption{display:block;height:1px}");
  EXPECT_EQ(Now(t.p, "main-menu/style.css"),
            FixtureText("main-menu/style.css") + "\r\n#MAIN_MENU .icon{visibility:hidden!important}");
  EXPECT_EQ(*t.p.Contents(enginetest::kUi + "menus\\main.htm"), "\xEF\xBB\xBF" + FixtureText("menus/main.htm"));
  RunBoth(t.p, Defaults(), true);
  EXPECT_EQ(Now(t.p, "main/caption.css"), FixtureText("main/caption.css"));
  EXPECT_EQ(Now(t.p, "main-menu/style.css"), FixtureText("main-menu/style.css"));
}

TEST(NewerHost, RemovesTheFirstMatchingRuleOfTheSheetsOwn) {
  FakePlatform p;
  const std::string caption = enginetest::kUi + "main\\caption.css";
  p.AddFile(caption, "a{}\r\nBODY.maximum .caption-wrapper{x:1} b{}\r\nbody.maximum .caption-wrapper{y:2}");
  ApplyOne(p, Defaults(), false, true);
  EXPECT_EQ(Now(p, "main/caption.css"), "a{} b{}\r\nbody.maximum .caption-wrapper{y:2}");
}

TEST(OlderHost, LeavesTheCaptionAndMenuSheetsUntouched) {
  Tree t;
  RunBoth(t.p, Ticked({Option::ClickableTitle, Option::HideMainMenuIcon}));
  EXPECT_EQ(t.p.Contents(enginetest::kUi + "main\\caption.css"), FixtureText("main/caption.css"));
  EXPECT_EQ(t.p.Contents(enginetest::kUi + "main-menu\\style.css"), FixtureText("main-menu/style.css"));
}

// --- Whole runs ---------------------------------------------------------------

std::set<std::string> WrittenBy(FakePlatform& p, const OptionSnapshot& o, bool classic, bool singleSkinHost) {
  std::set<std::string> written;
  p.failHook = [&](Op op, const std::string& path) {
    if (op == Op::Replace) written.insert(path.substr(enginetest::kUi.size()));
    return false;
  };
  ApplyOne(p, o, classic, singleSkinHost);
  p.failHook = nullptr;
  return written;
}

TEST(ApplyTweaks, OneCallWritesItsSkinAndTheSharedFilesOnly) {
  Tree t;
  const auto o = Ticked({Option::ShowModeText});
  EXPECT_EQ(WrittenBy(t.p, o, false, false),
            (std::set<std::string>{"main\\index.css", "main\\navbar.htm", "main\\index.htm", "main\\favbar.htm",
                                   "menus\\main.htm"}));
  EXPECT_EQ(WrittenBy(t.p, o, true, false),
            (std::set<std::string>{"main.classic\\index.css", "main.classic\\navbar.htm", "main.classic\\index.htm",
                                   "main.classic\\favbar.htm", "menus\\main.htm"}));
  EXPECT_EQ(WrittenBy(t.p, o, false, true),
            (std::set<std::string>{"main\\index.css", "main\\navbar.htm", "main\\index.htm", "main\\favbar.htm",
                                   "menus\\main.htm", "main\\caption.css", "main-menu\\style.css"}));
}

TEST(ApplyTweaks, AnUnreadableTemplateIsSkippedAndTheRunGoesOn) {
  Tree t;
  t.p.SetReadOnly(enginetest::kUi + "main\\index.css", true);
  t.p.failHook = [](Op op, const std::string& path) {
    return path.find("navbar.htm") != std::string::npos && op == Op::Read;
  };
  ApplyOne(t.p, Ticked({Option::ShowModeText, Option::AvatarToButton}), false);
  t.p.failHook = nullptr;
  EXPECT_EQ(t.p.Contents(enginetest::kUi + "main\\navbar.htm"), FixtureText("main/navbar.htm"));
  EXPECT_EQ(Now(t.p, "main/index.htm"), With(FixtureText("main/index.htm"), kAvatar, kHiddenAvatar));
}

// Every check box of the catalogue.
std::vector<Option> CheckBoxes() {
  std::vector<Option> boxes;
  for (const OptionDef& def : Options())
    if (def.kind == OptionKind::Check) boxes.push_back(def.option);
  return boxes;
}

std::vector<std::string> Snapshot(FakePlatform& p) {
  std::vector<std::string> texts;
  for (const auto& file : kTemplates) texts.push_back(Now(p, file));
  return texts;
}

TEST(ApplyTweaks, SecondRunChangesNothingAndUntickingRestoresTheDefaults) {
  std::vector<OptionSnapshot> sets;
  OptionSnapshot all = Defaults();
  for (Option box : CheckBoxes()) {
    sets.push_back(Ticked({box}));
    all = all.WithState(box, 1);
  }
  sets.push_back(all);
  sets.push_back(all.WithState(Option::MenuToAvatar, 0)
                     .WithState(Option::AvatarToMenu, 0)
                     .WithState(Option::HideUndo, 0)
                     .WithState(Option::HideUndoList, 0)
                     .WithState(Option::HideSearchBar, 0));

  for (bool host : {false, true}) {
    Tree t;
    RunBoth(t.p, Defaults(), host);
    std::vector<std::string> defaults = Snapshot(t.p);
    for (size_t i = 0; i < kTemplates.size(); ++i) EXPECT_EQ(defaults[i], FixtureText(kTemplates[i])) << kTemplates[i];
    const std::string modernSheet = Now(t.p, "main/index.css");

    for (size_t s = 0; s < sets.size(); ++s) {
      RunBoth(t.p, sets[s], host);
      const auto once = Snapshot(t.p);
      const std::string sheetOnce = Now(t.p, "main/index.css");
      RunBoth(t.p, sets[s], host);
      EXPECT_EQ(Snapshot(t.p), once) << "set " << s << " host " << host;
      EXPECT_EQ(Now(t.p, "main/index.css"), sheetOnce) << "set " << s;
      RunBoth(t.p, Defaults(), host);
      EXPECT_EQ(Snapshot(t.p), defaults) << "set " << s << " host " << host;
      EXPECT_EQ(Now(t.p, "main/index.css"), modernSheet) << "set " << s;
    }
  }
}

// "`ticked` ticked and `unticked` not ticked" (or `unticked` alone): a mixed
// box meets neither half, so nothing that only such a condition writes appears.
TEST(ApplyTweaks, AMixedBoxIsNeitherTickedNorNotTicked) {
  using O = Option;
  const std::pair<std::optional<O>, O> conditions[] = {{O::CombineAddressSearch, O::HideSearchBar},
                                                       {O::SlimmerStatusBar, O::HideStatusBar},
                                                       {O::AeroStatusBar, O::HideStatusBar},
                                                       {O::SlimmerToolbar, O::SlimmerTabBar},
                                                       {O::AvatarToMenu, O::MenuToAvatar},
                                                       {O::AvatarToButton, O::MenuToAvatar},
                                                       {O::NormalMenuButton, O::MenuToAvatar},
                                                       {O::AvatarToButton, O::AvatarToMenu},
                                                       {O::CombineUndoHistory, O::HideUndo},
                                                       {O::CombineUndoHistory, O::HideUndoList},
                                                       {std::nullopt, O::AeroStatusBar},
                                                       {std::nullopt, O::ShowModeText},
                                                       {std::nullopt, O::HideFavBarButton}};
  std::mt19937 random(20260523);
  unsigned checked = 0;
  Tree tree;
  for (const bool classic : {false, true}) {
    // As an Apply with every box ticked left them, with default forms to restore.
    std::vector<std::optional<std::string>> templates;
    for (const std::string& name : TemplatesOf(false, classic)) templates.push_back(Now(tree.p, name));
    OptionSnapshot all = Defaults();
    for (Option box : CheckBoxes()) all = all.WithState(box, 1);
    templates = TweakTexts(templates, {all, false, true}, classic);
    templates.erase(templates.begin());
    const auto lines = [&](const OptionSnapshot& o) {
      std::set<std::string> out;
      for (const auto& text : TweakTexts(templates, {o, false, true}, classic))
        for (size_t at = 0, end; at <= text->size(); at = end + 1)
          out.insert(text->substr(at, (end = std::min(text->find('\n', at), text->size())) - at));
      return out;
    };
    for (unsigned c = 0; c < std::size(conditions); ++c) {
      const auto [ticked, unticked] = conditions[c];
      const auto with = [&](OptionSnapshot o, int t, int u) {
        return (ticked ? o.WithState(*ticked, t) : o).WithState(unticked, u);
      };
      std::set<std::string> alone = lines(with(Defaults(), 1, 0));
      for (const auto& line : lines(with(Defaults(), 1, 1))) alone.erase(line);
      for (const auto& line : ticked ? lines(with(Defaults(), 0, 0)) : std::set<std::string>()) alone.erase(line);
      if (!alone.empty()) checked |= 1u << c;
      for (int round = 0; round < 40 && !alone.empty(); ++round) {
        OptionSnapshot o = Defaults();
        for (Option box : CheckBoxes()) o = o.WithState(box, static_cast<int>(random() % 3));
        for (const auto& line : lines(with(o, 1, 2))) EXPECT_FALSE(alone.count(line)) << c << classic << line;
      }
    }
  }
  EXPECT_EQ(checked, (1u << std::size(conditions)) - 1);
}

// --- Awkward templates ------------------------------------------------------------

std::string EditedNavbar(const std::string& text, const OptionSnapshot& o, bool classic = false) {
  FakePlatform p;
  p.AddFile(enginetest::kUi + (classic ? "main.classic" : "main") + "\\navbar.htm", text);
  ApplyOne(p, o, classic);
  return Now(p, classic ? "main.classic/navbar.htm" : "main/navbar.htm");
}

const OptionSnapshot kEveryEdit = Ticked({Option::CombineUndoHistory, Option::NormalMenuButton, Option::AvatarToButton,
                                          Option::CombineAddressSearch, Option::ShowModeText});

TEST(AwkwardTemplates, NoMarkupTwiceCapitalsAndPlaceholders) {
  EXPECT_EQ(EditedNavbar("<p>no toolbar here</p>", kEveryEdit), "<p>no toolbar here</p>");
  EXPECT_EQ(EditedNavbar("", kEveryEdit), "");

  // Every occurrence of a plain find text is replaced.
  EXPECT_EQ(
      EditedNavbar(kToolbarOpen + kGo + kToolbarOpen + kGo,
                   Ticked({Option::AvatarToButton, Option::CombineAddressSearch})),
      kToolbarOpen + kAvatarButton + kCompactSearchBox + kGo + kToolbarOpen + kAvatarButton + kCompactSearchBox + kGo);
  // Insertion points compare without regard to case and are written anew.
  EXPECT_EQ(EditedNavbar("<DIV CLASS=\"NAVBAR\" ID=\"tb_nav\">", Ticked({Option::AvatarToButton})),
            kToolbarOpen + kAvatarButton);
  // A group in capitals counts as grouped and is split.
  EXPECT_EQ(EditedNavbar("<DIV CLASS='BUTTON-GROUP'><DIV ID='BTN_UNDO'>u</DIV></DIV>!", Defaults()),
            kSeparateUndo + "!");
  // Exact replacements leave capitals alone.
  EXPECT_EQ(EditedNavbar("<DIV CLASS=\"turbo\" />", Ticked({Option::ShowModeText})), "<DIV CLASS=\"turbo\" />");
  // A placeholder already in the file is filled too.
  EXPECT_EQ(EditedNavbar("<temp_for_replace>|" + kSeparateUndo, Ticked({Option::CombineUndoHistory})),
            kGroupedUndo + "|" + kGroupedUndo);
}

TEST(AwkwardTemplates, LineFeedsOnlyAndInvalidUtf8) {
  std::string lf = FixtureText("main/navbar.htm");
  for (size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
  const std::string edited = EditedNavbar(lf, kEveryEdit);
  EXPECT_EQ(EditedNavbar(edited, Defaults()), lf);
  EXPECT_EQ(edited.find('\r'), std::string::npos);

  // Bytes that are not UTF-8 stay; a file that no edit changes keeps every byte.
  const std::string notUtf8 = "\xC0\xAF<div class=\"turbo\" />\xFF";
  EXPECT_EQ(EditedNavbar(notUtf8, Ticked({Option::ShowModeText})), "\xC0\xAF<div class=\"turbo\">$Turbo$</div>\xFF");
  FakePlatform p;
  p.AddFile(enginetest::kUi + "main\\navbar.htm", notUtf8);
  ApplyOne(p, Defaults(), false);
  EXPECT_EQ(p.Contents(enginetest::kUi + "main\\navbar.htm"), notUtf8);
}

TEST(AwkwardTemplates, TenMegabytesOfMarkupWithoutAMatch) {
  // Every pattern's opening pieces, over and over, but never a closing tag.
  const std::string line =
      "<div class='button-group'><div id='BTN_UNDO' title='MAIN_MENU BOX_SEARCH search-box'><div TT_SEARCH "
      "menu='#MAIN_MENU' class='button'>\r\n";
  std::string text;
  while (text.size() < 10u << 20) text += line;
  for (bool classic : {false, true}) {
    EXPECT_EQ(EditedNavbar(text, kEveryEdit, classic), text);
    EXPECT_EQ(EditedNavbar(text, Defaults(), classic), text);
  }
}

}  // namespace
}  // namespace rw

namespace rw {
namespace {

// A dry run through the overlay leaves every file below as it was and keeps
// exactly what a real run writes.
TEST(DryRun, KeepsWhatARealRunWritesAndChangesNothing) {
  test::FakePlatform real;
  enginetest::LoadTree(real);
  test::FakePlatform below = real;
  const OptionSnapshot options = enginetest::Defaults();
  const TweakInputs inputs{options, false, true};
  OverlayPlatform overlay(below);
  for (bool classic : {false, true}) {
    ApplyTweaks(real, "C:\\Ravelwick", inputs, classic);
    ApplyTweaks(overlay, "C:\\Ravelwick", inputs, classic);
  }
  std::size_t changedByRealRun = 0;
  for (const std::string& file : enginetest::TreeFiles()) {
    const std::string path = enginetest::kUi + enginetest::Backslashed(file);
    EXPECT_EQ(below.Contents(path), enginetest::FixtureText(file)) << file;
    if (real.Contents(path) != below.Contents(path)) ++changedByRealRun;
  }
  const std::vector<OverlayPlatform::Change> changes = overlay.Changes();
  EXPECT_EQ(changes.size(), changedByRealRun);
  for (const OverlayPlatform::Change& change : changes) {
    EXPECT_EQ(change.after, real.Contents(change.path)) << change.path;
    EXPECT_EQ(change.before, below.Contents(change.path)) << change.path;
  }
  EXPECT_GT(changes.size(), 0u);
  EXPECT_TRUE(below.FilesBelow("C:\\Ravelwick").size() == real.FilesBelow("C:\\Ravelwick").size());
}

}  // namespace
}  // namespace rw
