#include <gtest/gtest.h>

#include <map>

#include "app/app.h"
#include "app/language_text.h"
#include "platform/key_codes.h"
#include "stores/text.h"
#include "support/fake_platform.h"
#include "support/stray_brace_rules.h"
#include "ui/own_rules_editor.h"

namespace rw {
namespace {

const std::string kFolder = "C:\\Ravelwick";
const std::string kModern = kFolder + "\\Own rules\\main.css";
const std::string kClassic = kFolder + "\\Own rules\\main.classic.css";

class FakeView : public OwnRulesView {
 public:
  WindowHandle Handle() override { return 77; }
  void SetCaptions(const std::string&, const std::string&, const std::string&) override {}
  void SetPageTitle(std::size_t page, const std::string& t) override { titles[page] = t; }
  void SetPageText(std::size_t page, const std::string& t) override { texts[page] = t; }
  void SetPageEditable(std::size_t page, bool e) override { editable[page] = e; }
  void ShowPage(std::size_t page) override { shown = page; }
  void ShowCheck(const std::string& s, const std::vector<std::string>& f) override {
    summary = s;
    findings = f;
  }
  void GoToLine(std::size_t page, int line) override { wentTo.emplace_back(page, line); }
  void SetSaveEnabled(bool e) override { saveEnabled = e; }
  void Close() override { ++closed; }

