#include <gtest/gtest.h>

#include <set>

#include "startup/app.h"
#include "support/fake_platform.h"
#include "ui/catalogue.h"
#include "ui/option_model.h"

namespace rw {
namespace {

using test::FakePlatform;

const std::string kSettings = "C:\\Ravelwick\\settings.ini";

TEST(Catalogue, EveryRowOfBothColumnsHoldsExactlyOneCheckBoxAndFieldsShareTheirBoxRow) {
  std::set<std::pair<Column, int>> boxes;
  std::set<std::string_view> keys, controls;
  int checks = 0;
  for (const OptionDef& def : Options()) {
    EXPECT_TRUE(keys.insert(def.settingsKey).second) << def.settingsKey;
    EXPECT_TRUE(controls.insert(def.control).second) << def.control;
    ASSERT_GE(def.row, 1);
    ASSERT_LE(def.row, kRowsPerColumn);
    if (def.kind == OptionKind::Check) {
      ++checks;
      EXPECT_TRUE(def.control.starts_with("chk"));
      EXPECT_TRUE(boxes.insert({def.column, def.row}).second) << def.control;
      EXPECT_FALSE(def.captionKey.empty());
    } else {
      EXPECT_TRUE(def.control.starts_with("txt"));
      EXPECT_TRUE(def.captionKey.empty());
    }
  }
  EXPECT_EQ(checks, 38);
  EXPECT_EQ(boxes.size(), 38u);
  for (const OptionDef& def : Options()) {
    if (def.kind == OptionKind::Text) {
      EXPECT_TRUE(boxes.count({def.column, def.row})) << def.control;
    }
  }

  // Save order names every settings key once.
  std::set<std::string_view> saved(SaveOrder().begin(), SaveOrder().end());
  EXPECT_EQ(saved, keys);
}

struct Fixture {
  FakePlatform p;
  App app{p, "C:\\Ravelwick"};
  OptionModel model;
};

TEST(LoadOptions, NewSettingsFileGivesTheDefaults) {
  Fixture f;
  LoadOptions(f.app, f.model, true);
  for (const auto& c : f.model.Controls()) {
    if (c.isCheck) {
      EXPECT_EQ(c.state, 0) << c.name;
    }
    EXPECT_TRUE(c.enabled) << c.name;
  }
  EXPECT_EQ(f.model.Text("txtMaxTabWidth"), "180");
  EXPECT_EQ(f.model.Text("txtMaxSearchWidth"), "200");
  EXPECT_EQ(f.model.Text("txtBkgndTabWidth"), "60");
  EXPECT_EQ(f.model.Text("txtFontFamily"), "Segoe UI, Tahoma");
  EXPECT_EQ(f.model.Text("txtFontSize"), "12px");
  EXPECT_FALSE(f.p.FileExists(kSettings));
}

TEST(LoadOptions, CheckStatesConvertAsWholeNumbersAndBadValuesLeaveTheBoxUnticked) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"1", 1},   {"0", 0}, {" 1 ", 1}, {"2", 2},     {"1.5", 2}, {"0.5", 0}, {"2.5", 2},
      {"yes", 0}, {"", 0},  {"abc", 0}, {"99999", 0}, {"-1", 0},  {"3", 0},   {"1e0", 1},
  };
  for (const auto& [value, state] : cases) {
    Fixture f;
    f.p.AddFile(kSettings, "[General]\r\nHideHome=" + value + "\r\nSetMaxTabWidth=" + value + "\r\n");
    LoadOptions(f.app, f.model, true);
    EXPECT_EQ(f.model.State("chkHideHome"), state) << '"' << value << '"';
    EXPECT_EQ(f.model.State("chkMaxTabWidth"), state) << '"' << value << '"';
  }
}

TEST(LoadOptions, FieldsTakeTheStoredTextUncheckedAndEmptyGivesTheDefault) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"abc", "abc"}, {"99999", "99999"}, {"1.5", "1.5"}, {"", "180"}, {"yes", "yes"},
  };
  for (const auto& [value, shown] : cases) {
    Fixture f;
    f.p.AddFile(kSettings, "[General]\r\nMaxTabWidth=" + value + "\r\nFontFamily=" + value + "\r\n");
    LoadOptions(f.app, f.model, true);
    EXPECT_EQ(f.model.Text("txtMaxTabWidth"), shown);
    EXPECT_EQ(f.model.Text("txtFontFamily"), value.empty() ? "Segoe UI, Tahoma" : value);
  }
}

TEST(LoadOptions, TheSlimmerToolbarBoxReadsItsOddlyCasedKeyAndCheckBoxesOwnTheirSetKeys) {
  Fixture f;
  f.p.AddFile(kSettings, "[General]\r\nSlimmerToolBar=1\r\nMaxSearchWidth=1\r\nSetMaxSearchWidth=0\r\n");
  LoadOptions(f.app, f.model, true);
  EXPECT_EQ(f.model.State("chkSlimmerToolbar"), 1);
  EXPECT_EQ(f.model.State("chkMaxSearchWidth"), 0);
  EXPECT_EQ(f.model.Text("txtMaxSearchWidth"), "1");
}

