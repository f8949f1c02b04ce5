#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/apply_tweaks.h"
#include "engine/tweak_block.h"
#include "engine_test_tree.h"
#include "support/fake_platform.h"

namespace rw {
namespace {

using enginetest::Defaults;
using test::FakePlatform;
using test::Op;

const std::string kModernSheet = "C:\\Ravelwick\\Resource\\ui\\main\\index.css";
const std::string kClassicSheet = "C:\\Ravelwick\\Resource\\ui\\main.classic\\index.css";

// The expected block from its rule lines, written out by hand below.
std::string BlockOf(const std::vector<std::string>& rules) {
  std::string block = "\r\n/*ravelwick*/";
  for (const auto& rule : rules) block += "\r\n" + rule;
  return block + "\r\n/*ravelwick*/";
}

const std::string kWeightNormal =
    ".tabbar .tab:current,.tabbar .tab:moving,.tabbar .active,.tabbar .active:hover{font-weight:normal!important}";
const std::string kWeightBold =
    ".tabbar .tab:current,.tabbar .tab:moving,.tabbar .active,.tabbar .active:hover{font-weight:bold!important}";
const std::string kPadding4 = "body{padding:0 5 4 5}";
const std::string kLastChild = ".navbar .button-group .button:last-child{margin-right:3!important}";

std::string Block(const OptionSnapshot& options, bool classic, bool singleSkinHost = false, bool composition = true) {
  return BuildTweakBlock(TweakInputs{options, singleSkinHost, composition}, classic);
}

OptionSnapshot Ticked(std::initializer_list<Option> options) {
  OptionSnapshot o = Defaults();
  for (Option option : options) o = o.WithState(option, 1);
  return o;
}

TEST(TweakBlock, NothingTickedGivesTheThreeStandingRulesForEachSkinAndHost) {
  for (bool classic : {false, true}) {
    EXPECT_EQ(Block(Defaults(), classic), BlockOf({kWeightNormal, kPadding4, kLastChild})) << classic;
    EXPECT_EQ(Block(Defaults(), classic, true), BlockOf({kWeightNormal, kLastChild})) << classic;
  }
}

TEST(TweakBlock, TooltipsBoldTabAndHiddenHome) {
  EXPECT_EQ(Block(Ticked({Option::HideToolTip, Option::BoldActiveTab, Option::HideHome}), false),
            BlockOf({"*{behavior:mx-forbid-tooltip}", kWeightBold, "#BTN_HOME{display:none}", kPadding4, kLastChild}));
}

TEST(TweakBlock, TabWidthWorkedExample) {
  const auto both = Ticked({Option::MaxTabWidth, Option::BkgndTabWidth});
  EXPECT_EQ(Block(both, false),
            BlockOf({".tabbar .tab {max-width:60 !important}",
                     ".tabbar .active, .tabbar .tab:moving, .tabbar .tab:current{max-width:180 !important}",
                     ".tab-container-inner{max-width:calc(self.children()*73-73+193)!important}",
                     ".tab-container-inner:drop-target{max-width:calc(self.children()*73-73+193-73)!important}",
                     kWeightNormal, kPadding4, kLastChild}));
  EXPECT_EQ(Block(Ticked({Option::MaxTabWidth}), false),
            BlockOf({".tabbar .tab {max-width:180 !important}",
                     ".tab-container-inner{max-width:calc(self.children()*193-193+193)!important}",
                     ".tab-container-inner:drop-target{max-width:calc(self.children()*193-193+193-193)!important}",
                     kWeightNormal, kPadding4, kLastChild}));
  // The newer host gets the plain width rules only.
  EXPECT_EQ(Block(both, false, true),
            BlockOf({".tabbar .tab {max-width:60 !important}",
                     ".tabbar .active, .tabbar .tab:moving, .tabbar .tab:current{max-width:180 !important}",
                     kWeightNormal, kLastChild}));
}

TEST(TweakBlock, TabWidthTextGoesInAsTypedWhileTheSlotsRoundAndFailSafely) {
  auto o = Ticked({Option::MaxTabWidth, Option::BkgndTabWidth})
               .WithText(Option::MaxTabWidthText, "250.6")
               .WithText(Option::BkgndTabWidthText, " 39 ");
  const std::string block = Block(o, false);
  EXPECT_NE(block.find(".tabbar .tab {max-width: 39  !important}"), std::string::npos);
  EXPECT_NE(block.find("max-width:250.6 !important}"), std::string::npos);
  EXPECT_NE(block.find("calc(self.children()*52-52+264)"), std::string::npos);
  // 39 is narrow: background tabs lose their close buttons.
  EXPECT_NE(block.find(".tabbar .tab .close{display:none!important}"), std::string::npos);

  // A width past 32754 makes the sum fail: that slot keeps 0.
  o = o.WithText(Option::BkgndTabWidthText, "32755");
  EXPECT_NE(Block(o, false).find("calc(self.children()*0-0+264)"), std::string::npos);
  // A width that is not a number skips its assignment, and counts as narrow.
  o = o.WithText(Option::MaxTabWidthText, "wide").WithText(Option::BkgndTabWidthText, "60");
  EXPECT_NE(Block(o, false).find("calc(self.children()*73-73+0)"), std::string::npos);
  o = o.WithText(Option::BkgndTabWidthText, "narrow");
  EXPECT_NE(Block(o, false).find(".tabbar .tab .close{display:none!important}"), std::string::npos);
}

TEST(TweakBlock, UntickedWidthFieldsPlayNoPart) {
  // Garbage in a field whose box is off neither hides close buttons nor
  // spoils the tab slots.
  auto o = Ticked({Option::MaxTabWidth}).WithText(Option::BkgndTabWidthText, "junk");
  std::string block = Block(o, false);
  EXPECT_EQ(block.find(".close{display:none"), std::string::npos);
  EXPECT_NE(block.find("calc(self.children()*193-193+193)"), std::string::npos);
  o = Ticked({Option::BkgndTabWidth}).WithText(Option::MaxTabWidthText, "99999");
  block = Block(o, false);
  EXPECT_NE(block.find("calc(self.children()*73-73+193)"), std::string::npos);
}

TEST(TweakBlock, BackgroundCloseButtonsHideBelowFortyPixels) {
  const auto narrow = Ticked({Option::BkgndTabWidth}).WithText(Option::BkgndTabWidthText, "39");
  const std::string hide = ".tabbar .tab .close{display:none!important}";
  EXPECT_NE(Block(narrow, true).find(hide), std::string::npos);
  EXPECT_EQ(Block(narrow.WithText(Option::BkgndTabWidthText, "40"), true).find(hide), std::string::npos);
  // Hover close writes the hiding pair and the hover rule.
  const std::string hover = Block(Ticked({Option::HoverTabClose}), false);
  EXPECT_EQ(hover,
            BlockOf({hide,
                     ".tabbar .active .close, .tabbar .tab:moving .close, .tabbar .tab:current "
                     ".close{display:block!important}",
                     ".tabbar .tab:hover .close{display:block!important}", kWeightNormal, kPadding4, kLastChild}));
}

TEST(TweakBlock, FontListFromACommaSeparatedText) {
  auto o = Ticked({Option::SetFont})
               .WithText(Option::FontFamilyText, "Arial,, Verdana ,")
               .WithText(Option::FontSizeText, " 14px ");
  EXPECT_EQ(Block(o, false),
            BlockOf({"body,th,td,input,button,select,textarea,plaintext,menu{font-size:14px;font-family:\"Arial\","
                     "\"Verdana\"}",
                     kWeightNormal, kPadding4, kLastChild}));
  o = o.WithText(Option::FontFamilyText, " , ,,");
  EXPECT_NE(Block(o, true).find("{font-size:14px;font-family:}\r\n"), std::string::npos);
  EXPECT_NE(Block(Ticked({Option::SetFont}), true).find("menu{font-size:12px;font-family:\"Segoe UI\",\"Tahoma\"}\r\n"),
            std::string::npos);
}

TEST(TweakBlock, ClassicBottomTabBarWithAndWithoutAero) {
  const std::vector<std::string> head = {".avatar{display:none!important}",
                                         ".tabbar[has-favbar]{margin-left:0!important}"};
  const std::string top =
      ".top-blocks{background-image:url(images/toolbar_bg_bottom_tab.png)!important;padding-bottom:2}";
  const std::string hover = ".tabbar .tab:hover{background-image:url(images/tab_hover_bottom_tab.png)!important}";
  const std::string active =
      ".tabbar .tab:current,.tabbar .tab:moving,.tabbar .active,.tabbar "
      ".active:hover{background-image:url(images/tab_active_bottom_tab.png)!important}";
  const std::string controls = ".tabbar > .controls{padding-right:9}";

  const auto bottom = Ticked({Option::TabOnBottom, Option::AvatarToButton});
  EXPECT_EQ(Block(bottom, true),
            BlockOf({head[0], head[1], kWeightNormal, top,
                     ".tabbar .tab{background-image:url(images/tab_bottom_tab.png)!important}", hover, active, controls,
                     ".tabbar{background:url(images/tabbar_bg_bottom_tab.png) expand;background-position: 6 6 6 "
                     "6;background-repeat:stretch-left stretch-right "
                     "stretch-middle;margin-bottom:-1;padding-left:4!important}",
                     ".statusbar{background-image:url(images/statusbar_bg_bottom_tab.png)!important}", kPadding4,
                     kLastChild}));

  const auto aero = bottom.WithState(Option::AeroStatusBar, 1);
  EXPECT_EQ(
      Block(aero, true),
      BlockOf({head[0], head[1], ".statusbar{background:url(none)!important}",
               ".statusbar .message, .statusbar .text {outline:3px glow #FFFFFF 2px;color:black!important}",
               "body{padding:0 5 0 5}", kWeightNormal, top,
               ".tabbar .tab{background-image:url(images/tab_bottom_tab_aero.png)!important}", hover, active, controls,
               ".tabbar{background:url(images/tabbar_bg_bottom_tab_aero.png) expand;background-position: 6 6 6 "
               "6;background-repeat:stretch-left stretch-right "
               "stretch-middle;margin-bottom:-1;padding-left:4!important}",
               ".tabbar .new{foreground-image:url(images/tab_new_bottom_tab_aero.png)!important}",
               ".tabbar .new:hover{foreground-image:url(images/tab_new_hover.png)!important}",
               ".tabbar .new:active{foreground-image:url(images/tab_new_pressed.png)!important}", kLastChild}));

  // The avatar must be hidden; the modern skin never gets these rules.
  EXPECT_EQ(Block(Ticked({Option::TabOnBottom, Option::AvatarToButton, Option::MenuToAvatar}), true).find("bottom_tab"),
            std::string::npos);
  EXPECT_EQ(Block(bottom, false).find("bottom_tab"), std::string::npos);
}

TEST(TweakBlock, HiddenAvatarWithAndWithoutSlimmerTabBar) {
  const auto hidden = Ticked({Option::AvatarToMenu});
  EXPECT_EQ(Block(hidden, false),
            BlockOf({".avatar{display:none!important}", ".show-avatar .tabbar{margin-left:4!important}",
                     ".show-avatar .navbar{margin-left:1!important}", kWeightNormal, kPadding4, kLastChild}));
  EXPECT_EQ(Block(hidden.WithState(Option::SlimmerTabBar, 1), false),
            BlockOf({".avatar{display:none!important}", ".tabbar .tab{padding:7 8 5 8!important}",
                     ".show-avatar .tabbar{margin-left:4!important}", ".avatar{top:17;width:63;height:63}",
                     ".avatar .icon{width:47;height:47}", "body.maximum .avatar{top:-1}",
                     ".tabbar .new{margin-left:-1!important}", ".show-avatar .navbar{margin-left:1!important}",
                     kWeightNormal, kPadding4, kLastChild}));
  // Classic, slimmer tab bar and toolbar: no negative margins for a hidden avatar.
  EXPECT_EQ(
      Block(hidden.WithState(Option::SlimmerTabBar, 1).WithState(Option::SlimmerToolbar, 1), true),
      BlockOf({".avatar{display:none!important}", ".tabbar[has-favbar]{margin-left:0!important}",
               ".tabbar .tab{padding:7 8 5 8!important}", ".tabbar{min-height:30!important}",
               ".avatar{width:60;height:60}", ".avatar .icon{width:44;height:44}",
               ".tabbar .new{margin-left:0!important}", ".navbar .button{padding:2 4!important}",
               ".address-box,.search-box,.main-menu{min-height:28!important}", kWeightNormal, kPadding4, kLastChild}));
}

TEST(TweakBlock, SearchStatusBarAndMenuRules) {
  const auto o =
      Ticked({Option::HideSearchBar, Option::CombineAddressSearch, Option::HideStatusBar, Option::SlimmerStatusBar,
              Option::AeroStatusBar, Option::MaxSearchWidth, Option::SlimmerFavBar, Option::HideMainMenuIcon})
          .WithText(Option::MaxSearchWidthText, "250");
  EXPECT_EQ(
      Block(o, false),
      BlockOf({".toolbar .item{padding:2 5!important}", "#MAIN_MENU .icon{visibility:hidden!important}",
               ".address-box{width:100%%!important;margin-right:0!important}", ".search-box{display:none!important}",
               ".statusbar{display:none!important}", "body.maximum{padding:0 -2 0 -2}",
               ".search-box{max-width:250!important}", kWeightNormal, "body{padding:0 5 6 5}", kLastChild}));
  // Aero ticked, status bar shown, composition off: no padding rule at all.
  EXPECT_EQ(Block(Ticked({Option::AeroStatusBar}), false, false, false), BlockOf({kWeightNormal, kLastChild}));
  EXPECT_NE(Block(Ticked({Option::SlimmerStatusBar, Option::TabOnBottom}), true)
                .find(".statusbar{padding:-1 2 2 2!important}"),
            std::string::npos);
  EXPECT_NE(
      Block(Ticked({Option::SlimmerStatusBar, Option::TabOnBottom}), false, true).find(".statusbar{padding:2 2 2 2!"),
      std::string::npos);
}

TEST(TweakBlock, ClassicMenuButtonAndModeText) {
  const auto o = Ticked({Option::NormalMenuButton, Option::SlimmerToolbar, Option::HideNewTab, Option::ShowModeText});
  EXPECT_EQ(Block(o, true),
            BlockOf({".navbar .button{padding:2 4!important}",
                     ".address-box,.search-box,.main-menu{min-height:28!important}", kWeightNormal,
                     "#main_menu_button{background-image:url(../main/images/btn_bg.png)!important;padding:4 5 4 "
                     "7!important}",
                     "#main_menu_button:hover{background-image:url(../main/images/btn_bg_hover.png)!important}",
                     "#main_menu_button:active{background-image:url(../main/images/btn_bg_press.png)!important}",
                     ".tabbar .new{display:none}",
                     "#BTN_SWITCH_MODE{width:auto!important;foreground-position:2 50%!important;padding-left:20!"
                     "important;padding-right:6!important}",
                     kPadding4, kLastChild}));
  EXPECT_EQ(Block(o, false, true),
            BlockOf({".navbar .button,.address-box,.search-box{min-height:28!important}", ".avatar{top:18}",
                     "body.maximum .avatar{top:0}", kWeightNormal,
                     "#BTN_SWITCH_MODE{width:auto!important;foreground-position:2 50%!important;padding-left:20!"
                     "important;padding-right:6!important}",
                     kLastChild}));
}

// --- The style sheet on disk ----------------------------------------------------

const std::string kNothingBlock = BlockOf({kWeightNormal, kPadding4, kLastChild});

void Apply(FakePlatform& p, const OptionSnapshot& o, bool classic) {
  ApplyTweaks(p, "C:\\Ravelwick", TweakInputs{o, false, true}, classic);
}

std::string SheetText(FakePlatform& p, const std::string& path) {
  auto bytes = p.Contents(path);
  if (!bytes) return "<missing>";
  EXPECT_EQ(bytes->substr(0, 3), "\xEF\xBB\xBF");
  return bytes->substr(3);
}

TEST(StyleSheet, BlockAppendedOnANewLineAndASecondRunChangesNoByte) {
  FakePlatform p;
  enginetest::LoadTree(p);
  const std::string original = enginetest::FixtureText("main.classic/index.css");
  const auto o = Ticked({Option::HideToolTip, Option::BoldActiveTab, Option::HideHome});
  Apply(p, o, true);
  EXPECT_EQ(SheetText(p, kClassicSheet), original + BlockOf({"*{behavior:mx-forbid-tooltip}", kWeightBold,
                                                             "#BTN_HOME{display:none}", kPadding4, kLastChild}));
  const auto first = p.Contents(kClassicSheet);
  Apply(p, o, true);
  EXPECT_EQ(p.Contents(kClassicSheet), first);
  // A changed option replaces the block in place.
  Apply(p, Defaults(), true);
  EXPECT_EQ(SheetText(p, kClassicSheet), original + kNothingBlock);
}

TEST(StyleSheet, CommentMarksTypedIntoTheFontFieldsCannotBreakTheBlock) {
  FakePlatform p;
  enginetest::LoadTree(p);
  const std::string original = enginetest::FixtureText("main/index.css");
  const auto o = Ticked({Option::SetFont, Option::HideHome})
                     .WithText(Option::FontFamilyText, "Arial/*ravelwick*/, /*Tahoma")
                     .WithText(Option::FontSizeText, "1/**/4px*/");
  const std::string block = Block(o, false);
  EXPECT_EQ(block, BlockOf({"body,th,td,input,button,select,textarea,plaintext,menu{font-size:14px;font-family:"
                            "\"Arialravelwick\",\"Tahoma\"}",
                            kWeightNormal, "#BTN_HOME{display:none}", kPadding4, kLastChild}));
  // Run after run, the sheet keeps exactly one block.
  Apply(p, o, false);
  Apply(p, o, false);
  EXPECT_EQ(SheetText(p, kModernSheet), original + block);
}

TEST(StyleSheet, EarlierBlocksOfEveryShape) {
  struct Case {
    const char* what;
    std::string before;
    std::string after;
  };
  const std::string old = "\r\n/*ravelwick*/\r\n.old{}\r\n/*ravelwick*/";
  const std::vector<Case> cases = {
      {"no block, no final line break", "a{}", "a{}" + kNothingBlock},
      {"block in capitals", "a{}\r\n/*RAVELWICK*/\r\n.old{}\r\n/*RaVeLwIcK*/", "a{}" + kNothingBlock},
      {"text after the block stays", "a{}" + old + "\r\nb{}", "a{}\r\nb{}" + kNothingBlock},
      {"only the first of two blocks", "a{}" + old + "\r\nb{}" + old, "a{}\r\nb{}" + old + kNothingBlock},
      {"block at the very start, no CR LF", "/*ravelwick*/x/*ravelwick*/",
       "/*ravelwick*/x/*ravelwick*/" + kNothingBlock},
      {"opening marker only", "a{}\r\n/*ravelwick*/\r\n.half{}", "a{}\r\n/*ravelwick*/\r\n.half{}" + kNothingBlock},
      {"LF before the marker is not CR LF", "a{}\n/*ravelwick*/\n.x{}\n/*ravelwick*/",
       "a{}\n/*ravelwick*/\n.x{}\n/*ravelwick*/" + kNothingBlock},
      {"bytes that are not UTF-8 stay", std::string(kUtf8Bom) + "a{}\xFF" + old, "a{}\xFF" + kNothingBlock},
      {"not UTF-8, nothing to change", std::string(kUtf8Bom) + "\xC0{}" + kNothingBlock, "\xC0{}" + kNothingBlock},
  };
  for (const auto& c : cases) {
    FakePlatform p;
    p.AddFile(kModernSheet, c.before);
    Apply(p, Defaults(), false);
    EXPECT_EQ(SheetText(p, kModernSheet), c.after) << c.what;
  }
}

TEST(StyleSheet, AnOrphanOpeningMarkerSwallowsTheNextBlockOnTheFollowingRun) {
  // The removal runs from the orphan marker to the first marker after it,
  // the opening one of the block the first run appended.
  FakePlatform p;
  p.AddFile(kModernSheet, "a{}\r\n/*ravelwick*/\r\n.half{}");
  Apply(p, Defaults(), false);
  Apply(p, Defaults(), false);
  const std::string rulesAndClose =
      "\r\n" + kWeightNormal + "\r\n" + kPadding4 + "\r\n" + kLastChild + "\r\n/*ravelwick*/";
  EXPECT_EQ(SheetText(p, kModernSheet), "a{}" + rulesAndClose + kNothingBlock);
}

TEST(StyleSheet, MissingSheetIsCreatedButAnUnreadableOneIsLeftAlone) {
  FakePlatform p;
  p.AddFolder("C:\\Ravelwick\\Resource\\ui\\main");
  Apply(p, Defaults(), false);
  EXPECT_EQ(SheetText(p, kModernSheet), kNothingBlock);

  p.AddFile(kClassicSheet, "keep{}");
  bool wrote = false;
  p.failHook = [&](Op op, const std::string& path) {
    if (path.find("index.css") == std::string::npos) return false;
    if (op == Op::Write || op == Op::Replace) wrote = true;
    return op == Op::Read;
  };
  Apply(p, Defaults(), true);
  EXPECT_FALSE(wrote);
  EXPECT_EQ(p.Contents(kClassicSheet), "keep{}");
}

TEST(StyleSheet, ReadOnlySheetKeepsItsText) {
  FakePlatform p;
  enginetest::LoadTree(p);
  p.SetReadOnly(kModernSheet, true);
  Apply(p, Ticked({Option::ShowModeText}), false);
  EXPECT_EQ(p.Contents(kModernSheet), enginetest::FixtureText("main/index.css"));
}

TEST(StyleSheet, FiftyMegabyteSheetWithABlockInTheMiddle) {
  std::string half;
  const std::string line = ".rule-with-a-longer-name > .child{padding:1 2 3 4;margin:0}\r\n";
  while (half.size() < 25u << 20) half += line;
  FakePlatform p;
  p.AddFile(kModernSheet, half + "/*x*/\r\n/*ravelwick*/\r\n.old{}\r\n/*ravelwick*/" + half);
  Apply(p, Defaults(), false);
  const std::string text = SheetText(p, kModernSheet);
  EXPECT_EQ(text.size(), 2 * half.size() + 5 + kNothingBlock.size());
  EXPECT_TRUE(text.compare(0, half.size(), half) == 0);
  EXPECT_EQ(text.substr(half.size(), 5 + half.size()), "/*x*/" + half);
  EXPECT_EQ(text.substr(text.size() - kNothingBlock.size()), kNothingBlock);
}

}  // namespace
}  // namespace rw
