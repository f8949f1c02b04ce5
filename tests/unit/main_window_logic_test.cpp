#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "pipeline/pipeline.h"
#include "pipeline/tree_record.h"
#include "startup/app.h"
#include "startup/ui_factory.h"
#include "support/fake_platform.h"
#include "support/fake_tools.h"
#include "ui/catalogue.h"
#include "ui/main_window_logic.h"

namespace rw {
namespace {

using test::FakePlatform;
using test::Op;

const std::string kFolder = "C:\\Ravelwick";
const std::string kSettings = kFolder + "\\settings.ini";
const std::string kLanguages = kFolder + "\\Languages\\";

const char* const kHostDependent[] = {"chkNormalMenuButton", "chkAvatarToButton", "chkAvatarToMenu",
                                      "chkTabOnBottom",      "chkMenuToAvatar",   "chkHideNewTab",
                                      "chkHideFavBarButton"};

class FakeView : public MainView {
 public:
  WindowHandle Handle() override { return 4242; }
  void SetIcons(std::string_view name) override { log.push_back("icons " + std::string(name)); }
  void SetTitle(const std::string& t) override {
    title = t;
    log.push_back("title");
  }
  void SetCaption(std::string_view c, const std::string& text) override {
    captions[std::string(c)] = text;
    log.push_back("caption " + std::string(c));
  }
  void SetCheck(std::string_view c, int state) override {
    checks[std::string(c)] = state;
    log.push_back("check " + std::string(c));
  }
  void SetText(std::string_view c, const std::string& text) override {
    texts[std::string(c)] = text;
    log.push_back("text " + std::string(c));
  }
  void SetEnabled(std::string_view c, bool e) override { enabled[std::string(c)] = e; }
  void AddLanguageItem(const std::string& caption, bool checked) override {
    langItems.push_back(caption);
    langChecks.push_back(checked);
    log.push_back("lang " + caption);
  }
  void CheckLanguageItem(std::size_t i, bool checked) override { langChecks.at(i) = checked; }
  void Hide() override { hidden = true; }
  void Destroy() override { ++destroyed; }
  void CloseFolderDialog() override { ++dialogsClosed; }
  void StartUnloadTimer(unsigned ms) override { timerMs = ms; }
  void KillUnloadTimer() override { timerMs = 0; }

  bool Enabled(const std::string& c) const { return !enabled.count(c) || enabled.at(c); }
  std::size_t Index(const std::string& entry) const {
    return static_cast<std::size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
  }

  std::vector<std::string> log;
  std::string title;
  std::map<std::string, std::string> captions, texts;
  std::map<std::string, int> checks;
  std::map<std::string, bool> enabled;
  std::vector<std::string> langItems{"English"};
  std::vector<bool> langChecks{true};
  bool hidden = false;
  int destroyed = 0;
  int dialogsClosed = 0;
  unsigned timerMs = 0;
};

class FakeUi : public UiFactory {
 public:
  void ShowSetFolderDialog(App&, WindowHandle owner) override {
    owners.push_back(owner);
    if (whileOpen) whileOpen();
  }
  void ShowMainWindow(App&) override {}
  std::function<void()> whileOpen;
  std::vector<WindowHandle> owners;
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
  w.logic.Form_Load();

  const auto& v = w.view;
  EXPECT_EQ(v.log.front(), "icons AAA");
  EXPECT_LT(v.Index("icons AAA"), v.Index("title"));
  EXPECT_LT(v.Index("title"), v.Index("caption mnuMenu"));
  EXPECT_LT(v.Index("caption chkModernOnly"), v.Index("check chkHideHome"));
  EXPECT_LT(v.Index("text txtMaxTabWidth"), v.Index("lang Deutsch"));
  EXPECT_EQ(logAtFirstCopy, v.log.size());
  EXPECT_EQ(w.p.Contents(kFolder + "\\Resource\\ui\\main\\images\\nav_tool.png"), "PNG");