TEST(LoadOptions, CompositionOffDisablesOnlyTheAeroBoxAndKeepsItsState) {
  Fixture f;
  f.p.AddFile(kSettings, "[General]\r\nAeroStatusBar=1\r\n");
  LoadOptions(f.app, f.model, false);
  EXPECT_FALSE(f.model.Enabled("chkAeroStatusBar"));
  EXPECT_EQ(f.model.State("chkAeroStatusBar"), 1);
  int disabled = 0;
  for (const auto& c : f.model.Controls()) disabled += !c.enabled;
  EXPECT_EQ(disabled, 1);
}

TEST(SaveOptions, ANewFileListsTheKeysInSaveOrder) {
  Fixture f;
  LoadOptions(f.app, f.model, true);
  f.model.SetState("chkHideHome", 1);
  f.model.SetState("chkSlimmerToolbar", 1);
  f.model.SetText("txtFontFamily", " Tahoma ,  Arial ");
  SaveOptions(f.app, f.model, true);
  EXPECT_EQ(*f.p.Contents(kSettings),
            "[General]\r\n"
            "HideSearchBar=0\r\nHideStatusBar=0\r\nClickableTitle=0\r\nHoverTabClose=0\r\nHideTabClose=0\r\n"
            "CombineUndoHistory=0\r\nAlwaysFavButton=0\r\nHideMainMenuIcon=0\r\nHidePageMenuIcon=0\r\n"
            "HideTabMenuIcon=0\r\nHideAddrMenuIcon=0\r\nHideFavBarIcon=0\r\nHideToolTip=0\r\nSetMaxTabWidth=0\r\n"
            "MaxTabWidth=180\r\nSlimmerTabBar=0\r\nSlimmerToolBar=1\r\nSlimmerFavBar=0\r\nSlimmerStatusBar=0\r\n"
            "AeroStatusBar=0\r\nSetMaxSearchWidth=0\r\nMaxSearchWidth=200\r\nSetFont=0\r\n"
            "FontFamily= Tahoma ,  Arial \r\nFontSize=12px\r\nBoldActiveTab=0\r\nHideRefresh=0\r\nHideHome=1\r\n"
            "HideUndo=0\r\nHideUndoList=0\r\nNormalMenuButton=0\r\nAvatarToButton=0\r\nAvatarToMenu=0\r\n"
            "CombineAddressSearch=0\r\nHideFavorite=0\r\nSetBkgndTabWidth=0\r\nBkgndTabWidth=60\r\nHideNewTab=0\r\n"
            "TabOnBottom=0\r\nMenuToAvatar=0\r\nHideFavBarButton=0\r\nShowModeText=0\r\nReplaceSmiley=0\r\n");
  OptionModel again;
  LoadOptions(f.app, again, true);
  EXPECT_EQ(again.State("chkHideHome"), 1);
  EXPECT_EQ(again.State("chkSlimmerToolbar"), 1);
}

TEST(SaveOptions, CompositionOffKeepsTheStoredAeroValue) {
  Fixture f;
  f.p.AddFile(kSettings, "[General]\r\nAeroStatusBar=yes\r\n");
  LoadOptions(f.app, f.model, false);
  SaveOptions(f.app, f.model, false);
  EXPECT_EQ(f.app.ReadSetting("AeroStatusBar", "-"), "yes");
  EXPECT_EQ(f.app.ReadSetting("HideStatusBar", "-"), "0");
}

TEST(SaveOptions, Host3015300KeepsThreeStoredValuesAndWritesBackTheOtherFourHostOptions) {
  Fixture f;
  f.app.Host3015300 = true;
  f.p.AddFile(kSettings,
              "[General]\r\nNormalMenuButton=1\r\nAvatarToButton=junk\r\nAvatarToMenu=2\r\n"
              "HideNewTab=1\r\nTabOnBottom=junk\r\nMenuToAvatar=2\r\nHideFavBarButton=1\r\n");
  LoadOptions(f.app, f.model, true);
  // What the window would do: these boxes are disabled and cannot change.
  SaveOptions(f.app, f.model, true);
  EXPECT_EQ(f.app.ReadSetting("NormalMenuButton", "-"), "1");
  EXPECT_EQ(f.app.ReadSetting("AvatarToButton", "-"), "junk");
  EXPECT_EQ(f.app.ReadSetting("AvatarToMenu", "-"), "2");
  EXPECT_EQ(f.app.ReadSetting("HideNewTab", "-"), "1");
  EXPECT_EQ(f.app.ReadSetting("TabOnBottom", "-"), "0");
  EXPECT_EQ(f.app.ReadSetting("MenuToAvatar", "-"), "2");
  EXPECT_EQ(f.app.ReadSetting("HideFavBarButton", "-"), "1");
}

TEST(SaveOptions, OtherKeysOfTheFileStayWhereAndAsTheyWere) {
  Fixture f;
  f.p.AddFile(kSettings, "[General]\r\nLanguage=Deutsch\r\nHideHome=1\r\nInstallFolder=C:\\M3\\\r\n");
  LoadOptions(f.app, f.model, true);
  SaveOptions(f.app, f.model, true);
  const std::string saved = *f.p.Contents(kSettings);
  EXPECT_EQ(
      saved.rfind("[General]\r\nLanguage=Deutsch\r\nHideHome=1\r\nInstallFolder=C:\\M3\\\r\nHideSearchBar=0\r\n", 0),
      0u);
}

}  // namespace
}  // namespace rw
