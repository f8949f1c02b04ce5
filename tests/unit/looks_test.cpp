#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "support/fake_platform.h"
#include "ui/looks.h"
#include "ui/looks_window_logic.h"
#include "ui/named_looks.h"

namespace rw {
namespace {

using test::FakePlatform;

const std::string kProgram = "C:\\Ravelwick";

OptionSnapshot WithTabWidth(int width) {
  return OptionSnapshot().WithText(Option::MaxTabWidthText, std::to_string(width));
}

TEST(LookHistory, KeepsTheLastTwentyAndLosesOnlyADamagedEntry) {
  FakePlatform p{kProgram};
  App app{p, kProgram};
  for (int i = 1; i <= 21; ++i) ASSERT_TRUE(RecordLook(app, WithTabWidth(i)));
  LookShelf shelf = ReadHistory(app);
  ASSERT_EQ(shelf.looks.size(), kHistoryLength);
  EXPECT_EQ(shelf.looks.front().ValueOf(Option::MaxTabWidthText), "21");
  EXPECT_EQ(shelf.looks.back().ValueOf(Option::MaxTabWidthText), "2");

  const std::string folder = kProgram + "\\Looks\\";
  const std::string sound = *p.Contents(folder + "history-000021.look");
  p.AddFile(folder + "history-000021.look", sound.substr(0, sound.size() / 2));
  p.AddFile(folder + "history-000020.look", "\x01garbage\r\n");
  shelf = ReadHistory(app);
  EXPECT_EQ(shelf.looks.size(), kHistoryLength - 2);
  EXPECT_EQ(shelf.damaged, (std::vector<std::string>{folder + "history-000021.look", folder + "history-000020.look"}));
  EXPECT_EQ(shelf.looks.front().ValueOf(Option::MaxTabWidthText), "19");
  ASSERT_TRUE(RecordLook(app, WithTabWidth(22)));
  EXPECT_EQ(ReadHistory(app).looks.front().ValueOf(Option::MaxTabWidthText), "22");
}

TEST(LookFile, GivesBackWhatItHoldsAndRefusesEveryCutOrChange) {
  Look look;
  look.name = "\xE5\xA4\x8F\xE5\xA4\xA9";  // Chinese "summer"
  look.date = "2024-05-01 09:30:00 UTC";
  look.hostVersion = "3.0.20.100";
  look.values = {{"HideHome", "1"}, {"FontFamily", "Segoe UI"}};
  look.ownRules = {"#a{x:1}\r\nCheck=0\r\n", ""};
  const std::string text = LookText(look);
  const std::optional<Look> back = ParseLook(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->name, look.name);
  EXPECT_EQ(back->values, look.values);
  EXPECT_EQ(back->ownRules, look.ownRules);
  EXPECT_EQ(back->ValueOf(Option::HideRefresh), "0");  // a value it lacks is the default
  for (std::size_t cut = 0; cut < text.size(); ++cut) EXPECT_FALSE(ParseLook(text.substr(0, cut))) << cut;
  std::string changed = text;
  changed[changed.find("HideHome=1") + 9] = '0';
  EXPECT_FALSE(ParseLook(changed));
}

TEST(NamedLooks, NamesIgnoreLetterCaseAndReplacingIsAskedFor) {
  FakePlatform p{kProgram};
  App app{p, kProgram};
  const std::string summer = "\xC3\x89t\xC3\xA9 \xD0\x9B\xD0\xB5\xD1\x82\xD0\xBE";  // "Été Лето"
  const std::string summerLower = "\xC3\xA9T\xC3\xA9 \xD0\xBB\xD0\x95\xD0\xA2\xD0\x9E";
  ASSERT_EQ(SaveNamedLook(app, LookOf(app, WithTabWidth(1)), summer, false), NamedSave::Saved);
  EXPECT_EQ(SaveNamedLook(app, LookOf(app, WithTabWidth(2)), " " + summerLower, false), NamedSave::Exists);
  EXPECT_EQ(FindNamedLook(app, summerLower)->ValueOf(Option::MaxTabWidthText), "1");
  ASSERT_EQ(SaveNamedLook(app, LookOf(app, WithTabWidth(2)), summerLower, true), NamedSave::Saved);
  EXPECT_EQ(FindNamedLook(app, summer)->name, summerLower);
  EXPECT_EQ(ReadNamedLooks(app).looks.size(), 1u);

  ASSERT_EQ(SaveNamedLook(app, LookOf(app, WithTabWidth(3)), "Autumn", false), NamedSave::Saved);
  EXPECT_EQ(RenameNamedLook(app, "autumn", summer, false), NamedSave::Exists);
  ASSERT_EQ(RenameNamedLook(app, "autumn", "Winter", false), NamedSave::Saved);
  EXPECT_FALSE(FindNamedLook(app, "Autumn"));
  EXPECT_EQ(FindNamedLook(app, "WINTER")->ValueOf(Option::MaxTabWidthText), "3");
  EXPECT_TRUE(DeleteNamedLook(app, "winter"));
  EXPECT_FALSE(DeleteNamedLook(app, "winter"));
  EXPECT_EQ(ReadNamedLooks(app).looks.size(), 1u);

  std::string longest;
  for (std::size_t i = 0; i < kMaxLookNameLength; ++i) longest += "\xE5\xA4\x8F";
  EXPECT_EQ(CheckLookName(longest), NameCheck::Fine);
  EXPECT_EQ(CheckLookName(longest + "a"), NameCheck::TooLong);
  EXPECT_EQ(CheckLookName("  "), NameCheck::Empty);
  EXPECT_EQ(CheckLookName("a\tb"), NameCheck::NotText);
  EXPECT_EQ(CheckLookName("\xC3"), NameCheck::NotText);
}

struct FakeLooksView : LooksView {
  WindowHandle Handle() override { return 7; }
  void SetCaptions(const LooksCaptions&) override {}
  void SetRows(const std::vector<std::string>& shown) override { rows = shown; }
  void SelectRow(std::size_t row) override { selected = row; }
  void SetDetails(const std::string& text) override { details = text; }
  std::string NameText() override { return name; }
  void SetNameText(const std::string& text) override { name = text; }
  void Close() override { closed = true; }
  std::vector<std::string> rows;
  std::size_t selected = 99;
  std::string details, name;
  bool closed = false;
};

TEST(LooksWindow, ListsNewestFirstWithTheirDifferencesAndAsksBeforeReplacing) {
  FakePlatform p{kProgram};
  App app{p, kProgram};
  ASSERT_TRUE(RecordLook(app, WithTabWidth(1)));
  ASSERT_TRUE(RecordLook(app, WithTabWidth(2).WithState(Option::HideHome, 1)));
  FakeLooksView view;
  view.name = "Mine";
  LooksWindow window(app, WithTabWidth(1), view);
  window.OnLoad();
  ASSERT_EQ(view.rows.size(), 4u);  // two headings, two looks
  EXPECT_NE(view.rows[1].find("2 options differ"), std::string::npos) << view.rows[1];
  EXPECT_NE(view.rows[2].find("the same as the window"), std::string::npos) << view.rows[2];
  EXPECT_EQ(view.selected, 1u);
  window.OnRowChosen(0);  // a heading
  EXPECT_EQ(view.selected, 1u);

  window.OnSaveAs();
  EXPECT_EQ(view.rows.size(), 5u);
  EXPECT_EQ(view.selected, 4u);
  EXPECT_TRUE(p.messages.empty());
  p.answers.push_back(MessageResult::Cancel);
  view.name = "MINE";
  window.OnSaveAs();  // asked, and declined
  ASSERT_EQ(p.messages.size(), 1u);
  EXPECT_EQ(FindNamedLook(app, "mine")->name, "Mine");

  window.OnRowChosen(1);
  window.OnUse(/*preview=*/true);
  EXPECT_TRUE(view.closed);
  ASSERT_TRUE(window.Choice().look);
  EXPECT_EQ(window.Choice().look->ValueOf(Option::MaxTabWidthText), "2");
  EXPECT_TRUE(window.Choice().preview);
}

}  // namespace
}  // namespace rw
