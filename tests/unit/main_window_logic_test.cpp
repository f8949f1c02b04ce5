#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <variant>

#include "app/app.h"
#include "app/host_check.h"
#include "app/language_text.h"
#include "app/program_settings.h"
#include "pipeline/pipeline.h"
#include "pipeline/tree_record.h"
#include "stores/log_file.h"
#include "stores/settings.h"
#include "stores/text.h"
#include "support/fake_platform.h"
#include "support/fake_tools.h"
#include "ui/activity_log.h"
#include "ui/catalogue.h"
#include "ui/main_window_logic.h"
#include "ui/option_search.h"
#include "ui/preview.h"
#include "ui/preview_window.h"
#include "ui/settings_transfer.h"
#include "ui/status_verb.h"
#include "ui/ui_factory.h"

namespace rw {
namespace {

using test::FakePlatform;
using test::Op;

const std::string kFolder = "C:\\Ravelwick";
const std::string kSettings = kFolder + "\\settings.ini";
const std::string kLanguages = kFolder + "\\Languages\\";

const Option kHostDependent[] = {Option::NormalMenuButton, Option::AvatarToButton, Option::AvatarToMenu,
                                 Option::TabOnBottom,      Option::MenuToAvatar,   Option::HideNewTab,
                                 Option::HideFavBarButton};

// What the fake view records: an option, another control or a menu item.
using Key = WindowPart;

// A row of the command table by its caption key.
const WindowCommand& Command(std::string_view captionKey) {
  for (const WindowCommand& command : WindowCommands())
    if (command.captionKey == captionKey) return command;
  throw std::invalid_argument("no command " + std::string(captionKey));
}
MenuItem Item(std::string_view captionKey) { return *Command(captionKey).Item(); }

std::string Name(Key key) {
  if (const Option* option = std::get_if<Option>(&key)) return std::string(Def(*option).settingsKey);
  if (std::holds_alternative<MenuItem>(key)) return "Menu item";
  switch (std::get<Control>(key)) {
    case Control::ModernLegend:
      return "ModernLegend";
    case Control::ClassicLegend:
      return "ClassicLegend";
    case Control::SelectAll:
      return "SelectAll";
    case Control::Ok:
      return "Ok";
    case Control::Cancel:
      return "Cancel";
    case Control::MenuTop:
      return "MenuTop";
    default:
      return "Menu item";
  }
}

class FakeView : public MainView {
 public:
  WindowHandle Handle() override {
    if (onWait) onWait("window " + std::to_string(++modals));
    return 4242;
  }
  void SetIcons(std::string_view name) override { log.push_back("icons " + std::string(name)); }
  void SetTitle(const std::string& t) override {
    title = t;
    log.push_back("title");
  }
  void SetCaption(Option o, const std::string& text) override { Caption(o, text); }
  void SetCaption(Control c, const std::string& text) override { Caption(c, text); }
  void SetCaption(MenuItem m, const std::string& text) override { Caption(m, text); }
  void SetCheck(Option o, int state) override { Check(o, state); }
  void SetCheck(Control c, int state) override { Check(c, state); }
  void SetText(Option o, const std::string& text) override {
    texts[o] = text;
    log.push_back("text " + Name(o));
  }
  void SetEnabled(Option o, bool e) override { enabled[o] = e; }
  void SetEnabled(Control c, bool e) override { enabled[c] = e; }
  void SetEnabled(MenuItem m, bool e) override { enabled[m] = e; }
  void AddLanguageItem(const std::string& caption, bool checked) override {
    langItems.push_back(caption);
    langChecks.push_back(checked);
    log.push_back("lang " + caption);
  }
  void CheckLanguageItem(std::size_t i, bool checked) override { langChecks.at(i) = checked; }
  void Hide() override { hidden = true; }
  void Destroy() override { ++destroyed; }
  void ShowProgress(const std::string& text, int percent) override {
    progress.push_back(text + " " + std::to_string(percent) + "%");
    if (onWait) onWait(text.substr(0, text.find("...")));
  }
  std::function<void(const std::string& where)> onWait;  // at each wait and all shown over the window
  int modals = 0;
  void HideProgress() override { progress.push_back("hidden"); }
  std::vector<std::string> progress;
  void CloseFolderDialog() override { ++dialogsClosed; }
  void StartCloseTimer(unsigned ms) override { timerMs = ms; }
  void KillCloseTimer() override { timerMs = 0; }
  void SetTooltip(Option o, const std::string& text) override { tips[o] = text; }
  void SetTooltip(Control c, const std::string& text) override { tips[c] = text; }
  void SetDetails(const std::string& text) override { details = text; }
  void SetRowMark(Option o, RowMark mark) override { marks[o] = mark; }
  void SetHeader(const std::string& text) override { header = text; }
  void ShowFound(const std::vector<Option>& rows) override { found = rows; }
  void SetFindResult(const std::string& text) override { findResult = text; }
  void SetFindText(const std::string& text) override { findText = text; }
  void FocusOn(Option o) override { focusedOn = o; }
  std::vector<Option> found;
  std::string findResult, findText = "typed";
  std::optional<Option> focusedOn;
  std::map<Key, std::string> tips;
  std::map<Option, RowMark> marks;
  std::string details, header;

  bool Enabled(Key c) const { return !enabled.count(c) || enabled.at(c); }
  std::size_t Index(const std::string& entry) const {
    return static_cast<std::size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
  }

  std::vector<std::string> log;
  std::string title;
  std::map<Key, std::string> captions, texts;
  std::map<Key, int> checks;
  std::map<Key, bool> enabled;
  std::vector<std::string> langItems{"English"};
  std::vector<bool> langChecks{true};
  bool hidden = false;
  int destroyed = 0;
  int dialogsClosed = 0;
  unsigned timerMs = 0;

