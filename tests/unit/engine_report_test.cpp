// The engine's report: what each ticked option did in each file, the edits
// whose place is gone, and the contradictions among options, all judged by
// running the rules on the demo tree.
#include <gtest/gtest.h>

#include <set>

#include "engine/conflicts.h"
#include "unit/engine_test_tree.h"

namespace rw {
namespace {

using enginetest::Defaults;
using enginetest::kUi;

OptionSnapshot Ticking(std::initializer_list<Option> boxes) {
  OptionSnapshot options = Defaults();
  for (const Option option : boxes) options = options.WithState(option, 1);
  return options;
}

OptionSnapshot EveryBox() {
  OptionSnapshot options = Defaults();
  for (int i = 0; i < kOptionCount; ++i)
    if (options.Text(static_cast<Option>(i)).empty()) options = options.WithState(static_cast<Option>(i), 1);
  return options;
}

std::vector<std::optional<std::string>> Templates(bool classic) {
  std::vector<std::optional<std::string>> texts;
  for (const std::string& name : TemplatesOf(false, classic)) {
    std::string relative = name;
    for (char& c : relative)
      if (c == '\\') c = '/';
    texts.emplace_back(enginetest::FixtureText(relative));
  }
  return texts;
}

using Findings = std::set<std::pair<Option, std::string>>;

Findings NotFound(const TweakReport& report) {
  Findings found;
  for (const TweakEffect& effect : report.effects)
    if (effect.result == EditResult::NotFound) found.emplace(effect.option, effect.file);
  return found;
}

// An option's place taken out of one file: exactly that option is reported,
// for exactly that file. A piece of "" removes the file itself.
struct MissingAnchor {
  std::vector<Option> ticked;
  bool classic;
  std::string file;  // below ui/
  std::string piece;
  Option reported;
};

const MissingAnchor kMissingAnchors[] = {
    {{Option::CombineUndoHistory},
     false,
     "main/navbar.htm",
     "<div id='BTN_UNDO' class='button' title='$TT_UNDO$'><img src='images/nav_undo.png'/></div><div "
     "id='BTN_UNDO_LIST' class='button' title='$TT_UNDO_LIST$'><img src='images/nav_history.png'/></div>",
     Option::CombineUndoHistory},
    {{Option::CombineUndoHistory},
     true,
     "main.classic/navbar.htm",
     "<img src=\"images/nav_history.png\"/>",
     Option::CombineUndoHistory},
    {{Option::NormalMenuButton},
     false,
     "main/navbar.htm",
     "<div class='main-menu' menu='#MAIN_MENU' align-popup='top-right' title='$TT_MAINMENU$'>$Menu$</div>",
     Option::NormalMenuButton},
    {{Option::AvatarToButton},
     false,
     "main/navbar.htm",
     "<div class=\"navbar\" id=\"TB_NAV\">",
     Option::AvatarToButton},
    {{Option::AvatarToButton}, false, "main/index.htm", "class=\"avatar\" id=\"BTN_AVATAR\"", Option::AvatarToButton},
    {{Option::CombineAddressSearch},
     false,
     "main/navbar.htm",
     "<!-- #object address-box::go -->",
     Option::CombineAddressSearch},
    {{Option::ShowModeText},
     false,
     "main/navbar.htm",
     "<div class=\"turbo\" /><div class=\"comp\" />",
     Option::ShowModeText},
    {{Option::AvatarToMenu}, false, "menus/main.htm", "<menu id=\"MAIN_MENU\">", Option::AvatarToMenu},
    {{Option::MenuToAvatar}, false, "main/index.htm", "title=\"$TT_AVATAR$\"", Option::MenuToAvatar},
    {{Option::HideFavBarButton}, false, "main/favbar.htm", " menu=\"#FAV_ROOT_MENU\"", Option::HideFavBarButton},
    {{Option::TabOnBottom, Option::AvatarToButton},
     true,
     "main.classic/index.htm",
     "<!-- #include statusbar -->",
     Option::TabOnBottom},
};

TEST(TweakReport, AnAnchorTakenOutIsReportedForItsOptionAndFileOnly) {
  for (const MissingAnchor& row : kMissingAnchors) {
    SCOPED_TRACE(row.file + " without " + row.piece);
    test::FakePlatform p;
    enginetest::LoadTree(p);
    const std::string path = kUi + enginetest::Backslashed(row.file);
    p.AddFile(path, enginetest::With(enginetest::FixtureText(row.file), row.piece, ""));
    OptionSnapshot options = Defaults();
    for (const Option option : row.ticked) options = options.WithState(option, 1);
    const TweakReport report = ApplyTweaks(p, "C:\\Ravelwick", {options, false, true}, row.classic);
    EXPECT_EQ(NotFound(report), (Findings{{row.reported, "ui/" + row.file}}));
    EXPECT_TRUE(report.unreadable.empty());
  }
}

TEST(TweakReport, EveryBoxFindsItsPlaceAndASecondRunFindsItsWorkDone) {
  for (const bool classic : {false, true}) {
    test::FakePlatform p;
    enginetest::LoadTree(p);
    // Each option alone, so that none takes another's place away.
    for (int i = 0; i < kOptionCount; ++i) {
      const auto option = static_cast<Option>(i);
      if (!Defaults().Text(option).empty()) continue;
      const OptionSnapshot options = Ticking({option});
      const TweakReport first = ApplyTweaks(p, "C:\\Ravelwick", {options, false, true}, classic);
      const TweakReport second = ApplyTweaks(p, "C:\\Ravelwick", {options, false, true}, classic);
      EXPECT_TRUE(NotFound(first).empty()) << static_cast<int>(option);
      ASSERT_EQ(first.effects.size(), second.effects.size());
      for (size_t e = 0; e < first.effects.size(); ++e) {
        if (first.effects[e].kind != TweakEffect::Kind::Edit) continue;
        EXPECT_EQ(second.effects[e].result, EditResult::InPlace) << first.effects[e].file;
      }
      // Back to the defaults for the next option.
      ApplyTweaks(p, "C:\\Ravelwick", {Defaults(), false, true}, classic);
    }
  }
}

TEST(TweakReport, RulesAreTheLinesTheBoxAddsAndMissingFilesAreNamed) {
  test::FakePlatform p;
  enginetest::LoadTree(p);
  p.files.RemoveFile(kUi + "main\\favbar.htm");
  const TweakReport report =
      ApplyTweaks(p, "C:\\Ravelwick", {Ticking({Option::HideHome, Option::HideFavorite}), false, true}, false);
  std::map<Option, std::string> rules;
  for (const TweakEffect& effect : report.effects)
    if (effect.kind == TweakEffect::Kind::Rules) rules[effect.option] += effect.file + ": " + effect.detail;
  EXPECT_EQ(rules, (std::map<Option, std::string>{
                       {Option::HideHome, "ui/main/index.css: #BTN_HOME{display:none}\n"},
                       {Option::HideFavorite, "ui/main/index.css: #BTN_FAV{display:none!important}\n"}}));
  EXPECT_EQ(report.unreadable, (std::vector<FileNotRead>{{"ui/main/favbar.htm", false}}));
}

TEST(Conflicts, TheRulesDecideWhoWins) {
  // Every box ticked: each pair is judged alone, so all contradictions of
  // the rules show up, with the winner the rules give.
  struct Expected {
    Option winner;
    Option loser;
    std::string rule;
  };
  const Expected expected[] = {
      {Option::HideFavorite, Option::AlwaysFavButton, "#BTN_FAV{display:none!important}"},
      {Option::HideTabClose, Option::HoverTabClose,
       ".tabbar .tab .close{visibility:hidden!important;width:1!important}"},
      {Option::AvatarToMenu, Option::AvatarToButton, ""},
      {Option::MenuToAvatar, Option::AvatarToButton, ""},
      {Option::MenuToAvatar, Option::AvatarToMenu, ""},
      {Option::HideUndo, Option::CombineUndoHistory, ""},
      {Option::HideSearchBar, Option::CombineAddressSearch, ""},
      {Option::HideStatusBar, Option::SlimmerStatusBar, ""},
  };
  for (const bool classic : {false, true}) {
    const std::vector<OptionConflict> found = FindConflicts(Templates(classic), {EveryBox(), false, true}, classic);
    std::set<std::pair<Option, Option>> pairs;
    for (const OptionConflict& c : found) {
      EXPECT_TRUE(pairs.emplace(std::min(c.winner, c.loser), std::max(c.winner, c.loser)).second) << "twice";
    }
    for (const Expected& e : expected) {
      const auto it = std::find_if(found.begin(), found.end(),
                                   [&](const OptionConflict& c) { return c.winner == e.winner && c.loser == e.loser; });
      ASSERT_NE(it, found.end()) << static_cast<int>(e.winner) << " over " << static_cast<int>(e.loser);
      EXPECT_EQ(it->rule, e.rule);
    }
    // A width that only equals the default is not overridden, merely idle.
    EXPECT_TRUE(std::none_of(found.begin(), found.end(),
                             [](const OptionConflict& c) { return c.loser == Option::MaxTabWidth; }));
  }
  EXPECT_TRUE(
      FindConflicts(Templates(false), {Ticking({Option::HideHome, Option::HideRefresh}), false, true}, false).empty());
}

TEST(Conflicts, BoxesWithoutEffectAreThoseTheOthersMakeIdle) {
  const OptionSnapshot options =
      Ticking({Option::TabOnBottom, Option::HideHome, Option::HideStatusBar, Option::AeroStatusBar});
  // The bottom tab bar needs the avatar hidden; the Aero bar needs a status bar.
  EXPECT_EQ(OptionsWithoutEffect(Templates(true), {options, false, true}, true),
            (std::vector<Option>{Option::AeroStatusBar, Option::TabOnBottom}));
}

}  // namespace
}  // namespace rw