  std::string summary;
  std::map<std::size_t, std::string> titles, texts;
  std::map<std::size_t, bool> editable;
  std::vector<std::string> findings;
  std::vector<std::pair<std::size_t, int>> wentTo;
  std::size_t shown = 9;
  bool saveEnabled = true;
  int closed = 0;
};

struct Editor {
  explicit Editor(bool singleSkinHost = false) { app.SingleSkinHost = singleSkinHost; }
  std::string Say(std::string_view key) const { return Text(app, key); }
  test::FakePlatform p{kFolder};
  App app{p, kFolder};
  test::StrayBraceRules source{app};
  FakeView view;
  OwnRulesEditor logic{app, source, view};
};

TEST(OwnRulesEditor, LoadsBothPagesChecksEditsLiveAndCtrlSSavesWithoutClosing) {
  Editor e;
  e.p.AddFile(kModern, "\xEF\xBB\xBF.a{color:red}\n#gone{x:1}\n");
  e.logic.OnLoad();
  // The mark is not shown, and the lines are as an edit control keeps them.
  EXPECT_EQ(e.view.texts[0], ".a{color:red}\r\n#gone{x:1}\r\n");
  EXPECT_EQ(e.view.shown, 0u);
  EXPECT_TRUE(e.view.editable[0] && e.view.editable[1]);
  EXPECT_EQ(e.view.summary, e.Say("OwnRulesWarned"));
  EXPECT_EQ(e.view.findings, std::vector<std::string>{"Line 2: no effect"});
  EXPECT_FALSE(e.view.saveEnabled);

  e.logic.OnPageChosen(1);
  EXPECT_EQ(e.view.summary, e.Say("OwnRulesEmpty"));
  e.logic.OnTextChanged(1, ".b{}\r\n.c{}}");
  EXPECT_EQ(e.view.summary, e.Say("OwnRulesNotUsed"));
  EXPECT_EQ(e.view.findings, std::vector<std::string>{"Line 2: stray brace"});
  EXPECT_EQ(e.view.titles[1], e.Say("OwnRulesClassic") + " *");
  EXPECT_TRUE(e.view.saveEnabled);
  e.logic.OnFindingChosen(0);
  e.logic.OnFindingChosen(5);
  EXPECT_EQ(e.view.wentTo, (std::vector<std::pair<std::size_t, int>>{{1, 2}}));

  // Typed back to what the file holds, the page is clean again.
  e.logic.OnTextChanged(1, "");
  EXPECT_FALSE(e.logic.Dirty());
  EXPECT_FALSE(e.view.saveEnabled);
  e.logic.OnTextChanged(1, ".b{}\r\n.c{}}");

  EXPECT_TRUE(e.logic.OnKeyDown('S', true));
  EXPECT_EQ(e.p.Contents(kClassic), "\xEF\xBB\xBF.b{}\r\n.c{}}");
  EXPECT_EQ(e.p.Contents(kModern), "\xEF\xBB\xBF.a{color:red}\n#gone{x:1}\n");  // unchanged: not written
  EXPECT_EQ(e.view.titles[1], e.Say("OwnRulesClassic"));
  EXPECT_FALSE(e.view.saveEnabled);
  EXPECT_EQ(e.view.closed, 0);
}

TEST(OwnRulesEditor, ClosingAsksOnlyWithUnsavedChangesAndNoKeepsEverything) {
  Editor e;
  e.logic.OnLoad();
  e.logic.OnCancel();
  EXPECT_EQ(e.view.closed, 1);
  EXPECT_TRUE(e.p.messages.empty());

  Editor changed;
  changed.logic.OnLoad();
  changed.logic.OnTextChanged(0, ".a{}");
  changed.p.answers = {MessageResult::Cancel};  // No
  EXPECT_TRUE(changed.logic.OnKeyDown(kKeyEscape, false));
  ASSERT_EQ(changed.p.messages.size(), 1u);
  EXPECT_EQ(changed.p.messages[0].text, changed.Say("OwnRulesDiscard"));
  EXPECT_EQ(changed.p.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(changed.view.closed, 0);
  changed.logic.OnCancel();  // Yes
  EXPECT_EQ(changed.view.closed, 1);
  EXPECT_FALSE(changed.p.Contents(kModern));
}

TEST(OwnRulesEditor, ASaveThatFailsSaysWhyKeepsTheTextAndTheWindowAndWritesTheRest) {
  Editor e;
  e.p.failHook = [](test::Op op, const std::string& path) {
    return op == test::Op::Replace && path.find("classic") != std::string::npos;
  };
  e.logic.OnLoad();
  e.logic.OnTextChanged(0, ".a{}");
  e.logic.OnTextChanged(1, ".b{}");
  e.logic.OnSave();
  EXPECT_EQ(e.p.Contents(kModern), "\xEF\xBB\xBF.a{}");
  EXPECT_FALSE(e.p.Contents(kClassic));
  ASSERT_EQ(e.p.messages.size(), 1u);
  EXPECT_EQ(e.p.messages[0].text.find(Fill(e.Say("OwnRulesSaveFailed"), {{"$file", kClassic}})), 0u);
  EXPECT_NE(e.p.messages[0].text.find("injected failure"), std::string::npos);
  EXPECT_EQ(e.view.closed, 0);
  EXPECT_FALSE(e.logic.Dirty(0));
  EXPECT_TRUE(e.logic.Dirty(1));

  e.p.failHook = nullptr;
  e.logic.OnSave();
  EXPECT_EQ(e.p.Contents(kClassic), "\xEF\xBB\xBF.b{}");
  EXPECT_EQ(e.view.closed, 1);
}

// A page the host cannot use, or whose file cannot be read, is greyed: it is
// neither checked nor written, and says why.
TEST(OwnRulesEditor, PagesThatCannotBeEditedAreGreyedAndNeverWritten) {
  for (const bool singleSkinHost : {true, false}) {
    SCOPED_TRACE(singleSkinHost ? "one skin" : "unreadable file");
    Editor e(singleSkinHost);
    e.p.AddFile(kClassic, ".kept{}}");
    if (!singleSkinHost)
      e.p.failHook = [](test::Op op, const std::string& path) { return op == test::Op::Read && path == kClassic; };
    e.logic.OnLoad();
    EXPECT_TRUE(e.view.editable[0]);
    EXPECT_FALSE(e.view.editable[1]);
    e.logic.OnPageChosen(1);
    EXPECT_EQ(e.view.summary, singleSkinHost ? e.Say("OwnRulesNotUsedHere")
                                             : Fill(e.Say("OwnRulesEditorUnreadable"), {{"$file", kClassic}}));
    EXPECT_TRUE(e.view.findings.empty());
    EXPECT_EQ(e.view.texts[1], singleSkinHost ? ".kept{}}" : "");
    e.logic.OnTextChanged(1, "replaced");
    EXPECT_FALSE(e.logic.Dirty());
    e.logic.OnTextChanged(0, ".a{}");
    e.logic.OnSave();
    EXPECT_EQ(e.p.Contents(kClassic), ".kept{}}");
    EXPECT_EQ(e.view.closed, 1);
  }
}

}  // namespace
}  // namespace rw
