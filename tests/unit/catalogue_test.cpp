#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <variant>

#include "app/app.h"
#include "app/program_settings.h"
#include "support/fake_platform.h"
#include "ui/catalogue.h"
#include "ui/option_model.h"
#include "ui/window_commands.h"

namespace rw {
namespace {

using test::FakePlatform;

const std::string kSettings = "C:\\Ravelwick\\settings.ini";

TEST(Catalogue, EveryRowOfBothColumnsHoldsExactlyOneCheckBoxAndFieldsShareTheirBoxRow) {
  std::set<std::pair<Column, int>> boxes;
  std::set<std::string_view> keys, descriptions;
  std::set<Option> options;
  int checks = 0;
  for (const OptionDef& def : Options()) {
    EXPECT_TRUE(keys.insert(def.settingsKey).second) << def.settingsKey;
    EXPECT_TRUE(descriptions.insert(def.descriptionKey).second) << def.settingsKey;
    EXPECT_TRUE(options.insert(def.option).second) << def.settingsKey;
    EXPECT_EQ(&Def(def.option), &def) << def.settingsKey;
    ASSERT_GE(def.row, 1);
    ASSERT_LE(def.row, kRowsPerColumn);
    if (def.kind == OptionKind::Check) {
      ++checks;
      EXPECT_EQ(def.spot, Spot::Box) << def.settingsKey;
      EXPECT_EQ(def.check, FieldCheck::None) << def.settingsKey;
      EXPECT_TRUE(boxes.insert({def.column, def.row}).second) << def.settingsKey;
      EXPECT_FALSE(def.captionKey.empty());
    } else {
      EXPECT_NE(def.spot, Spot::Box) << def.settingsKey;
      EXPECT_NE(def.check, FieldCheck::None) << def.settingsKey;
      EXPECT_TRUE(def.captionKey.empty());
    }
  }
  EXPECT_EQ(checks, 38);
  EXPECT_EQ(boxes.size(), 38u);
  for (const OptionDef& def : Options()) {
    if (def.kind == OptionKind::Text) {
      EXPECT_TRUE(boxes.count({def.column, def.row})) << def.settingsKey;
    }
  }

  // Save order names every option once.
  std::set<std::string_view> saved;
  for (Option option : SaveOrder()) saved.insert(Def(option).settingsKey);
  EXPECT_EQ(SaveOrder().size(), keys.size());
  EXPECT_EQ(saved, keys);

  // Every row is explained in every language that ships.
  FakePlatform p;
  int languages = 0;
  for (const auto& file : std::filesystem::directory_iterator(std::string(RW_SOURCE_DIR) + "/data/Languages")) {
    std::ifstream in(file.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string path = "C:\\Languages\\" + file.path().filename().string();
    p.AddFile(path, bytes.str());
    ++languages;
    for (std::string_view key : descriptions)
      EXPECT_NE(ReadIniValue(p, path, key, ""), "") << key << " in " << file.path().filename();
  }
  EXPECT_GE(languages, 2);
}

TEST(WindowCommands, EveryRowIsNamedAndExplainedInEveryLanguageAndReachedOneWay) {
  std::set<std::variant<MenuItem, Control>> places;
  std::set<std::pair<int, bool>> shortcuts;
  for (const WindowCommand& command : WindowCommands()) {
    EXPECT_TRUE(places.insert(command.place).second) << command.captionKey;
    EXPECT_EQ(std::visit([](auto place) { return CommandOf(place); }, command.place), &command) << command.captionKey;
    if (command.shortcut.key != 0) {
      EXPECT_TRUE(shortcuts.insert({command.shortcut.key, command.shortcut.withCtrl}).second) << command.captionKey;
    }
  }
  FakePlatform p;
  for (const auto& file : std::filesystem::directory_iterator(std::string(RW_SOURCE_DIR) + "/data/Languages")) {
    std::ifstream in(file.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string path = "C:\\Languages\\" + file.path().filename().string();
    p.AddFile(path, bytes.str());
    for (const WindowCommand& command : WindowCommands())
      for (std::string_view key : {command.captionKey, command.describeKey})
        EXPECT_NE(ReadIniValue(p, path, key, ""), "") << key << " in " << file.path().filename();
    for (const auto& [control, key] : kControlCaptionKeys)
      EXPECT_NE(ReadIniValue(p, path, key, ""), "") << key << " in " << file.path().filename();
  }
}

struct Fixture {
  FakePlatform p;
  App app{p, "C:\\Ravelwick"};
  OptionModel model;
};

TEST(LoadOptions, NewSettingsFileGivesTheDefaults) {
  Fixture f;
  LoadOptions(f.app, f.model, true);
  for (const OptionDef& def : Options()) {
    if (def.kind == OptionKind::Check) {
      EXPECT_EQ(f.model.State(def.option), 0) << def.settingsKey;
    }
    EXPECT_TRUE(f.model.Enabled(def.option)) << def.settingsKey;
  }
  for (Control box : kCheckBoxControls) {
    EXPECT_EQ(f.model.State(box), 0);
    EXPECT_TRUE(f.model.Enabled(box));
  }
  EXPECT_EQ(f.model.Text(Option::MaxTabWidthText), "180");
  EXPECT_EQ(f.model.Text(Option::MaxSearchWidthText), "200");
  EXPECT_EQ(f.model.Text(Option::BkgndTabWidthText), "60");
  EXPECT_EQ(f.model.Text(Option::FontFamilyText), "Segoe UI, Tahoma");
  EXPECT_EQ(f.model.Text(Option::FontSizeText), "12px");
  EXPECT_FALSE(f.p.files.FileExists(kSettings));
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
    EXPECT_EQ(f.model.State(Option::HideHome), state) << '"' << value << '"';
    EXPECT_EQ(f.model.State(Option::MaxTabWidth), state) << '"' << value << '"';
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
    EXPECT_EQ(f.model.Text(Option::MaxTabWidthText), shown);
    EXPECT_EQ(f.model.Text(Option::FontFamilyText), value.empty() ? "Segoe UI, Tahoma" : value);
  }
}

TEST(LoadOptions, TheSlimmerToolbarBoxReadsItsOddlyCasedKeyAndCheckBoxesOwnTheirSetKeys) {
  Fixture f;
  f.p.AddFile(kSettings, "[General]\r\nSlimmerToolBar=1\r\nMaxSearchWidth=1\r\nSetMaxSearchWidth=0\r\n");
  LoadOptions(f.app, f.model, true);
  EXPECT_EQ(f.model.State(Option::SlimmerToolbar), 1);
  EXPECT_EQ(f.model.State(Option::MaxSearchWidth), 0);
  EXPECT_EQ(f.model.Text(Option::MaxSearchWidthText), "1");
}

TEST(LoadOptions, CompositionOffDisablesOnlyTheAeroBoxAndKeepsItsState) {
  Fixture f;
  f.p.AddFile(kSettings, "[General]\r\nAeroStatusBar=1\r\n");
  LoadOptions(f.app, f.model, false);
  EXPECT_FALSE(f.model.Enabled(Option::AeroStatusBar));
  EXPECT_EQ(f.model.State(Option::AeroStatusBar), 1);
  int disabled = 0;
  for (const OptionDef& def : Options()) disabled += !f.model.Enabled(def.option);
  for (Control box : kCheckBoxControls) disabled += !f.model.Enabled(box);
  EXPECT_EQ(disabled, 1);
}

TEST(SaveOptions, ANewFileListsTheKeysInSaveOrder) {
  Fixture f;
  LoadOptions(f.app, f.model, true);
  f.model.SetState(Option::HideHome, 1);
  f.model.SetState(Option::SlimmerToolbar, 1);
  f.model.SetText(Option::FontFamilyText, " Tahoma ,  Arial ");
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
  EXPECT_EQ(again.State(Option::HideHome), 1);
  EXPECT_EQ(again.State(Option::SlimmerToolbar), 1);
}

TEST(SaveOptions, CompositionOffKeepsTheStoredAeroValue) {
  Fixture f;
  f.p.AddFile(kSettings, "[General]\r\nAeroStatusBar=yes\r\n");
  LoadOptions(f.app, f.model, false);
  SaveOptions(f.app, f.model, false);
  EXPECT_EQ(ReadSettingsValue(f.app, "AeroStatusBar", "-"), "yes");
  EXPECT_EQ(ReadSettingsValue(f.app, "HideStatusBar", "-"), "0");
}

TEST(SaveOptions, SingleSkinHostKeepsThreeStoredValuesAndWritesBackTheOtherFourHostOptions) {
  Fixture f;
  f.app.SingleSkinHost = true;
  f.p.AddFile(kSettings,
              "[General]\r\nNormalMenuButton=1\r\nAvatarToButton=junk\r\nAvatarToMenu=2\r\n"
              "HideNewTab=1\r\nTabOnBottom=junk\r\nMenuToAvatar=2\r\nHideFavBarButton=1\r\n");
  LoadOptions(f.app, f.model, true);
  // What the window would do: these boxes are disabled and cannot change.
  SaveOptions(f.app, f.model, true);
  EXPECT_EQ(ReadSettingsValue(f.app, "NormalMenuButton", "-"), "1");
  EXPECT_EQ(ReadSettingsValue(f.app, "AvatarToButton", "-"), "junk");
  EXPECT_EQ(ReadSettingsValue(f.app, "AvatarToMenu", "-"), "2");
  EXPECT_EQ(ReadSettingsValue(f.app, "HideNewTab", "-"), "1");
  EXPECT_EQ(ReadSettingsValue(f.app, "TabOnBottom", "-"), "0");
  EXPECT_EQ(ReadSettingsValue(f.app, "MenuToAvatar", "-"), "2");
  EXPECT_EQ(ReadSettingsValue(f.app, "HideFavBarButton", "-"), "1");
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
