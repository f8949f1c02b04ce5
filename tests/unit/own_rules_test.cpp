// The user's own rules in the engine: a file that fails a check never
// reaches index.css and the tweaks still go in; one that passes stands once,
// after the generated rules and inside the block.
#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

#include "engine/apply_tweaks.h"
#include "engine/tweak_block.h"
#include "engine_test_tree.h"
#include "support/fake_platform.h"

namespace rw {
namespace {

using enginetest::Defaults;
using test::FakePlatform;

std::size_t Count(std::string_view text, std::string_view piece) {
  std::size_t n = 0;
  for (std::size_t at = text.find(piece); at != std::string_view::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

TEST(OwnRules, AFileThatFailsACheckNeverReachesTheSheetAndTheTweaksStillGoIn) {
  const std::string mark = ".ownmark{color:red}";
  struct Row {
    const char* name;
    std::string css;
    OwnRulesCheck check;
  };
  const Row rows[] = {
      {"well formed, LF", "/* a { } */\n" + mark + "\na[title=\"}\"]{x:'{'}\n", {}},
      {"well formed, CR LF, braces nested", "@media screen{\r\n" + mark + "\r\n}\r\n", {}},
      {"well formed, lone CR, escaped line break in a string", "a{content:\"x\\\ny\"}\r" + mark, {}},
      {"stray }", mark + "\n}\n", {OwnRulesFault::StrayClosingBrace, 2}},
      {"{ never closed", mark + "\nb{\n\nc{}", {OwnRulesFault::UnclosedBrace, 2}},
      {"comment never closed", mark + "\n\n/* c", {OwnRulesFault::UnclosedComment, 3}},
      {"string never closed", mark + "\na{content:\"x}\n", {OwnRulesFault::UnclosedString, 2}},
      {"the block's marker", mark + "\n/*RavelWick*/", {OwnRulesFault::Marker, 2}},
      {"a marker inside a comment", mark + "\n/* x /*ravelwick*/", {OwnRulesFault::Marker, 2}},
      {"NUL", mark + "\r\nb{}\0"s, {OwnRulesFault::ControlCharacter, 2}},
      {"escape", mark + "\x1B", {OwnRulesFault::ControlCharacter, 1}},
      {"not UTF-8", mark + "\n\n\xC3(", {OwnRulesFault::NotUtf8, 3}},
      {"over 64 KB", mark + std::string(kOwnRulesMaxBytes, ' '), {OwnRulesFault::TooLarge, 1}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CheckOwnRules(row.css), row.check);
    for (const bool classic : {false, true}) {
      FakePlatform p("C:\\Ravelwick");
      enginetest::LoadTree(p);
      const OptionSnapshot options = Defaults().WithState(Option::HideHome, 1);
      const std::string_view css = row.css;
      const TweakInputs inputs{
          options, false, true, {classic ? std::string_view() : css, classic ? css : std::string_view()}};
      for (int run = 0; run < 2; ++run) {
        const TweakReport report = ApplyTweaks(p, "C:\\Ravelwick", inputs, classic);
        ASSERT_EQ(report.ownRules.size(), 1u);
        EXPECT_EQ(report.ownRules[0].used, row.check.Ok());
      }
      const std::string sheet = enginetest::Now(p, classic ? "main.classic/index.css" : "main/index.css");
      const std::size_t generated = sheet.find("#BTN_HOME{display:none}");
      const std::size_t own = sheet.find(std::string("\r\n") + std::string(kOwnRulesHeading) + "\r\n");
      const std::size_t end = sheet.rfind(std::string("\r\n") + std::string(kBlockMarker));
      EXPECT_NE(generated, std::string::npos);
      EXPECT_EQ(Count(sheet, mark), row.check.Ok() ? 1u : 0u);
      EXPECT_EQ(Count(sheet, kOwnRulesHeading), row.check.Ok() ? 1u : 0u);
      EXPECT_TRUE(!row.check.Ok() || (generated < own && own < sheet.find(mark) && sheet.find(mark) < end));
      EXPECT_EQ(end + 2 + kBlockMarker.size(), sheet.size());
    }
  }
}

TEST(OwnRules, NoneOrBlanksLeaveTheBlockAsItWasAndOnlyUnknownSelectorsWarn) {
  const TweakInputs without{Defaults(), false, true};
  for (const std::string_view blank : {"", " \r\n\t\n"}) {
    const TweakInputs with{Defaults(), false, true, {blank, blank}};
    for (const bool classic : {false, true})
      EXPECT_EQ(BuildTweakBlock(with, classic), BuildTweakBlock(without, classic));
  }
  const KnownNames known({"<div id=\"Tabs\" class=\"bar x-y\">", ".pane{}"});
  EXPECT_EQ(NamesWithoutEffect("#tabs .bar, .PANE > .gone{color:#fff}\n@media print{.x-y{}}\n.a{}50.5%{}"
                               "/* .ghost{} */ [title=\".z\"] #nowhere{}",
                               known),
            (std::vector<std::string>{".gone", ".a", "#nowhere"}));
}

}  // namespace
}  // namespace rw