  EXPECT_EQ(v.title, "Ravelwick (1.2.7)");
  EXPECT_FALSE(w.logic.CompositionEnabled);
  EXPECT_FALSE(v.Enabled("chkAeroStatusBar"));
  EXPECT_EQ(v.checks.at("chkHideHome"), 1);
  EXPECT_EQ(v.texts.at("txtMaxTabWidth"), "abc");
  EXPECT_EQ(v.texts.at("txtFontSize"), "12px");
}

TEST(MainWindowLoad, EnglishCaptionsFromTheLanguageFileMatchTheDesignCaptions) {
  Window w;
  w.logic.Form_Load();
  for (const OptionDef& def : Options()) {
    if (def.kind != OptionKind::Check) continue;
    EXPECT_EQ(w.view.captions.at(std::string(def.control)), std::string(def.englishCaption) + std::string(def.marker));
  }
  for (const auto& [control, caption] : kDesignCaptions) EXPECT_EQ(w.view.captions.at(std::string(control)), caption);
  EXPECT_EQ(w.view.captions.at("chkClickableTitle"), "Title Bar clickable on top screen edge when maximized *");
  EXPECT_EQ(w.view.captions.at("chkTabOnBottom"), "Tab Bar on Bottom (must hide Avatar) #");
}

TEST(MainWindowLoad, OtherLanguagesKeepTheEnglishWordForTheLanguageMenu) {
  Window w;
  w.app.LanguageName = "Chinese Simplified";
  w.logic.Form_Load();
  EXPECT_EQ(w.view.captions.at("mnuLanguage"), "Language / 语言");
  EXPECT_EQ(w.view.captions.at("cmdOK"), "确定");
  EXPECT_EQ(w.view.captions.at("chkHideNewTab"), "隐藏新建标签按钮 #");

  for (const char* name : {"ENGLISH", "english"}) {
    Window e;
    e.app.LanguageName = name;
    e.logic.ApplyLanguage();
    EXPECT_EQ(e.view.captions.at("mnuLanguage"), "Language");
  }
}

TEST(MainWindowLoad, Host3015300DropsMarkersAndLegendsAndDisablesTheSevenUntilRepointed) {
  Window w;
  w.app.Host3015300 = true;
  w.p.AddFile(kSettings, "[General]\r\nTabOnBottom=1\r\n");
  w.logic.Form_Load();
  EXPECT_EQ(w.view.captions.at("chkClickableTitle"), "Title Bar clickable on top screen edge when maximized");
  EXPECT_EQ(w.view.captions.at("chkHideNewTab"), "Hide New Tab Button");
  EXPECT_EQ(w.view.captions.at("chkModernOnly"), "");
  EXPECT_EQ(w.view.captions.at("chkClassicOnly"), "");
  int disabled = 0;
  for (const OptionDef& def : Options()) disabled += !w.view.Enabled(std::string(def.control));
  EXPECT_EQ(disabled, 7);
  for (const char* name : kHostDependent) EXPECT_FALSE(w.view.Enabled(name)) << name;
  EXPECT_EQ(w.view.checks.at("chkTabOnBottom"), 1);

  w.app.Host3015300 = false;
  w.logic.ApplyLanguage();
  for (const char* name : kHostDependent) EXPECT_TRUE(w.view.Enabled(name)) << name;
  EXPECT_EQ(w.view.captions.at("chkHideNewTab"), "Hide New Tab Button #");
  EXPECT_EQ(w.view.captions.at("chkModernOnly"), "(*) Modern Skin only");
  EXPECT_EQ(w.view.checks.at("chkTabOnBottom"), 1);
}

TEST(MainWindowLoad, MissingLanguageTextsFallBackToEnglishThenToEmptyCaptions) {
  Window w(/*withLanguages=*/false);
  w.app.LanguageName = "Klingon";
  w.p.AddFile(kLanguages + "English.ini", "\xEF\xBB\xBF[General]\r\nOK=OK\r\nSetLanguage=Language\r\n");
  w.p.AddFile(kLanguages + "Klingon.ini", "[General]\r\nCancel=Qagh\r\n");
  w.logic.Form_Load();
  EXPECT_EQ(w.view.captions.at("cmdOK"), "OK");
  EXPECT_EQ(w.view.captions.at("cmdCancel"), "Qagh");
  EXPECT_EQ(w.view.captions.at("chkHideHome"), "");
  EXPECT_EQ(w.view.captions.at("chkHideNewTab"), " #");
  EXPECT_EQ(w.view.captions.at("mnuLanguage"), "Language / Language");

  Window none(/*withLanguages=*/false);
  none.logic.Form_Load();
  EXPECT_EQ(none.view.captions.at("mnuLanguage"), "");
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
    w.logic.Form_Load();

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
  w.logic.Form_Load();
  EXPECT_EQ(w.view.langChecks, (std::vector<bool>{true, false}));
}

TEST(LanguageMenu, ChoosingALanguageStoresItChecksItAndTranslates) {
  Window w;
  w.p.AddFile(kSettings, "[General]\r\nHideHome=1\r\n");
  w.logic.Form_Load();
  ASSERT_EQ(w.view.langItems.size(), 2u);
  w.logic.mnuLangList_Click(1);
  EXPECT_EQ(w.app.LanguageName, "Chinese Simplified");
  EXPECT_EQ(w.app.ReadSetting("Language", ""), "Chinese Simplified");
  EXPECT_EQ(w.view.langChecks, (std::vector<bool>{false, true}));
  EXPECT_EQ(w.view.captions.at("chkHideHome"), "隐藏主页按钮");
  EXPECT_EQ(w.view.checks.at("chkHideHome"), 1);
  EXPECT_EQ(w.view.title, "Ravelwick (1.2.7)");

  w.logic.mnuLangList_Click(0);
  EXPECT_EQ(w.view.langChecks, (std::vector<bool>{true, false}));
  EXPECT_EQ(w.view.captions.at("mnuLanguage"), "Language");
}

TEST(LanguageMenu, AFileRemovedAfterFillingOrABadIndexChangesNothing) {
  Window w;
  w.logic.Form_Load();
  ASSERT_TRUE(w.p.RemoveFile(kLanguages + "Chinese Simplified.ini"));
  w.logic.mnuLangList_Click(1);
  w.logic.mnuLangList_Click(7);
  EXPECT_EQ(w.app.LanguageName, "English");
  EXPECT_FALSE(w.p.FileExists(kSettings));
  EXPECT_EQ(w.view.langChecks, (std::vector<bool>{true, false}));
}

// --- Select All and clicks -------------------------------------------------

TEST(SelectAll, TicksEveryEnabledBoxIncludingLegendsAndLeavesDisabledOnesAndFields) {
  Window w;
  w.app.Host3015300 = true;
  w.p.composition = false;
  w.p.AddFile(kSettings, "[General]\r\nAeroStatusBar=0\r\nHideNewTab=2\r\nMaxTabWidth=abc\r\n");
  w.logic.Form_Load();
  w.logic.OnCheckClicked("chkSelectAll");

  const OptionModel& m = w.logic.Model();
  EXPECT_EQ(m.State("chkSelectAll"), 1);
  EXPECT_EQ(m.State("chkModernOnly"), 1);
  EXPECT_EQ(m.State("chkClassicOnly"), 1);
  EXPECT_EQ(m.State("chkAeroStatusBar"), 0);
  EXPECT_EQ(m.State("chkHideNewTab"), 2);
  EXPECT_EQ(m.State("chkNormalMenuButton"), 0);
  EXPECT_EQ(m.State("chkHideHome"), 1);
  EXPECT_EQ(w.view.checks.at("chkHideHome"), 1);
  EXPECT_EQ(m.Text("txtMaxTabWidth"), "abc");

  w.logic.OnCheckClicked("chkSelectAll");
  EXPECT_EQ(m.State("chkHideHome"), 0);
  EXPECT_EQ(m.State("chkModernOnly"), 0);
  EXPECT_EQ(m.State("chkHideNewTab"), 2);
}

TEST(SelectAll, ClicksToggleEnabledBoxesOnlyAndMixedGoesToUnticked) {
  Window w;
  w.p.composition = false;
  w.p.AddFile(kSettings, "[General]\r\nHideHome=2\r\nAeroStatusBar=1\r\n");
  w.logic.Form_Load();
  w.logic.OnCheckClicked("chkHideHome");
  EXPECT_EQ(w.logic.Model().State("chkHideHome"), 0);
  w.logic.OnCheckClicked("chkHideHome");
  EXPECT_EQ(w.logic.Model().State("chkHideHome"), 1);
  w.logic.OnCheckClicked("chkAeroStatusBar");
  EXPECT_EQ(w.logic.Model().State("chkAeroStatusBar"), 1);
  w.logic.OnCheckClicked("txtFontSize");
  w.logic.OnCheckClicked("nothing");
}

TEST(Fields, LeavingAFieldRunsItsCheckAndShowsTheResult) {
  Window w;
  w.logic.Form_Load();
  w.logic.OnFieldFocus("txtMaxTabWidth");
  w.logic.OnTextChanged("txtMaxTabWidth", "150");
  w.logic.OnFieldValidate("txtMaxTabWidth");
  w.logic.OnCheckClicked("chkMaxTabWidth");
  w.logic.OnTextChanged("txtBkgndTabWidth", "170");
  w.logic.OnFieldValidate("txtBkgndTabWidth");
  EXPECT_EQ(w.view.texts.at("txtBkgndTabWidth"), "150");
  w.logic.OnTextChanged("txtFontSize", " 14 ");
  w.logic.OnFieldValidate("txtFontSize");
  EXPECT_EQ(w.view.texts.at("txtFontSize"), "14px");
  EXPECT_EQ(w.logic.Snapshot().Text("txtFontSize"), "14px");
}

// --- Closing ----------------------------------------------------------------

TEST(Closing, PlainUnloadReleasesServicesAndDestroysOnce) {
  Window w;
  w.logic.Form_Load();
  w.logic.cmdCancel_Click();
  w.logic.mnuExit_Click();
  EXPECT_EQ(w.view.destroyed, 1);
  EXPECT_TRUE(w.app.ServicesReleased);
  EXPECT_EQ(w.logic.Handle(), 0u);
}

TEST(Closing, WhileTheFolderDialogIsOpenTheDialogClosesAndTheWindowFollowsOnTheTimer) {
  Window w;
  w.app.HostBinFolder = "C:\\M3\\Bin\\";
  w.p.AddFile("C:\\M3\\Bin\\Maxthon.exe", "exe");
  w.p.fileVersions["c:\\m3\\bin\\maxthon.exe"] = "3.0.20.1000";
  w.p.AddFile(kSettings, "[General]\r\nFileVersion=3.0.20.1000\r\n");
  w.p.AddFolder(kFolder + "\\Resource");
  w.logic.Form_Load();

  bool openDuringDialog = false;
  w.ui.whileOpen = [&] {
    openDuringDialog = w.logic.FolderDialogOpen;
    w.logic.UnloadWindow();  // closed from the taskbar
    EXPECT_EQ(w.view.dialogsClosed, 1);
    EXPECT_EQ(w.view.destroyed, 0);
    EXPECT_EQ(w.view.timerMs, kUnloadDelayMs);
  };
  w.logic.mnuSetFolder_Click();
  EXPECT_TRUE(openDuringDialog);
  EXPECT_EQ(w.ui.owners, std::vector<WindowHandle>{4242});
  EXPECT_FALSE(w.logic.FolderDialogOpen);
  EXPECT_EQ(w.view.destroyed, 0);

  w.logic.MainUnloadTimerProc();
  EXPECT_EQ(w.view.destroyed, 1);
  EXPECT_EQ(w.view.timerMs, 0u);
  w.logic.MainUnloadTimerProc();
  EXPECT_EQ(w.view.destroyed, 1);
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
  w.logic.Form_Load();
  EXPECT_TRUE(w.logic.Form_KeyDown(kKeyEnter, false));
  EXPECT_EQ(w.p.messages.size(), 1u);
  EXPECT_TRUE(w.logic.Form_KeyDown(kKeyEnter, true));
  EXPECT_TRUE(w.logic.Form_KeyDown(kKeyEscape, false));
  EXPECT_FALSE(w.logic.Form_KeyDown('A', false));
  EXPECT_EQ(w.p.messages.size(), 1u);
  EXPECT_EQ(w.view.destroyed, 0);
  EXPECT_TRUE(w.app.ReadSetting("HideSearchBar", "") == "0");

  w.logic.EnableOk(false);
  EXPECT_TRUE(w.logic.Form_KeyDown(kKeyEnter, false));
  EXPECT_EQ(w.p.messages.size(), 1u);
  EXPECT_FALSE(w.view.Enabled("cmdOK"));
}

TEST(Commands, EnterInAFieldChecksItBeforeSaving) {
  Window w;
  DeclineClosingTheHost(w);
  w.logic.Form_Load();
  w.logic.OnFieldFocus("txtMaxTabWidth");
  w.logic.OnTextChanged("txtMaxTabWidth", "50");
  w.logic.Form_KeyDown(kKeyEnter, false);
  EXPECT_EQ(w.app.ReadSetting("MaxTabWidth", ""), "100");
  EXPECT_EQ(w.view.texts.at("txtMaxTabWidth"), "100");
}

TEST(Commands, ApplyWithHost3015300TweaksOnlyTheModernSkin) {
  for (bool host3015300 : {false, true}) {
    Window w;
    DeclineClosingTheHost(w);
    w.app.Host3015300 = host3015300;
    const std::string modern = kFolder + "\\Resource\\ui\\main\\index.css";
    const std::string classic = kFolder + "\\Resource\\ui\\main.classic\\index.css";
    w.p.AddFile(modern, "body{}\r\n");
    w.p.AddFile(classic, "body{}\r\n");
    ASSERT_TRUE(RecordTree(w.app.Host()));
    w.logic.Form_Load();
    w.logic.cmdOK_Click();
    EXPECT_NE(w.p.Contents(modern), "body{}\r\n");
    EXPECT_EQ(w.p.Contents(classic) == "body{}\r\n", host3015300);
  }
}

TEST(Commands, FirstActivationUnpacksOnlyOnceAndOnlyWhenTheTreeIsMissing) {
  const auto unpacks = [](const FakePlatform& p) {
    return std::count_if(p.started.begin(), p.started.end(),
                         [](const std::string& c) { return c.find("unpak.exe") != std::string::npos; });
  };
  Window w;
  w.logic.Form_Load();
  w.logic.Form_Activate();
  EXPECT_EQ(unpacks(w.p), 1);
  EXPECT_TRUE(w.logic.OkEnabled());
  w.logic.Form_Activate();
  EXPECT_EQ(unpacks(w.p), 1);

  // A tree is kept only when its unpack was recorded as finished.
  for (bool recorded : {true, false}) {
    Window present;
    present.p.AddFile(kFolder + "\\Resource\\ui\\main\\index.css", "css");
    if (recorded) {
      ASSERT_TRUE(RecordTree(present.app.Host()));
    }
    present.logic.Form_Load();
    present.logic.Form_Activate();
    EXPECT_EQ(unpacks(present.p), recorded ? 0 : 1);
    EXPECT_TRUE(present.logic.Activated);
  }
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
  EXPECT_FALSE(p.FileExists(ui + "main.classic\\images\\tab_bottom_tab.png"));

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

}  // namespace
}  // namespace rw