 private:
  void Caption(Key c, const std::string& text) {
    captions[c] = text;
    log.push_back("caption " + Name(c));
  }
  void Check(Key c, int state) {
    checks[c] = state;
    log.push_back("check " + Name(c));
  }
};

class FakeUi : public UiFactory {
 public:
  void ShowSetFolderDialog(App&, WindowHandle owner, FolderDialogCause cause) override {
    EXPECT_EQ(cause, FolderDialogCause::Chosen);
    owners.push_back(owner);
    if (whileOpen) whileOpen();
  }
  void ShowMainWindow(App&) override {}
  void ShowPreviewWindow(App&, const Preview& preview, WindowHandle owner) override {
    previews.push_back(preview);
    previewOwners.push_back(owner);
    if (whilePreviewOpen) whilePreviewOpen();
  }
  void ShowOwnRulesEditor(App&, OwnRulesSource&, WindowHandle owner) override { owners.push_back(owner); }
  std::optional<std::string> AskSavePath(const FileDialogTexts& texts, WindowHandle owner) override {
    fileDialogs.push_back(texts);
    owners.push_back(owner);
    return savePath;
  }
  std::optional<std::string> AskOpenPath(const FileDialogTexts& texts, WindowHandle owner) override {
    fileDialogs.push_back(texts);
    owners.push_back(owner);
    return openPath;
  }
  std::function<void()> whileOpen;
  std::function<void()> whilePreviewOpen;
  std::vector<WindowHandle> owners;
  std::vector<Preview> previews;
  std::vector<WindowHandle> previewOwners;
  std::optional<std::string> savePath, openPath;  // what the user chooses; nullopt: Cancel
  LooksChoice looks;                              // what the Looks window is closed with
  LooksChoice ShowLooksWindow(App&, const OptionSnapshot&, WindowHandle, bool) override { return looks; }
  std::vector<FileDialogTexts> fileDialogs;
};

std::string ReadDataFile(const std::string& relative) {
  std::ifstream in(std::string(RW_SOURCE_DIR) + "/data/" + relative, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct Window {
  explicit Window(bool withLanguages = true) {
    app.AppVersion = "1.2.7";
    app.AppTitle = "Ravelwick (1.2.7)";
    app.HostVersion = "3.0.20.100";
    app.HostBinFolder = "C:\\M3\\Bin\\";
    p.AddFile(app.HostBinFolder + "Resource.dat", "host archive");
    if (withLanguages) {
      p.AddFile(kLanguages + "English.ini", ReadDataFile("Languages/English.ini"));
      p.AddFile(kLanguages + "Chinese Simplified.ini", ReadDataFile("Languages/Chinese Simplified.ini"));
    }
  }
  FakePlatform p{kFolder};
  App app{p, kFolder};
  FakeView view;
  FakeUi ui;
  MainWindowLogic logic{app, view, ui};
  test::FakeTools tools{p, kFolder};
};

// --- Loading and captions -------------------------------------------------

TEST(MainWindowLoad, RunsItsStepsInOrderAndCopiesTheImagesLast) {
  Window w;
  w.p.composition = false;
  w.p.AddFile(kSettings, "[General]\r\nHideHome=1\r\nMaxTabWidth=abc\r\n");
  w.p.AddFile(kLanguages + "Deutsch.ini", "[General]\r\n");
  w.p.AddFile(kFolder + "\\ResFiles\\nav_tool.png", "PNG");
  w.p.AddFolder(kFolder + "\\Resource\\ui\\main\\images");
  std::size_t logAtFirstCopy = 0;
  w.p.failHook = [&](Op op, const std::string&) {
    if (op == Op::Copy && logAtFirstCopy == 0) logAtFirstCopy = w.view.log.size();
    return false;
  };
  w.logic.OnLoad();

  const auto& v = w.view;
  EXPECT_EQ(v.log.front(), "icons AAA");
  EXPECT_LT(v.Index("icons AAA"), v.Index("title"));
  EXPECT_LT(v.Index("title"), v.Index("caption MenuTop"));
  EXPECT_LT(v.Index("caption ModernLegend"), v.Index("check HideHome"));
  EXPECT_LT(v.Index("text MaxTabWidth"), v.Index("lang Deutsch"));
  EXPECT_EQ(logAtFirstCopy, v.log.size());
  EXPECT_EQ(w.p.Contents(kFolder + "\\Resource\\ui\\main\\images\\nav_tool.png"), "PNG");

  EXPECT_EQ(v.title, "Ravelwick (1.2.7)");
  EXPECT_FALSE(w.logic.Model().Enabled(Option::AeroStatusBar));  // composition is off
  EXPECT_FALSE(v.Enabled(Option::AeroStatusBar));
  EXPECT_EQ(v.checks.at(Option::HideHome), 1);
  EXPECT_EQ(v.texts.at(Option::MaxTabWidthText), "abc");
  EXPECT_EQ(v.texts.at(Option::FontSizeText), "12px");
}

TEST(MainWindowLoad, EnglishCaptionsFromTheLanguageFileMatchTheBuiltInOnes) {
  Window w;
  w.logic.OnLoad();
  for (const OptionDef& def : Options()) {
    if (def.kind != OptionKind::Check) continue;
    EXPECT_EQ(w.view.captions.at(def.option), EnglishCaption(def) + std::string(def.marker));
  }
  for (const auto& [control, key] : kControlCaptionKeys)
    EXPECT_EQ(w.view.captions.at(control), BuiltInEnglishText(key));
  EXPECT_EQ(w.view.captions.at(Option::ClickableTitle), "Title Bar clickable on top screen edge when maximized *");
  EXPECT_EQ(w.view.captions.at(Option::TabOnBottom), "Tab Bar on Bottom (must hide Avatar) #");
}

TEST(MainWindowLoad, OtherLanguagesKeepTheEnglishWordForTheLanguageMenu) {
  Window w;
  w.app.LanguageName = "Chinese Simplified";
  w.logic.OnLoad();
  EXPECT_EQ(w.view.captions.at(Item("SetLanguage")), "Language / 语言");
  EXPECT_EQ(w.view.captions.at(Control::Ok), "确定");
  EXPECT_EQ(w.view.captions.at(Option::HideNewTab), "隐藏新建标签按钮 #");

  for (const char* name : {"ENGLISH", "english"}) {
    Window e;
    e.app.LanguageName = name;
    e.logic.ApplyLanguage();
    EXPECT_EQ(e.view.captions.at(Item("SetLanguage")), "Language");
  }
}

TEST(MainWindowLoad, SingleSkinHostDropsMarkersAndLegendsAndDisablesTheSevenUntilRepointed) {
  Window w;
  w.app.SingleSkinHost = true;
  w.p.AddFile(kSettings, "[General]\r\nTabOnBottom=1\r\n");
  w.logic.OnLoad();
  EXPECT_EQ(w.view.captions.at(Option::ClickableTitle), "Title Bar clickable on top screen edge when maximized");
  EXPECT_EQ(w.view.captions.at(Option::HideNewTab), "Hide New Tab Button");
  EXPECT_EQ(w.view.captions.at(Control::ModernLegend), "");
  EXPECT_EQ(w.view.captions.at(Control::ClassicLegend), "");
  int disabled = 0;
  for (const OptionDef& def : Options()) disabled += !w.view.Enabled(def.option);
  EXPECT_EQ(disabled, 7);
  for (Option option : kHostDependent) EXPECT_FALSE(w.view.Enabled(option)) << Name(option);
  EXPECT_EQ(w.view.checks.at(Option::TabOnBottom), 1);

  w.app.SingleSkinHost = false;
  w.logic.ApplyLanguage();
  for (Option option : kHostDependent) EXPECT_TRUE(w.view.Enabled(option)) << Name(option);
  EXPECT_EQ(w.view.captions.at(Option::HideNewTab), "Hide New Tab Button #");
  EXPECT_EQ(w.view.captions.at(Control::ModernLegend), "(*) Modern Skin only");
  EXPECT_EQ(w.view.checks.at(Option::TabOnBottom), 1);
}

TEST(MainWindowLoad, MissingLanguageTextsFallBackToEnglishThenToTheBuiltInEnglish) {
  Window shipped;
  shipped.logic.OnLoad();
  Window w(/*withLanguages=*/false);
  w.app.LanguageName = "Klingon";
  w.p.AddFile(kLanguages + "English.ini", "\xEF\xBB\xBF[General]\r\nOK=OK!\r\nSetLanguage=Tongue\r\n");
  w.p.AddFile(kLanguages + "Klingon.ini", "[General]\r\nCancel=Qagh\r\n");
  w.logic.OnLoad();
  EXPECT_EQ(w.view.captions.at(Control::Ok), "OK!");
  EXPECT_EQ(w.view.captions.at(Control::Cancel), "Qagh");
  for (const Key control : {Key(Option::HideHome), Key(Option::HideNewTab), Key(Control::SelectAll)})
    EXPECT_EQ(w.view.captions.at(control), shipped.view.captions.at(control));
  EXPECT_EQ(w.view.captions.at(Item("SetLanguage")), "Tongue / Tongue");

  Window none(/*withLanguages=*/false);
  none.logic.OnLoad();
  EXPECT_EQ(none.view.captions.at(Item("SetLanguage")), shipped.view.captions.at(Item("SetLanguage")));
  EXPECT_EQ(none.view.langItems, std::vector<std::string>{"English"});
}

// --- Language menu ----------------------------------------------------------

TEST(LanguageMenu, ListsIniFilesInAnyCaseOnceAndChecksTheCurrentLanguage) {
  // The current language as stored, and the item it checks: every letter
  // counts without regard to case, not only ASCII ones.
  const std::pair<const char*, const char*> cases[] = {{"deutsch", "Deutsch"},
                                                       {"FRAN\xC3\x87"
                                                        "AIS",
                                                        "Fran\xC3\xA7"
                                                        "ais"}};
  for (const auto& [current, checked] : cases) {
    Window w(/*withLanguages=*/false);
    w.app.LanguageName = current;
    for (const char* name : {"english.ini", "Deutsch.INI", "readme.txt", "Chinese Simplified.ini", ".ini", "ini",
                             "Fran\xC3\xA7"
                             "ais.ini"})
      w.p.AddFile(kLanguages + name, "[General]\r\n");
    w.p.AddFolder(kLanguages + "Folder.ini");
    w.logic.OnLoad();

    std::vector<std::string> items = w.view.langItems;
    std::sort(items.begin() + 1, items.end());
    EXPECT_EQ(items, (std::vector<std::string>{"English", "Chinese Simplified", "Deutsch",
                                               "Fran\xC3\xA7"
                                               "ais"}));
    EXPECT_EQ(w.logic.LanguageItems(), w.view.langItems);
    for (std::size_t i = 0; i < w.view.langItems.size(); ++i)
      EXPECT_EQ(w.view.langChecks[i], w.view.langItems[i] == checked) << current << " " << w.view.langItems[i];
  }
}

TEST(LanguageMenu, EnglishKeepsTheCheckWhenNoFileMatches) {
  Window w;
  w.app.LanguageName = "Gone";
  w.logic.OnLoad();
  EXPECT_EQ(w.view.langChecks, (std::vector<bool>{true, false}));
}

TEST(LanguageMenu, ChoosingALanguageStoresItChecksItAndTranslates) {
  Window w;
  w.p.AddFile(kSettings, "[General]\r\nHideHome=1\r\n");
  w.logic.OnLoad();
  ASSERT_EQ(w.view.langItems.size(), 2u);
  w.logic.OnLanguageChosen(1);
  EXPECT_EQ(w.app.LanguageName, "Chinese Simplified");
  EXPECT_EQ(Read(w.app, ProgramSetting::Language), "Chinese Simplified");
  EXPECT_EQ(w.view.langChecks, (std::vector<bool>{false, true}));
  EXPECT_EQ(w.view.captions.at(Option::HideHome), "隐藏主页按钮");
  EXPECT_EQ(w.view.checks.at(Option::HideHome), 1);
  EXPECT_EQ(w.view.title, "Ravelwick (1.2.7)");

  w.logic.OnLanguageChosen(0);
  EXPECT_EQ(w.view.langChecks, (std::vector<bool>{true, false}));
  EXPECT_EQ(w.view.captions.at(Item("SetLanguage")), "Language");
}

TEST(LanguageMenu, AFileRemovedAfterFillingOrABadIndexChangesNothing) {
  Window w;
  w.logic.OnLoad();
  ASSERT_TRUE(w.p.files.RemoveFile(kLanguages + "Chinese Simplified.ini"));
  w.logic.OnLanguageChosen(1);
  w.logic.OnLanguageChosen(7);
  EXPECT_EQ(w.app.LanguageName, "English");
  EXPECT_FALSE(w.p.files.FileExists(kSettings));
  EXPECT_EQ(w.view.langChecks, (std::vector<bool>{true, false}));
}

// --- Select All and clicks -------------------------------------------------

TEST(SelectAll, TicksEveryEnabledBoxIncludingLegendsAndLeavesDisabledOnesAndFields) {
  Window w;
  w.app.SingleSkinHost = true;
  w.p.composition = false;
  w.p.AddFile(kSettings, "[General]\r\nAeroStatusBar=0\r\nHideNewTab=2\r\nMaxTabWidth=abc\r\n");
  w.logic.OnLoad();
  w.logic.OnCheckClicked(Control::SelectAll);

  const OptionModel& m = w.logic.Model();
  EXPECT_EQ(m.State(Control::SelectAll), 1);
  EXPECT_EQ(m.State(Control::ModernLegend), 1);
  EXPECT_EQ(m.State(Control::ClassicLegend), 1);
  EXPECT_EQ(m.State(Option::AeroStatusBar), 0);
  EXPECT_EQ(m.State(Option::HideNewTab), 2);
  EXPECT_EQ(m.State(Option::NormalMenuButton), 0);
  EXPECT_EQ(m.State(Option::HideHome), 1);
  EXPECT_EQ(w.view.checks.at(Option::HideHome), 1);
  EXPECT_EQ(m.Text(Option::MaxTabWidthText), "abc");

  w.logic.OnCheckClicked(Control::SelectAll);
  EXPECT_EQ(m.State(Option::HideHome), 0);
  EXPECT_EQ(m.State(Control::ModernLegend), 0);
  EXPECT_EQ(m.State(Option::HideNewTab), 2);
}

TEST(SelectAll, ClicksToggleEnabledBoxesOnlyAndMixedGoesToUnticked) {
  Window w;
  w.p.composition = false;
  w.p.AddFile(kSettings, "[General]\r\nHideHome=2\r\nAeroStatusBar=1\r\n");
  w.logic.OnLoad();
  w.logic.OnCheckClicked(Option::HideHome);
  EXPECT_EQ(w.logic.Model().State(Option::HideHome), 0);
  w.logic.OnCheckClicked(Option::HideHome);
  EXPECT_EQ(w.logic.Model().State(Option::HideHome), 1);
  w.logic.OnCheckClicked(Option::AeroStatusBar);
  EXPECT_EQ(w.logic.Model().State(Option::AeroStatusBar), 1);
  w.logic.OnCheckClicked(Option::FontSizeText);
  w.logic.OnCheckClicked(Control::Ok);  // no check box
}

TEST(Fields, LeavingAFieldRunsItsCheckAndShowsTheResult) {
  Window w;
  w.logic.OnLoad();
  w.logic.OnFieldFocused(Option::MaxTabWidthText);
  w.logic.OnTextChanged(Option::MaxTabWidthText, "150");
  w.logic.OnFieldLeft(Option::MaxTabWidthText);
  w.logic.OnCheckClicked(Option::MaxTabWidth);
  w.logic.OnTextChanged(Option::BkgndTabWidthText, "170");
  w.logic.OnFieldLeft(Option::BkgndTabWidthText);
  EXPECT_EQ(w.view.texts.at(Option::BkgndTabWidthText), "150");
  w.logic.OnTextChanged(Option::FontSizeText, " 14 ");
  w.logic.OnFieldLeft(Option::FontSizeText);
  EXPECT_EQ(w.view.texts.at(Option::FontSizeText), "14px");
  EXPECT_EQ(w.logic.Snapshot().Text(Option::FontSizeText), "14px");
}

// --- What the window says of itself ---------------------------------------

TEST(Explains, AClickOrKeystrokeMarksItsRowAndTellsWhyInTheTip) {
  struct Row {
    std::vector<Option> clicked;
    std::optional<std::string> typed;  // into the tab width field
    Option shown;
    RowMark mark;
    std::string_view wordsKey;  // of the status sentence the tip ends with
  };
  const Row rows[] = {
      {{Option::HideHome}, {}, Option::HideHome, RowMark::Changed, "StatusChanged"},
      {{Option::AlwaysFavButton, Option::HideFavorite}, {}, Option::AlwaysFavButton, RowMark::Contradicted, ""},
      {{}, "250", Option::MaxTabWidthText, RowMark::Needs, ""},  // its box unticked
      {{Option::HideStatusBar, Option::SlimmerStatusBar}, {}, Option::SlimmerStatusBar, RowMark::Contradicted, ""},
      {{}, {}, Option::AeroStatusBar, RowMark::Greyed, "StatusGreyedComposition"},
  };
  for (const Row& row : rows) {
    Window w;
    w.p.composition = false;
    w.logic.OnLoad();
    w.logic.OnActivate();  // unpacks: the rows get their status
    const std::string before = w.view.tips.at(row.shown);
    for (Option option : row.clicked) w.logic.OnCheckClicked(option);
    if (row.typed) w.logic.OnTextChanged(Option::MaxTabWidthText, *row.typed);
    const OptionStatus& status = w.logic.Statuses()[IndexOf(row.shown)];
    EXPECT_EQ(w.view.marks[row.shown], row.mark) << Def(row.shown).settingsKey;
    const std::string& tip = w.view.tips.at(row.shown);
    EXPECT_TRUE(tip.starts_with(Text(w.app, Def(row.shown).descriptionKey) + "\n")) << tip;
    EXPECT_TRUE(!status.words.empty() && tip.find(status.words) != std::string::npos) << tip;
    if (!row.wordsKey.empty()) {
      EXPECT_NE(tip.find(Text(w.app, row.wordsKey)), std::string::npos) << tip;
    }
    EXPECT_EQ(tip != before, row.mark != RowMark::Greyed) << tip;
  }
}

TEST(Explains, HeaderAndDetailsFollowTheTreeTheFocusAndTheMenu) {
  Window w;
  w.logic.OnLoad();
  const std::string loaded = w.view.header;
  EXPECT_NE(loaded.find("3.0.20.100"), std::string::npos) << loaded;
  EXPECT_NE(loaded.find("C:\\M3"), std::string::npos) << loaded;
  EXPECT_EQ(w.view.details, Text(w.app, "StatusNotUnpacked"));
  const std::string field = w.view.tips.at(Option::MaxTabWidthText);
  EXPECT_NE(field.find(Text(w.app, "StatusNotUnpacked")), std::string::npos) << field;
  EXPECT_NE(field.find("\"180\""), std::string::npos) << field;  // its default

  w.logic.OnActivate();  // the unpack keeps a backup: the archive is the browser's own
  EXPECT_NE(w.view.header, loaded);
  EXPECT_EQ(w.view.details, "");
  w.logic.OnFocused(Option::HideHome);
  EXPECT_EQ(w.view.details, Text(w.app, "DescribeHideHome"));
  w.logic.OnCheckClicked(Option::HideHome);
  EXPECT_EQ(w.view.details, w.view.tips.at(Option::HideHome));
  w.logic.OnMenuHighlighted(Item("Restore"));
  EXPECT_EQ(w.view.details, Text(w.app, "DescribeMenuRestore"));
  w.logic.OnPointed(Control::Ok);  // the menu's item still wins
  EXPECT_EQ(w.view.details, Text(w.app, "DescribeMenuRestore"));
  w.logic.OnMenuHighlighted(std::nullopt);
  EXPECT_EQ(w.view.details, Text(w.app, "DescribeOK"));
  EXPECT_EQ(w.view.tips.at(Control::Ok), Text(w.app, "DescribeOK"));

  w.logic.OnLanguageChosen(1);
  EXPECT_EQ(w.view.tips.at(Control::Ok), Text(w.app, "DescribeOK"));
  EXPECT_NE(w.view.tips.at(Control::Ok), EnglishText(w.app, "DescribeOK"));

  // A refused file of the editor's shows after it closes.
  w.p.AddFile(kFolder + "\\Own rules\\main.css", "#x{}\n}");
  w.logic.Run(Command("OwnRules"));
  EXPECT_TRUE(w.view.header.ends_with(Text(w.app, "OwnRulesStrayClosingBrace"))) << w.view.header;
}

// --- Find and diagnostics -------------------------------------------------

// Words typed in English or Chinese find the rows whose caption or
// description holds each of them in either file, whichever language shows.
TEST(Find, WordsOfEitherLanguageFindTheRowsThatHoldThemAndEnterNeverApplies) {
  Window w;
  w.logic.OnLoad();
  App chinese{w.p, kFolder};
  chinese.LanguageName = "Chinese Simplified";
  const auto holds = [&](Option o, const std::string& word) {
    const OptionDef& def = Def(o);
    const std::string caption =
        def.kind == OptionKind::Text ? "Field" + std::string(def.settingsKey) : std::string(def.captionKey);
    for (const App* a : {&w.app, &chinese})
      for (const std::string_view key : {std::string_view(caption), def.descriptionKey})
        if (w.p.system.LowerCase(Text(*a, key)).find(word) != std::string::npos) return true;
    return false;
  };
  const std::vector<std::string> typed = {
      "status bar", "TAB width", "收藏", "标签 close", "avatar\u3000menu"  // an ideographic space
  };
  for (const std::string& text : typed) {
    SCOPED_TRACE(text);
    std::vector<Option> expected;
    const std::vector<std::string> words = SearchWords(w.p.system, text);
    for (const Option o : ReadingOrder())
      if (std::all_of(words.begin(), words.end(), [&](const std::string& word) { return holds(o, word); }))
        expected.push_back(o);
    ASSERT_FALSE(expected.empty());
    w.logic.OnFindChanged(text);
    EXPECT_EQ(w.logic.Found(), expected);
    EXPECT_EQ(w.view.found, expected);
    EXPECT_EQ(w.view.findResult, expected.size() == 1
                                     ? Text(w.app, "FindOne")
                                     : Fill(Text(w.app, "FindCount"), {{"$count", std::to_string(expected.size())}}));
  }
  // Each row's own caption in the other language finds it.
  w.logic.OnLanguageChosen(1);
  for (const OptionDef& def : Options()) {
    if (def.kind != OptionKind::Check) continue;
    w.logic.OnFindChanged(EnglishText(w.app, def.captionKey));
    EXPECT_NE(std::find(w.logic.Found().begin(), w.logic.Found().end(), def.option), w.logic.Found().end())
        << def.settingsKey;
  }
  w.logic.OnFindChanged("no such word");
  EXPECT_EQ(w.view.findResult, Text(w.app, "FindNone"));

  // Enter goes to the first match that is not greyed and applies nothing.
  Window greyed;
  greyed.p.composition = false;
  greyed.logic.OnLoad();
  greyed.logic.OnFindChanged("aero");
  ASSERT_FALSE(greyed.logic.Found().empty());
  EXPECT_NE(std::find(greyed.logic.Found().begin(), greyed.logic.Found().end(), Option::AeroStatusBar),
            greyed.logic.Found().end());
  greyed.logic.OnFindEnter();
  const auto enabled = std::find_if(greyed.logic.Found().begin(), greyed.logic.Found().end(),
                                    [&](Option o) { return greyed.logic.Model().Enabled(o); });
  EXPECT_EQ(greyed.view.focusedOn,
            enabled == greyed.logic.Found().end() ? std::nullopt : std::optional<Option>(*enabled));
  EXPECT_TRUE(greyed.p.messages.empty());
  EXPECT_FALSE(greyed.p.Contents(kSettings));
  greyed.logic.OnFindEscape();
  EXPECT_EQ(greyed.view.findText, "");
  EXPECT_TRUE(greyed.view.found.empty());
  EXPECT_EQ(greyed.view.findResult, "");
  for (const std::string blank : {"", "  ", "\u3000"}) {
    greyed.logic.OnFindChanged(blank);
    EXPECT_TRUE(greyed.logic.Found().empty());
  }
}

TEST(Diagnostics, TheClipboardGetsEveryPartAndTheLogOpensOnlyOnceThere) {
  Window w;
  w.logic.OnLoad();
  const std::string log = kFolder + "\\" + std::string(kLogFileName);
  w.logic.Run(Command("OpenLog"));
  EXPECT_TRUE(w.p.editorOpened.empty());
  std::vector<std::string> entries;
  for (const char* day : {"01", "02", "03", "04"}) {
    entries.push_back(RestoreLogEntry(w.app, {Outcome::Done, {}}, std::string("2026-12-") + day + " 10:00:00 UTC"));
    AppendLogEntry(w.p, log, entries.back());
  }
  w.logic.OnCheckClicked(Option::HideHome);
  w.logic.OnTextChanged(Option::MaxTabWidthText, "150");
  w.logic.Run(Command("CopyDiagnostics"));
  const std::string& text = w.p.clipboard;
  ArchiveFingerprints prints;
  for (const std::string& part : {std::string("1.2.7"), w.p.systemVersion, w.app.HostBinFolder, w.app.HostVersion,
                                  w.view.header, std::string("HideHome=1"), std::string("MaxTabWidth=150"), entries[1],
                                  entries[2], entries[3], StatusText(w.app, prints)})
    EXPECT_NE(text.find(part.substr(0, part.size() - (part.ends_with('\n') ? 1 : 0))), std::string::npos) << part;
  EXPECT_EQ(text.find("2026-12-01"), std::string::npos);
  EXPECT_EQ(text.find("HideRefresh="), std::string::npos);  // at its default
  w.logic.Run(Command("OpenLog"));
  EXPECT_EQ(w.p.editorOpened, std::vector<std::string>{log});
}

// --- Closing ----------------------------------------------------------------

TEST(Closing, CancelAndExitDestroyTheWindowOnce) {
  Window w;
  w.logic.OnLoad();
  w.logic.Run(Command("Cancel"));
  w.logic.Run(Command("Exit"));
  EXPECT_EQ(w.view.destroyed, 1);
  EXPECT_EQ(w.logic.Handle(), 0u);
}

TEST(Closing, WhileTheFolderDialogIsOpenTheDialogClosesAndTheWindowFollowsOnTheTimer) {
  Window w;
  w.app.HostBinFolder = "C:\\M3\\Bin\\";
  w.p.AddFile("C:\\M3\\Bin\\Maxthon.exe", "exe");
  w.p.fileVersions["c:\\m3\\bin\\maxthon.exe"] = "3.0.20.1000";
  w.p.AddFile(kSettings, "[General]\r\nFileVersion=3.0.20.1000\r\n");
  w.p.AddFolder(kFolder + "\\Resource");
  w.logic.OnLoad();

  bool openDuringDialog = false;
  w.ui.whileOpen = [&] {
    openDuringDialog = true;
    w.logic.Close();  // closed from the taskbar
    EXPECT_EQ(w.view.dialogsClosed, 1);
    EXPECT_EQ(w.view.destroyed, 0);
    EXPECT_EQ(w.view.timerMs, kCloseDelayMs);
  };
  w.logic.Run(Command("SetFolder"));
  EXPECT_TRUE(openDuringDialog);
  EXPECT_EQ(w.ui.owners, std::vector<WindowHandle>{4242});
  EXPECT_EQ(w.view.destroyed, 0);

  w.logic.OnCloseTimer();
  EXPECT_EQ(w.view.destroyed, 1);
  EXPECT_EQ(w.view.dialogsClosed, 1);  // not closed twice
  EXPECT_EQ(w.view.timerMs, 0u);
  w.logic.OnCloseTimer();
  EXPECT_EQ(w.view.destroyed, 1);
}

// Re-pointing: the host is checked again whether the dialog was confirmed or
// cancelled; another version is backed up and unpacked with the window open;
// a tree that cannot be removed closes the window.
TEST(SetFolder, ChecksTheHostAgainAndRebuildsOnlyWhatChanged) {
  const std::string tree = kFolder + "\\Resource";
  const std::string css = tree + "\\ui\\main\\index.css";
  const std::string packed = kFolder + "\\Resource.dat";
  const std::string backupA = kFolder + "\\Resource3.0.20.100.dat";
  const std::string otherBin = "E:\\Maxthon B\\Bin\\";
  enum class Choice { Cancel, OtherVersion, LockedTree };
  for (Choice choice : {Choice::Cancel, Choice::OtherVersion, Choice::LockedTree}) {
    SCOPED_TRACE(static_cast<int>(choice));
    Window w;
    w.p.AddFile(w.app.HostBinFolder + "Maxthon.exe", "MZ");
    w.p.fileVersions["c:\\m3\\bin\\maxthon.exe"] = "3.0.20.100";
    w.p.AddFile(otherBin + "Maxthon.exe", "MZ");
    w.p.fileVersions["e:\\maxthon b\\bin\\maxthon.exe"] = "3.0.15.300";
    w.p.AddFile(otherBin + "Resource.dat", "host B");
    w.p.AddFile(kSettings, "[General]\r\nFileVersion=3.0.20.100\r\n");
    w.p.AddFile(css, "tweaked");
    w.p.AddFile(packed, "packed");
    w.p.AddFile(backupA, "backup of A");
    ASSERT_TRUE(RecordTree(w.app.Host()));
    if (choice == Choice::LockedTree) {
      w.p.AddFile(tree + "\\ui\\locked.css", "x", /*readOnly=*/true);
      w.p.fileVersions["c:\\m3\\bin\\maxthon.exe"] = "3.0.21.1";
    }
    w.logic.OnLoad();
    const auto captionsBefore = std::count(w.view.log.begin(), w.view.log.end(), "caption MenuTop");
    w.ui.whileOpen = [&] {
      if (choice == Choice::OtherVersion) w.app.HostBinFolder = otherBin;
    };

    w.logic.Run(Command("SetFolder"));

    EXPECT_EQ(w.ui.owners, std::vector<WindowHandle>{4242});
    const auto languageApplied = std::count(w.view.log.begin(), w.view.log.end(), "caption MenuTop") - captionsBefore;
    EXPECT_EQ(*w.p.Contents(backupA), "backup of A");
    switch (choice) {
      case Choice::Cancel:
        EXPECT_EQ(languageApplied, 1);
        EXPECT_TRUE(w.p.started.empty());
        EXPECT_EQ(*w.p.Contents(css), "tweaked");
        EXPECT_EQ(*w.p.Contents(packed), "packed");
        EXPECT_EQ(w.view.destroyed, 0);
        break;
      case Choice::OtherVersion:
        EXPECT_EQ(w.app.HostVersion, "3.0.15.300");
        EXPECT_TRUE(w.app.SingleSkinHost);
        EXPECT_EQ(languageApplied, 1);
        EXPECT_FALSE(w.view.Enabled(Option::HideNewTab));
        EXPECT_EQ(*w.p.Contents(kFolder + "\\Resource3.0.15.300.dat"), "host B");
        EXPECT_EQ(*w.p.Contents(css), "host B");
        EXPECT_TRUE(w.logic.OkEnabled());
        EXPECT_EQ(w.view.destroyed, 0);
        break;
      case Choice::LockedTree:
        ASSERT_EQ(w.p.messages.size(), 1u);
        EXPECT_EQ(w.p.messages[0].text.find("The working folder " + tree + " could not be removed"), 0u);
        EXPECT_EQ(languageApplied, 0);
        EXPECT_TRUE(w.p.started.empty());
        EXPECT_TRUE(w.p.Contents(tree + "\\ui\\locked.css"));
        EXPECT_EQ(w.view.destroyed, 1);
        break;
    }
  }
}

// --- Commands -----------------------------------------------------------------

// A running browser with a window whose closing the user declines: Apply
// then stops after the question and the window stays.
void DeclineClosingTheHost(Window& w) {
  w.app.HostBinFolder = "C:\\M3\\Bin\\";
  w.p.AddProcess("Maxthon.exe", "C:\\M3\\Bin\\Maxthon.exe");
  test::FakeWindow host;
  host.handle = 900;
  host.className = std::string(kHostWindowClass);
  host.title = "Maxthon";
  w.p.windows.push_back(host);
  for (int i = 0; i < 10; ++i) w.p.answers.push_back(MessageResult::Cancel);
}

TEST(Commands, EnterAppliesOncePerPressAndEscapeDoesNothing) {
  Window w;
  DeclineClosingTheHost(w);
  w.logic.OnLoad();
  EXPECT_TRUE(w.logic.OnKeyDown(kKeyEnter, false));
  EXPECT_EQ(w.p.messages.size(), 1u);
  EXPECT_TRUE(w.logic.OnKeyDown(kKeyEnter, true));
  EXPECT_TRUE(w.logic.OnKeyDown(kKeyEscape, false));
  EXPECT_FALSE(w.logic.OnKeyDown('A', false));
  EXPECT_EQ(w.p.messages.size(), 1u);
  // Shortcuts: a held F1 opens one help page; P wants Ctrl without Alt.
  EXPECT_TRUE(w.logic.OnKeyDown(kKeyF1, false) && w.logic.OnKeyDown(kKeyF1, true));
  EXPECT_EQ(w.p.browserOpened.size(), 1u);
  EXPECT_FALSE(w.logic.OnKeyDown(kKeyP, false) || w.logic.OnKeyDown(kKeyP, false, /*ctrlOnly=*/false));
  EXPECT_EQ(w.view.destroyed, 0);
  EXPECT_TRUE(ReadSettingsValue(w.app, "HideSearchBar", "") == "0");

  w.logic.SetBusy(true);
  EXPECT_TRUE(w.logic.OnKeyDown(kKeyEnter, false));
  EXPECT_EQ(w.p.messages.size(), 1u);
  EXPECT_FALSE(w.view.Enabled(Control::Ok));
  EXPECT_FALSE(w.view.Enabled(Item("SetFolder")) || w.view.Enabled(Item("Restore")));
}

TEST(Commands, EnterInAFieldChecksItBeforeSaving) {
  Window w;
  DeclineClosingTheHost(w);
  w.logic.OnLoad();
  w.logic.OnFieldFocused(Option::MaxTabWidthText);
  w.logic.OnTextChanged(Option::MaxTabWidthText, "50");
  w.logic.OnKeyDown(kKeyEnter, false);
  EXPECT_EQ(ReadSettingsValue(w.app, "MaxTabWidth", ""), "100");
  EXPECT_EQ(w.view.texts.at(Option::MaxTabWidthText), "100");
  // A settings file that takes nothing stops OK before it asks to close Maxthon.
  w.p.SetReadOnly(kSettings, true);
  w.logic.Run(Command("OK"));
  ASSERT_EQ(w.p.messages.size(), 2u);
  EXPECT_TRUE(w.p.messages[1].text.starts_with("Ravelwick could not save the options in " + kSettings));
}

TEST(Commands, ApplyWithSingleSkinHostTweaksOnlyTheModernSkin) {
  for (bool singleSkinHost : {false, true}) {
    Window w;
    DeclineClosingTheHost(w);
    w.app.SingleSkinHost = singleSkinHost;
    const std::string modern = kFolder + "\\Resource\\ui\\main\\index.css";
    const std::string classic = kFolder + "\\Resource\\ui\\main.classic\\index.css";
    w.p.AddFile(modern, "body{}\r\n");
    w.p.AddFile(classic, "body{}\r\n");
    ASSERT_TRUE(RecordTree(w.app.Host()));
    w.logic.OnLoad();
    w.logic.Run(Command("OK"));
    EXPECT_NE(w.p.Contents(modern), "body{}\r\n");
    EXPECT_EQ(w.p.Contents(classic) == "body{}\r\n", singleSkinHost);
    // The log tells what changed and why nothing was installed.
    const std::string log = w.p.Contents(kFolder + "\\ravelwick.log").value_or("");
    EXPECT_NE(log.find(singleSkinHost ? "Files changed: ui/main/index.css\r\n"
                                      : "Files changed: ui/main/index.css, ui/main.classic/index.css\r\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Archive installed: no: the browser was left running\r\n\r\n"), std::string::npos) << log;
  }
}

// An install cut off while it watched the browser start left the archive
// from before: the first activation offers it back, and either answer
// leaves no archive lost.
TEST(Commands, FirstActivationOffersTheArchiveAnInterruptedInstallKept) {
  for (const bool putBack : {true, false}) {
    Window w;
    const Installation host = w.app.Host();
    w.p.AddFile(host.HostArchive(), "archive before");
    ASSERT_TRUE(KeepAside(host));
    w.p.AddFile(host.HostArchive(), "host archive");
    w.p.answers.push_back(putBack ? MessageResult::Ok : MessageResult::Cancel);
    w.logic.OnLoad();
    w.logic.OnActivate();
    ASSERT_FALSE(w.p.messages.empty());
    EXPECT_EQ(w.p.messages.front().text, Text(w.app, "KeptAsideFound"));
    EXPECT_EQ(w.p.Contents(host.HostArchive()), putBack ? "archive before" : "host archive");
    EXPECT_FALSE(w.p.Contents(host.KeptAsidePath()) || w.p.Contents(host.KeptAsideRecordPath()));
    EXPECT_EQ(w.p.Contents(kFolder + "\\ravelwick.log").has_value(), putBack);
    w.logic.OnActivate();
    EXPECT_EQ(w.p.messages.size(), 1u);
  }
}

// After a browser update the first activation asks, once per version,
// whether the stored options go onto it; No is remembered.
TEST(Commands, AfterAnUpdateTheStoredOptionsAreOfferedOncePerVersion) {
  struct Row {
    std::string settings;
    std::optional<MessageResult> answer;  // nullopt: no question expected
    bool applied;
  };
  const Row rows[] = {
      {"[General]\r\nHideHome=1\r\nShowModeText=1\r\n", MessageResult::Ok, true},
      {"[General]\r\nHideHome=1\r\nShowModeText=1\r\n", MessageResult::Cancel, false},
      {"[General]\r\nHideHome=1\r\nReapplyDeclined=3.0.20.100\r\n", std::nullopt, false},
      {"[General]\r\nHideHome=0\r\n", std::nullopt, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.settings);
    Window w;
    w.p.AddFile(kSettings, row.settings);
    w.p.AddFile(kFolder + "\\Resource\\ui\\main\\index.css", "body{}");
    w.p.AddFile(kFolder + "\\Resource\\ui\\main\\navbar.htm", "<div class=\"navbar\">");
    ASSERT_TRUE(RecordTree(w.app.Host()));
    Write(w.app, ProgramSetting::UpdatedFromVersion, w.app.UpdatedFromVersion = "3.0.15.300");
    if (row.answer) w.p.answers.push_back(*row.answer);
    w.logic.OnLoad();
    w.logic.OnActivate();
    ASSERT_EQ(w.p.messages.size(), row.answer ? 1u : 0u);
    if (row.answer) {
      // The mode text finds no place in this navigation bar.
      EXPECT_EQ(w.p.messages[0].text,
                "Maxthon 3 was updated from 3.0.15.300 to 3.0.20.100, which brought back its default look. Apply "
                "your 2 tweaks to Maxthon 3.0.20.100 now? (1 of them find no place in the new version's interface "
                "and will have no effect; Preview Changes shows which.)");
    }
    EXPECT_EQ(w.p.Contents(w.app.Host().HostArchive()) != "host archive", row.applied);
    EXPECT_EQ(Read(w.app, ProgramSetting::ReapplyDeclined) == "3.0.20.100",
              row.answer != MessageResult::Ok && row.settings.find("HideHome=1") != std::string::npos);
    EXPECT_EQ(Read(w.app, ProgramSetting::UpdatedFromVersion), "");
    w.logic.OnActivate();
    EXPECT_EQ(w.p.messages.size(), row.answer ? 1u : 0u);
  }
}

// Every wait of the road is shown, and a close asked for meanwhile waits for
// the road's end instead of pulling the window away under it.
TEST(Commands, ApplyShowsEachWaitAndPutsOffACloseUntilTheRoadEnds) {
  Window w;
  w.p.AddFile(kFolder + "\\Resource\\ui\\main\\index.css", "body{}");
  ASSERT_TRUE(RecordTree(w.app.Host()));
  w.logic.OnLoad();
  int destroyedDuringRoad = -1;
  w.p.onSleep = [&] {
    if (destroyedDuringRoad >= 0) return;
    w.logic.Close();
    destroyedDuringRoad = w.view.destroyed;
  };
  w.logic.Run(Command("OK"));
  EXPECT_EQ(destroyedDuringRoad, 0);
  EXPECT_EQ(w.view.destroyed, 1);
  ASSERT_FALSE(w.view.progress.empty());
  EXPECT_EQ(w.view.progress.front(), "Packing the new interface... 0 s (at most 20 s) 2%");
  EXPECT_NE(std::find(w.view.progress.begin(), w.view.progress.end(),
                      "Waiting for Maxthon 3 to start with the new look... 1 s (at most 15 s) 8%"),
            w.view.progress.end());
  EXPECT_EQ(w.view.progress.back(), "hidden");
}

TEST(Commands, FirstActivationUnpacksOnlyOnceAndOnlyWhenTheTreeIsMissing) {
  const auto unpacks = [](const FakePlatform& p) {
    return std::count_if(p.started.begin(), p.started.end(),
                         [](const std::string& c) { return c.find("unpak.exe") != std::string::npos; });
  };
  Window w;
  w.logic.OnLoad();
  w.logic.OnActivate();
  EXPECT_EQ(unpacks(w.p), 1);
  EXPECT_TRUE(w.logic.OkEnabled());
  w.logic.OnActivate();
  EXPECT_EQ(unpacks(w.p), 1);

  // A tree is kept only when its unpack was recorded as finished.
  for (bool recorded : {true, false}) {
    Window present;
    present.p.AddFile(kFolder + "\\Resource\\ui\\main\\index.css", "css");
    if (recorded) {
      ASSERT_TRUE(RecordTree(present.app.Host()));
    }
    present.logic.OnLoad();
    present.logic.OnActivate();
    EXPECT_EQ(unpacks(present.p), recorded ? 0 : 1);
    present.logic.OnActivate();  // activated once for all
    EXPECT_EQ(unpacks(present.p), recorded ? 0 : 1);
  }
}

// --- Preview --------------------------------------------------------------------

// Every file of the double with its bytes: what a preview must leave alone.
std::map<std::string, std::string> AllFiles(const FakePlatform& p) {
  std::map<std::string, std::string> files;
  for (const std::string& path : p.FilesBelow("C:")) files[path] = *p.Contents(path);
  return files;
}

long Unpacks(const FakePlatform& p) {
  return std::count_if(p.started.begin(), p.started.end(),
                       [](const std::string& c) { return c.find("unpak.exe") != std::string::npos; });
}

const PreviewSection* SectionOf(const Preview& preview, const std::string& title) {
  for (const PreviewSection& section : preview.sections)
    if (section.title == title) return &section;
  return nullptr;
}

TEST(Preview, UnpacksAMissingTreeFirstThenShowsTheChangedFilesOverTheWindowAndWritesNothing) {
  Window w;
  w.logic.OnLoad();
  w.logic.OnCheckClicked(Option::HideHome);
  w.logic.Run(Command("Preview"));
  EXPECT_EQ(Unpacks(w.p), 1);
  EXPECT_TRUE(w.p.messages.empty());
  ASSERT_EQ(w.ui.previews.size(), 1u);
  EXPECT_EQ(w.ui.previewOwners, std::vector<WindowHandle>{4242});
  const Preview& preview = w.ui.previews[0];
  ASSERT_FALSE(preview.sections.empty());
  EXPECT_EQ(preview.sections[0].title, "Summary");
  const PreviewSection* css = SectionOf(preview, "ui/main/index.css");
  ASSERT_NE(css, nullptr);
  EXPECT_NE(css->text.find("\n+#BTN_HOME{display:none}"), std::string::npos) << css->text;
  EXPECT_EQ(preview.changedFiles, static_cast<int>(preview.sections.size()) - 1);

  // With the tree there, nothing is unpacked again and nothing is written:
  // not the options, not the tree, not an archive, neither while the
  // preview is open nor after it closed.
  const auto before = AllFiles(w.p);
  bool checkedWhileOpen = false;
  w.ui.whilePreviewOpen = [&] {
    checkedWhileOpen = true;
    EXPECT_EQ(AllFiles(w.p), before);
  };
  w.logic.OnCheckClicked(Option::HideStatusBar);
  w.app.LanguageName = "Chinese Simplified";  // names the summary in its words
  w.logic.Run(Command("Preview"));
  EXPECT_TRUE(checkedWhileOpen);
  EXPECT_EQ(AllFiles(w.p), before);
  EXPECT_EQ(Unpacks(w.p), 1);
  EXPECT_FALSE(w.p.files.FileExists(kSettings));
  EXPECT_EQ(*w.p.Contents(kFolder + "\\Resource.dat"), "host archive");  // as the unpack left it
  EXPECT_EQ(*w.p.Contents("C:\\M3\\Bin\\Resource.dat"), "host archive");
  ASSERT_EQ(w.ui.previews.size(), 2u);
  EXPECT_NE(SectionOf(w.ui.previews[1], "ui/main/index.css")->text.find("display:none"), std::string::npos);
  EXPECT_EQ(w.ui.previews[1].sections[0].title, "摘要");
  EXPECT_EQ(w.view.destroyed, 0);
  EXPECT_TRUE(w.logic.OkEnabled());
}

TEST(Preview, ChecksTheFocusedFieldFirstAsOkDoes) {
  Window w;
  w.logic.OnLoad();
  w.logic.OnCheckClicked(Option::MaxTabWidth);
  w.logic.OnFieldFocused(Option::MaxTabWidthText);
  w.logic.OnTextChanged(Option::MaxTabWidthText, "50");
  w.logic.Run(Command("Preview"));
  EXPECT_EQ(w.view.texts.at(Option::MaxTabWidthText), "100");
  ASSERT_EQ(w.ui.previews.size(), 1u);
  const PreviewSection* css = SectionOf(w.ui.previews[0], "ui/main/index.css");
  ASSERT_NE(css, nullptr);
  EXPECT_NE(css->text.find("{max-width:100 "), std::string::npos) << css->text;
  EXPECT_EQ(css->text.find(":50 "), std::string::npos) << css->text;
  EXPECT_FALSE(w.p.files.FileExists(kSettings));
}

TEST(Preview, WithoutAHostVersionTellsWhyAsOkDoesAndShowsNothing) {
  Window w;
  w.app.HostVersion.clear();
  w.logic.OnLoad();
  const auto before = AllFiles(w.p);
  w.logic.Run(Command("Preview"));
  ASSERT_EQ(w.p.messages.size(), 1u);
  EXPECT_EQ(w.p.messages[0].text.find("Ravelwick cannot read the version of C:\\M3\\Bin\\Maxthon.exe"), 0u)
      << w.p.messages[0].text;
  EXPECT_TRUE(w.ui.previews.empty());
  EXPECT_EQ(Unpacks(w.p), 0);
  EXPECT_EQ(AllFiles(w.p), before);
}

TEST(Preview, IgnoredWhileUnpackingOrApplyingAndOnceClosed) {
  Window w;
  w.logic.OnLoad();
  w.logic.SetBusy(true);  // as the unpacker does while it runs
  EXPECT_FALSE(w.view.Enabled(Item("Preview")));
  w.logic.Run(Command("Preview"));
  EXPECT_TRUE(w.ui.previews.empty());
  EXPECT_EQ(Unpacks(w.p), 0);
  w.logic.SetBusy(false);
  EXPECT_TRUE(w.view.Enabled(Item("Preview")));

  // A second preview asked for over the open one (a command posted to the
  // disabled window) is not shown.
  w.ui.whilePreviewOpen = [&] { w.logic.Run(Command("Preview")); };
  w.logic.Run(Command("Preview"));
  EXPECT_EQ(w.ui.previews.size(), 1u);
  w.ui.whilePreviewOpen = nullptr;

  // Unpacking lets events run: a preview asked for meanwhile waits for none.
  Window unpacking;
  unpacking.logic.OnLoad();
  unpacking.p.onStart = [&, fakeStart = unpacking.p.onStart](const std::string& commandLine, bool hidden) {
    fakeStart(commandLine, hidden);
    unpacking.logic.Run(Command("Preview"));
  };
  unpacking.logic.OnActivate();
  EXPECT_EQ(Unpacks(unpacking.p), 1);
  EXPECT_TRUE(unpacking.ui.previews.empty());

  w.logic.Run(Command("Cancel"));
  w.logic.Run(Command("Preview"));
  EXPECT_EQ(w.ui.previews.size(), 1u);
}

TEST(Preview, AFailedUnpackIsToldAndShowsNoPreview) {
  Window w;
  w.tools.unpackerExitCode = 1;
  w.logic.OnLoad();
  w.logic.Run(Command("Preview"));
  EXPECT_EQ(Unpacks(w.p), 1);
  ASSERT_EQ(w.p.messages.size(), 1u);
  EXPECT_EQ(w.p.messages[0].text.find("The resource file"), 0u) << w.p.messages[0].text;
  EXPECT_TRUE(w.ui.previews.empty());
}

// A running browser, a cut-off install, an update and no tree: every wait.
struct BusyWindow : Window {
  BusyWindow() {
    const Installation host = app.Host();
    p.windows.push_back({900, std::string(kHostWindowClass), "", p.AddProcess("Maxthon.exe", host.HostExecutable())});
    p.AddFile(host.HostExecutable(), "MZ");
    p.fileVersions["c:\\m3\\bin\\maxthon.exe"] = "3.0.20.100";
    p.AddFile(kSettings, "[General]\r\nFileVersion=3.0.20.100\r\nHideHome=1\r\n");
    p.AddFile(host.BackupPath(), "backup");
    p.AddFile(host.HostArchive(), "backup");
    KeepAside(host);
    p.AddFile(host.HostArchive(), "host archive");
    app.UpdatedFromVersion = "3.0.15.300";
    ui.savePath = kFolder + "\\exported.ini";
    ui.openPath = kSettings;
    logic.OnLoad();
  }
  // The files but those that hold the time, the processes, the windows.
  auto Trace() {
    std::map<std::string, std::string> files = AllFiles(p);
    files.erase(kFolder + "\\ravelwick.log");
    files.erase(kFolder + "\\exported.ini");
    std::erase_if(files, [](const auto& file) { return file.first.starts_with(kFolder + "\\Looks\\"); });
    return std::tuple(files, p.started, ui.owners.size() + ui.previews.size());
  }
};

using Fire = std::function<void(MainWindowLogic&)>;

// Every row of the command table, and what else starts a command or a road.
std::vector<std::pair<std::string, Fire>> AllCommands() {
  std::vector<std::pair<std::string, Fire>> all = {
      {"Enter", [](MainWindowLogic& l) { l.OnKeyDown(kKeyEnter, false); }},
      {"Ctrl+P", [](MainWindowLogic& l) { l.OnKeyDown(kKeyP, false, /*ctrlOnly=*/true); }},
      {"F1", [](MainWindowLogic& l) { l.OnKeyDown(kKeyF1, false); }},
      {"Language", [](MainWindowLogic& l) { l.OnLanguageChosen(1); }},
      {"first activation", [](MainWindowLogic& l) { l.OnActivate(); }},  // put back, unpack, re-apply
  };
  for (const WindowCommand& command : WindowCommands())
    if (command.handler) all.emplace_back(command.captionKey, [&command](MainWindowLogic& l) { l.Run(command); });
  return all;
}

// A command at a wait of a road starts none; a close waits or drops the rest.
TEST(Commands, NoneStartsARoadInsideAnotherAndACloseWaitsForItsEnd) {
  int scenarios = 0;
  const auto commands = AllCommands();
  for (const auto& [road, start] : commands) {
    if (road == "About" || road == "Enter" || road == "Ctrl+P" || road == "F1" || road == "Help" || road == "OpenLog" ||
        road == "CopyDiagnostics" || road == "Cancel" || road == "Exit" || road == "UndoLastApply")
      continue;  // no road of its own, or another's (Undo here: no earlier look, a box only)
    std::vector<std::string> waits;
    BusyWindow clean;
    clean.view.onWait = [&](const std::string& where) {
      if (std::find(waits.begin(), waits.end(), where) == waits.end()) waits.push_back(where);
    };
    start(clean.logic);
    for (const std::string& wait : waits)
      for (const auto& [command, fire] : commands) {
        SCOPED_TRACE(road + ": " + command + " at " + wait);
        BusyWindow w;
        bool fired = false, goneMidRoad = false;
        w.view.onWait = [&](const std::string& where) {
          if (where != wait || std::exchange(fired, true)) return;
          const std::size_t boxes = w.p.messages.size();
          fire(w.logic);
          EXPECT_EQ(w.p.messages.size(), boxes) << "a box opened over the road's wait";
        };
        w.p.onSleep = [&] { goneMidRoad |= w.view.destroyed > 0; };
        start(w.logic);
        w.logic.OnCloseTimer();
        const bool closes = command == "Exit" || command == "Cancel";
        EXPECT_TRUE(closes || w.Trace() == clean.Trace());
        EXPECT_EQ(w.view.destroyed, closes ? 1 : clean.view.destroyed);
        EXPECT_FALSE(goneMidRoad);
        const auto archive = w.p.Contents(w.app.Host().HostArchive());
        // As the clean road left it, put back, or untouched when the close came first.
        EXPECT_TRUE(archive == clean.p.Contents(w.app.Host().HostArchive()) || archive == "backup" ||
                    archive == "host archive");
        ++scenarios;
      }
  }
  std::cout << "re-entry: " << scenarios << " scenarios" << std::endl;
}

// The window's part that runs without a window.
class FakePreviewView : public PreviewView {
 public:
  void SetCaptions(const std::string& t, const std::string& c) override {
    title = t;
    close = c;
  }
  void SetSectionTitles(const std::vector<std::string>& t) override { titles = t; }
  void SelectSection(std::size_t index) override { selected = index; }
  void ShowText(const std::string& t) override { texts.push_back(t); }
  void Close() override { ++closed; }

  std::string title, close;
  std::vector<std::string> titles;
  std::size_t selected = 99;
  std::vector<std::string> texts;
  int closed = 0;
};

TEST(PreviewWindow, ListsTheSectionsShowsTheSummaryFirstAndClosesOnEscape) {
  Window w;
  w.app.LanguageName = "Chinese Simplified";
  Preview preview;
  preview.sections = {{"Summary", "Warning: one\nHide Home Button\n"},
                      {"ui/main/index.css", "--- a/ui/main/index.css\r\n+#BTN_HOME{display:none}\r\n"}};
  FakePreviewView view;
  PreviewWindow logic(w.app, preview, view);
  logic.OnLoad();
  EXPECT_EQ(view.title, "预览更改");
  EXPECT_EQ(view.close, "关闭");
  EXPECT_EQ(view.titles, (std::vector<std::string>{"Summary", "ui/main/index.css"}));
  EXPECT_EQ(view.selected, 0u);
  EXPECT_EQ(view.texts, std::vector<std::string>{"Warning: one\r\nHide Home Button\r\n"});

  logic.OnSectionChosen(1);
  EXPECT_EQ(view.texts.back(), "--- a/ui/main/index.css\r\n+#BTN_HOME{display:none}\r\n");
  EXPECT_EQ(logic.Shown(), 1u);
  logic.OnSectionChosen(2);
  EXPECT_EQ(view.texts.size(), 2u);
  EXPECT_EQ(logic.Shown(), 1u);

  EXPECT_FALSE(logic.OnKeyDown(kKeyEnter));
  EXPECT_EQ(view.closed, 0);
  EXPECT_TRUE(logic.OnKeyDown(kKeyEscape));
  EXPECT_EQ(view.closed, 1);

  Window english;
  FakePreviewView englishView;
  PreviewWindow englishLogic(english.app, preview, englishView);
  englishLogic.OnLoad();
  EXPECT_EQ(englishView.title, "Preview Changes");
  EXPECT_EQ(englishView.close, "Close");
}

TEST(PreviewWindow, TextsTakeTheLineEndsOfAnEditControl) {
  EXPECT_EQ(ForEditControl(""), "");
  EXPECT_EQ(ForEditControl("a\nb"), "a\r\nb");
  EXPECT_EQ(ForEditControl("\n\n"), "\r\n\r\n");
  EXPECT_EQ(ForEditControl("a\r\nb\r\n"), "a\r\nb\r\n");
  EXPECT_EQ(ForEditControl("+x\r\n-y\n"), "+x\r\n-y\r\n");
  EXPECT_EQ(ForEditControl("lone\rcr"), "lone\rcr");
  EXPECT_EQ(ForEditControl(std::string("a\0b", 3)),
            "a\xE2\x90\x80"
            "b");
}

// --- Replacement images -----------------------------------------------------

TEST(ReplacementImages, SeventeenCopiesEachStandingAlone) {
  const std::string src = kFolder + "\\ResFiles\\";
  const std::string ui = kFolder + "\\Resource\\ui\\";
  const char* const sources[] = {"nav_tool.png",
                                 "nav_account.png",
                                 "avatar_mx3.png",
                                 "avatar_mask_tweak.png",
                                 "nav_account_classic.png",
                                 "statusbar_bg_bottom_tab.png",
                                 "tab_active_bottom_tab.png",
                                 "tab_bottom_tab.png",
                                 "tab_bottom_tab_aero.png",
                                 "tab_hover_bottom_tab.png",
                                 "tab_new_bottom_tab_aero.png",
                                 "tabbar_bg_bottom_tab.png",
                                 "tabbar_bg_bottom_tab_aero.png",
                                 "toolbar_bg_bottom_tab.png"};
  FakePlatform p(kFolder);
  App app(p, kFolder);
  for (const char* name : sources)
    if (std::string(name) != "tab_bottom_tab.png") p.AddFile(src + name, std::string("img:") + name);
  p.AddFolder(ui + "main\\images");
  p.AddFolder(ui + "main.classic\\images");
  p.AddFile(ui + "main\\images\\nav_tool.png", "edited by hand");

  int copies = 0;
  p.failHook = [&](Op op, const std::string&) { return op == Op::Copy && ++copies < 0; };
  CopyReplacementImages(app.Host());
  EXPECT_EQ(copies, 17);
  // Again: what is in place stays; a target changed since and the one whose
  // source is missing are tried again.
  p.AddFile(ui + "main.classic\\images\\nav_account.png", "edited again");
  CopyReplacementImages(app.Host());
  EXPECT_EQ(copies, 19);

  EXPECT_EQ(p.FilesBelow(ui + "main\\images").size(), 4u);
  EXPECT_EQ(p.FilesBelow(ui + "main.classic\\images").size(), 12u);
  EXPECT_EQ(p.Contents(ui + "main\\images\\nav_tool.png"), "img:nav_tool.png");
  EXPECT_EQ(p.Contents(ui + "main\\images\\nav_account.png"), "img:nav_account.png");
  EXPECT_EQ(p.Contents(ui + "main.classic\\images\\nav_account.png"), "img:nav_account_classic.png");
  EXPECT_EQ(p.Contents(ui + "main.classic\\images\\avatar_mask_tweak.png"), "img:avatar_mask_tweak.png");
  EXPECT_FALSE(p.files.FileExists(ui + "main.classic\\images\\tab_bottom_tab.png"));

  FakePlatform noTree(kFolder);
  App first(noTree, kFolder);
  for (const char* name : sources) noTree.AddFile(src + name, "x");
  CopyReplacementImages(first.Host());
  EXPECT_FALSE(noTree.HasFolder(kFolder + "\\Resource"));
}

TEST(ReplacementImages, TheShippedPicturesAreTheFourteenPngFiles) {
  for (const char* name :
       {"nav_tool.png", "nav_account.png", "avatar_mx3.png", "avatar_mask_tweak.png", "nav_account_classic.png",
        "statusbar_bg_bottom_tab.png", "tab_active_bottom_tab.png", "tab_bottom_tab.png", "tab_bottom_tab_aero.png",
        "tab_hover_bottom_tab.png", "tab_new_bottom_tab_aero.png", "tabbar_bg_bottom_tab.png",
        "tabbar_bg_bottom_tab_aero.png", "toolbar_bg_bottom_tab.png"}) {
    const std::string bytes = ReadDataFile(std::string("ResFiles/") + name);
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1A\n") << name;
  }
}

// --- Moving settings ----------------------------------------------------------

const std::string kBackup = "D:\\Backup\\Ravelwick settings.ini";
const std::string kLook = "D:\\Moving\\look.ini";

// An option's value as the settings file spells it.
std::string ValueOf(const OptionModel& model, Option option) {
  return Def(option).kind == OptionKind::Check ? std::to_string(model.State(option)) : model.Text(option);
}

std::string ShownBy(const FakeView& view, Option option) {
  return Def(option).kind == OptionKind::Check ? std::to_string(view.checks.at(option)) : view.texts.at(option);
}

// Notepad's "Unicode": a byte-order mark, then little-endian UTF-16 units.
std::string Utf16Le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

TEST(MovingSettings, ExportThenChangeEveryControlThenImportGivesEveryControlBack) {
  Window w;
  // Values the field checks keep, and a mixed box.
  w.p.AddFile(
      kSettings,
      "[General]\r\nInstallFolder=C:\\M3\\\r\nHideHome=1\r\nHideUndo=2\r\nSetMaxTabWidth=1\r\nMaxTabWidth=250\r\n"
      "BkgndTabWidth=120\r\nMaxSearchWidth=300\r\nFontFamily=Arial, \xE5\xAE\x8B\xE4\xBD\x93\r\nFontSize=9pt\r\n");
  w.p.AddFolder("D:\\Backup");
  w.logic.OnLoad();
  const OptionModel before = w.logic.Model();
  const std::string stored = *w.p.Contents(kSettings);

  w.ui.savePath = kBackup;
  w.logic.Run(Command("ExportSettings"));
  EXPECT_TRUE(w.p.messages.empty());
  const std::string exported = w.p.Contents(kBackup).value_or("");
  EXPECT_TRUE(
      exported.starts_with("\xEF\xBB\xBF; Ravelwick settings, exported by Ravelwick 1.2.7\r\n"
                           "; Maxthon 3.0.20.100\r\n; 20"))
      << exported;
  EXPECT_NE(exported.find(" UTC\r\n[General]\r\nLanguage=English\r\nHideSearchBar=0\r\nHideStatusBar=0\r\n"),
            std::string::npos);
  for (const OptionDef& def : Options())
    EXPECT_EQ(ReadIniValue(w.p, kBackup, def.settingsKey, "?"), ValueOf(before, def.option)) << def.settingsKey;

  for (const OptionDef& def : Options()) {
    if (def.kind == OptionKind::Check)
      w.logic.OnCheckClicked(def.option);
    else
      w.logic.OnTextChanged(def.option, "changed");
    ASSERT_NE(ValueOf(w.logic.Model(), def.option), ValueOf(before, def.option)) << def.settingsKey;
  }
  w.ui.openPath = kBackup;
  w.logic.Run(Command("ImportSettings"));
  for (const OptionDef& def : Options()) {
    EXPECT_EQ(ValueOf(w.logic.Model(), def.option), ValueOf(before, def.option)) << def.settingsKey;
    EXPECT_EQ(ShownBy(w.view, def.option), ValueOf(before, def.option)) << def.settingsKey;
  }
  ASSERT_EQ(w.p.messages.size(), 1u);
  EXPECT_EQ(w.p.messages[0].text,
            "43 of 43 options were taken from " + kBackup + ".\r\n\r\nNothing is saved until you press OK.");
  EXPECT_EQ(*w.p.Contents(kSettings), stored);

  ASSERT_EQ(w.ui.fileDialogs.size(), 2u);
  EXPECT_EQ(w.ui.fileDialogs[0].title, "Export Settings");
  EXPECT_EQ(w.ui.fileDialogs[0].fileName, "Ravelwick settings.ini");
  EXPECT_EQ(w.ui.fileDialogs[0].settingsFiles, "Settings files");
  EXPECT_EQ(w.ui.fileDialogs[1].title, "Import Settings");
  EXPECT_EQ(w.ui.owners, (std::vector<WindowHandle>{4242, 4242}));
}

TEST(MovingSettings, AnyValuesTheChecksKeepSurviveExportAndImport) {
  const std::vector<std::string> widths = {"100", "180", "250.5", "400"};
  const std::vector<std::string> families = {"Segoe UI, Tahoma", "\xE5\xAE\x8B\xE4\xBD\x93", "A=B [C] #1", "x y"};
  const std::vector<std::string> sizes = {"12px", "9pt", "13.5px"};
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::minstd_rand random(seed);
    const auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    FakePlatform p(kFolder);
    App app(p, kFolder);
    p.AddFolder("D:\\Backup");
    OptionModel model = DefaultOptions();
    for (const OptionDef& def : Options()) {
      if (def.kind == OptionKind::Check) model.SetState(def.option, static_cast<int>(random() % 3));
      if (def.check == FieldCheck::Width) model.SetText(def.option, pick(widths));
      if (def.check == FieldCheck::BkgndTabWidth) model.SetText(def.option, std::to_string(16 + random() % 85));
      if (def.check == FieldCheck::FontFamily) model.SetText(def.option, pick(families));
      if (def.check == FieldCheck::FontSize) model.SetText(def.option, pick(sizes));
    }
    ASSERT_EQ(ExportSettings(app, model, kBackup).status, TransferStatus::Done);
    const ImportResult back = ReadSettingsForImport(app, kBackup, DefaultOptions());
    EXPECT_EQ(back.report.taken, kOptionCount) << seed;
    EXPECT_TRUE(back.report.corrected.empty() && back.report.unknown.empty() && back.report.missing.empty()) << seed;
    for (const OptionDef& def : Options())
      EXPECT_EQ(ValueOf(back.options, def.option), ValueOf(model, def.option)) << seed << " " << def.settingsKey;
  }
}

// Each bad input: what the window shows afterwards, what the one message
// says, and that nothing else changed (the settings file above all).
TEST(MovingSettings, BadInputChangesOnlyWhatItShouldAndSaysWhy) {
  struct Row {
    const char* name;
    std::string path;
    std::optional<std::string> bytes;  // at `path` beforehand
    bool exportTo;                     // else an import from `path`
    std::function<void(Window&)> arrange;
    std::map<Option, std::string> shown;  // the controls that change
    std::vector<std::string> said;
    std::vector<std::string> notSaid = {};
  };
  std::string binary = "\x89PNG\r\n\x1A\n";
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
  const auto locked = [](Window& w) {
    w.p.failHook = [](Op op, const std::string& path) { return op == Op::Replace && path == kLook; };
  };
  const auto unreadable = [](Window& w) {
    w.p.failHook = [](Op op, const std::string& path) { return op == Op::Read && path == kLook; };
  };
  const std::string nothing = "Nothing was changed.";
  const std::vector<Row> rows = {
      {"binary file", kLook, binary, false, nullptr, {}, {kLook + " holds none of Ravelwick's settings. " + nothing}},
      {"over 1 MB, never read",
       kLook,
       "[General]\r\nHideHome=1\r\n" + std::string(kMaxImportBytes, ';'),
       false,
       unreadable,
       {},
       {kLook + " is larger than 1 MB, so it cannot be a settings file. " + nothing}},
      {"missing file", kLook, std::nullopt, false, nullptr, {}, {kLook + " cannot be read. " + nothing}},
      {"100,000 characters, cut as the settings store cuts",
       kLook,
       "[General]\r\nMaxTabWidth=" + std::string(100000, '9') + "\r\nFontFamily=" + std::string(100000, 'A') + "\r\n",
       false,
       nullptr,
       {{Option::MaxTabWidthText, "400"}, {Option::FontFamilyText, std::string(1023, 'A')}},
       {"2 of 43 options", "Cut to 1023 bytes, as the settings file keeps values: MaxTabWidth, FontFamily\r\n",
        "MaxTabWidth: \"" + std::string(40, '9') + "...\" -> \"400\""}},
      {"duplicate keys, the first taken",
       kLook,
       "[General]\r\nHideHome=1\r\nhidehome=0\r\n[General]\r\nHIDEHOME=0\r\nHideUndo=1\r\n",
       false,
       nullptr,
       {{Option::HideHome, "1"}, {Option::HideUndo, "1"}},
       {"2 of 43 options", "Given more than once, the first was taken: HideHome\r\n"}},
      {"ANSI without byte-order mark",
       kLook,
       "[General]\r\nFontFamily=Caf\xE9 Sans\r\n",
       false,
       nullptr,
       {{Option::FontFamilyText, "Caf\xC3\xA9 Sans"}},
       {"1 of 43 options"}},
      {"UTF-16 with byte-order mark",
       kLook,
       Utf16Le(u"[General]\r\nHideHome=1\r\nFontFamily=\u5B8B\u4F53\r\n"),
       false,
       nullptr,
       {{Option::HideHome, "1"}, {Option::FontFamilyText, "\xE5\xAE\x8B\xE4\xBD\x93"}},
       {"2 of 43 options"}},
      {"non-ASCII path",
       "D:\\\xE8\xAE\xBE\xE7\xBD\xAE\\look \xE2\x98\x83.ini",
       "[General]\r\nHideHome=1\r\n",
       false,
       nullptr,
       {{Option::HideHome, "1"}},
       {"1 of 43 options were taken from D:\\\xE8\xAE\xBE\xE7\xBD\xAE\\look \xE2\x98\x83.ini."}},
      {"junk values, checked as the window checks them",
       kLook,
       "[General]\r\nMaxTabWidth=abc\r\nBkgndTabWidth=300\r\nHideHome=yes\r\nFontSize=\r\nHideUndo=1.5\r\n",
       false,
       nullptr,
       {{Option::MaxTabWidthText, "180"}, {Option::BkgndTabWidthText, "180"}, {Option::HideUndo, "2"}},
       {"4 of 43 options", "    HideHome: \"yes\" -> \"0\" (left as it was)\r\n    HideUndo: \"1.5\" -> \"2\"\r\n",
        "    MaxTabWidth: \"abc\" -> \"180\"\r\n", "    FontSize: \"\" -> \"12px\"\r\n",
        "    BkgndTabWidth: \"300\" -> \"180\"\r\n"}},
      {"style text in the font fields, named",
       kLook,
       "[General]\r\nFontSize=1px}*{x:1px\r\nFontFamily=\"A\"}b{\r\n",
       false,
       nullptr,
       {{Option::FontFamilyText, "Ab"}},
       {"    FontSize: \"1px}*{x:1px\" -> \"12px\"\r\n", "    FontFamily: \"\"A\"}b{\" -> \"Ab\""}},
      {"unknown keys, and this computer's own ignored quietly",
       kLook,
       "[General]\r\nColour=blue\r\nInstallFolder=E:\\M3\\\r\nFileVersion=3.0.1.1\r\nHealthCheck=0\r\n"
       "ReapplyDeclined=3.0.1.1\r\nHideHome=1\r\n[Other]\r\nHideUndo=1\r\n",
       false,
       nullptr,
       {{Option::HideHome, "1"}},
       {"Unknown and ignored: Colour\r\n", "Missing, left as they were: HideSearchBar, HideStatusBar,"},
       {"InstallFolder", "FileVersion", "HealthCheck", "ReapplyDeclined", "HideUndo,"}},
      {"greyed out on this host",
       kLook,
       "[General]\r\nTabOnBottom=1\r\nHideNewTab=0\r\n",
       false,
       [](Window& w) { w.app.SingleSkinHost = true; },
       {{Option::TabOnBottom, "1"}},
       {"so they have no effect here: \"Tab Bar on Bottom (must hide Avatar)\""}},
      {"a damaged named look, refused by name",
       kLook,
       "[General]\r\nHideHome=1\r\n[Named looks]\r\n1|Ravelwick look 1\r\n1|Name=Tea\r\n1|Check=0\r\n",
       false,
       nullptr,
       {{Option::HideHome, "1"}},
       {"Named look \"Tea\" refused", "Nothing is saved until you press OK."}},
      {"a named look, kept at once and said so",
       kLook,
       std::nullopt,
       false,
       [](Window& w) {
         Look tea;
         tea.name = "Tea";
         w.p.AddFile(kLook, "[General]\r\nHideHome=1\r\n" + NamedLooksExportText({tea}));
       },
       {{Option::HideHome, "1"}},
       {"Named look Tea taken", "The named looks taken are kept already"}},
      {"a language not installed here",
       kLook,
       "[General]\r\nLanguage=Klingon\r\n",
       false,
       nullptr,
       {},
       {"0 of 43 options", "The language \"Klingon\" is not installed here; the current language stays."}},
      {"the program's own settings.ini, just read", kSettings, std::nullopt, false, nullptr, {}, {"3 of 43 options"}},
      {"read-only export target",
       kLook,
       "old",
       true,
       [](Window& w) { w.p.SetReadOnly(kLook, true); },
       {},
       {"Ravelwick could not write " + kLook + ", so the settings were not exported.\r\n\r\nAccess is denied."}},
      {"locked export target", kLook, "old", true, locked, {}, {"could not write", "injected failure"}},
      {"export over settings.ini, spelled otherwise",
       "c:\\RAVELWICK\\Languages\\..\\settings.ini",
       std::nullopt,
       true,
       nullptr,
       {},
       {"c:\\RAVELWICK\\Languages\\..\\settings.ini is Ravelwick's own settings file"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Window w;
    w.p.AddFile(kSettings, "[General]\r\nLanguage=English\r\nHideHome=0\r\nSetMaxTabWidth=1\r\nMaxTabWidth=250\r\n");
    w.p.AddFolder("D:\\Moving");
    if (row.bytes) w.p.AddFile(row.path, *row.bytes);
    if (row.arrange) row.arrange(w);
    w.logic.OnLoad();
    const OptionModel before = w.logic.Model();
    const std::string stored = *w.p.Contents(kSettings);

    (row.exportTo ? w.ui.savePath : w.ui.openPath) = row.path;
    if (row.exportTo)
      w.logic.Run(Command("ExportSettings"));
    else
      w.logic.Run(Command("ImportSettings"));

    for (const OptionDef& def : Options()) {
      const auto shown = row.shown.find(def.option);
      const std::string expected = shown == row.shown.end() ? ValueOf(before, def.option) : shown->second;
      EXPECT_EQ(ValueOf(w.logic.Model(), def.option), expected) << def.settingsKey;
      if (shown != row.shown.end()) {
        EXPECT_EQ(ShownBy(w.view, def.option), expected) << def.settingsKey;
      }
    }
    ASSERT_EQ(w.p.messages.size(), 1u);
    for (const std::string& piece : row.said) EXPECT_NE(w.p.messages[0].text.find(piece), std::string::npos) << piece;
    for (const std::string& piece : row.notSaid)
      EXPECT_EQ(w.p.messages[0].text.find(piece), std::string::npos) << piece;
    EXPECT_EQ(*w.p.Contents(kSettings), stored);
    if (row.bytes) {
      EXPECT_EQ(w.p.Contents(row.path), row.bytes);
    }
    for (const std::string& file : w.p.FilesBelow("D:\\"))
      EXPECT_FALSE(file.ends_with(".tmp") || file.ends_with(".partial")) << file;
  }
}

TEST(MovingSettings, ImportAndResetTouchOnlyTheWindowUntilOkStoresThemWithTheLanguage) {
  for (const bool ok : {false, true}) {
    Window w;
    DeclineClosingTheHost(w);
    w.p.AddFile(kSettings, "[General]\r\nLanguage=English\r\nHideHome=1\r\nSetMaxTabWidth=1\r\nMaxTabWidth=250\r\n");
    w.p.AddFile(kLook, "[General]\r\nLanguage=chinese simplified\r\nHideUndo=1\r\n");
    w.logic.OnLoad();
    const std::string stored = *w.p.Contents(kSettings);

    w.logic.Run(Command("ResetDefaults"));
    for (const OptionDef& def : Options()) {
      EXPECT_EQ(ValueOf(w.logic.Model(), def.option), def.defaultValue) << def.settingsKey;
      EXPECT_EQ(ShownBy(w.view, def.option), def.defaultValue) << def.settingsKey;
    }
    w.logic.Run(Command("ImportSettings"));  // cancelled in the dialog
    EXPECT_TRUE(w.p.messages.empty());
    w.ui.openPath = kLook;
    w.logic.Run(Command("ImportSettings"));
    EXPECT_EQ(w.view.checks.at(Option::HideUndo), 1);
    EXPECT_EQ(w.view.captions.at(Option::HideHome), "隐藏主页按钮");
    EXPECT_EQ(w.view.langChecks, (std::vector<bool>{false, true}));
    ASSERT_EQ(w.p.messages.size(), 1u);
    EXPECT_NE(w.p.messages[0].text.find("语言：chinese simplified\r\n\r\n按“确定”之前不会保存任何内容。"),
              std::string::npos)
        << w.p.messages[0].text;
    EXPECT_EQ(*w.p.Contents(kSettings), stored);

    if (!ok) {
      w.logic.Run(Command("Cancel"));
      EXPECT_EQ(*w.p.Contents(kSettings), stored);
      continue;
    }
    w.logic.Run(Command("OK"));
    EXPECT_EQ(Read(w.app, ProgramSetting::Language), "Chinese Simplified");
    EXPECT_EQ(ReadSettingsValue(w.app, "HideHome", ""), "0");
    EXPECT_EQ(ReadSettingsValue(w.app, "HideUndo", ""), "1");
    EXPECT_EQ(ReadSettingsValue(w.app, "SetMaxTabWidth", ""), "0");
    EXPECT_EQ(ReadSettingsValue(w.app, "MaxTabWidth", ""), "180");
  }
}

TEST(MovingSettings, ImportIntoSettingsStoresWhatOkWouldAndKeepsThisComputersKeys) {
  const std::string ansi = "[General]\r\nInstallFolder=C:\\M3\\\r\nFileVersion=3.0.20.100\r\nLanguage=English\r\n";
  for (const bool readOnly : {false, true}) {
    Window w;
    w.p.AddFile(kSettings, ansi, readOnly);
    w.p.AddFile(kLook,
                "\xEF\xBB\xBF[General]\r\nHideHome=1\r\nMaxTabWidth=abc\r\nInstallFolder=E:\\Other\\\r\n"
                "FontFamily=\xE5\xAE\x8B\xE4\xBD\x93\r\nLanguage=Chinese Simplified\r\n");
    const StoredImport result = ImportIntoSettings(w.app, kLook);
    const std::string text = StoredImportText(w.app, result);
    EXPECT_NE(text.find("    MaxTabWidth: \"abc\" -> \"180\""), std::string::npos) << text;
    EXPECT_EQ(result.stored, !readOnly);
    if (readOnly) {
      EXPECT_EQ(*w.p.Contents(kSettings), ansi);
      EXPECT_TRUE(text.ends_with("Ravelwick could not write " + kSettings +
                                 ", so the settings were not stored.\r\n\r\nAccess is denied."))
          << text;
      continue;
    }
    EXPECT_TRUE(text.ends_with("\r\n\r\nThe settings were stored in " + kSettings + ".")) << text;
    // A value the code page cannot hold moves the file to UTF-8.
    EXPECT_TRUE(w.p.Contents(kSettings)->starts_with("\xEF\xBB\xBF[General]\r\nInstallFolder=C:\\M3\\\r\n"));
    const std::pair<const char*, const char*> expected[] = {{"InstallFolder", "C:\\M3\\"},
                                                            {"FileVersion", "3.0.20.100"},
                                                            {"Language", "Chinese Simplified"},
                                                            {"HideHome", "1"},
                                                            {"MaxTabWidth", "180"},
                                                            {"FontFamily", "\xE5\xAE\x8B\xE4\xBD\x93"},
                                                            {"HideUndo", "0"}};
    for (const auto& [key, value] : expected) EXPECT_EQ(ReadSettingsValue(w.app, key, "?"), value) << key;
    EXPECT_EQ(ReadIniKeys(w.p, kSettings).size(), 3u + kOptionCount);
  }

  // A refused file writes nothing.
  Window w;
  w.p.AddFile(kSettings, ansi);
  const StoredImport refused = ImportIntoSettings(w.app, kLook);
  EXPECT_FALSE(refused.stored);
  EXPECT_EQ(StoredImportText(w.app, refused), kLook + " cannot be read. Nothing was changed.");
  EXPECT_EQ(*w.p.Contents(kSettings), ansi);
}

// A look chosen in the Looks window waits in the window for OK, as an
// import does; only its own rules go to their files at once.
TEST(Looks, AChosenLookGoesIntoTheWindowAndNothingIsSavedOrInstalled) {
  Window w;
  w.p.AddFile(kSettings, "[General]\r\nHideHome=1\r\n");
  w.logic.OnLoad();
  const std::string stored = *w.p.Contents(kSettings);
  const std::string archive = *w.p.Contents(w.app.Host().HostArchive());
  w.logic.Run(Command("UndoLastApply"));
  ASSERT_EQ(w.p.messages.size(), 1u);  // no earlier look
  EXPECT_EQ(w.p.messages[0].text.find("There is no earlier look"), 0u);

  Look look;
  look.values = {{"HideUndo", "1"}};
  look.ownRules[0] = "#x{y:1}";
  w.ui.looks = {look, false};
  w.logic.Run(Command("Looks"));
  EXPECT_EQ(w.view.checks.at(Option::HideUndo), 1);
  EXPECT_EQ(w.view.checks.at(Option::HideHome), 0);
  EXPECT_EQ(*w.p.Contents(kSettings), stored);
  EXPECT_EQ(*w.p.Contents(w.app.Host().HostArchive()), archive);
  EXPECT_EQ(w.p.Contents(kFolder + "\\Own rules\\main.css"), "\xEF\xBB\xBF#x{y:1}");
}

}  // namespace
}  // namespace rw
