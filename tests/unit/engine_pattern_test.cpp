#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

#include "engine/lazy_pattern.h"
#include "engine/patterns.h"
#include "engine/text_ops.h"

namespace rw {
namespace {

std::optional<Span> Find(std::string_view pattern, std::string_view text) { return LazyPattern(pattern).Find(text); }

TEST(LiteralFinder, ExactOrIgnoringCaseAndOverlapping) {
  const LiteralFinder caseless("aBa", Case::Ignore);
  EXPECT_EQ(caseless.FindAll("xABAbAbaba"), (std::vector<size_t>{1, 3, 5, 7}));
  EXPECT_EQ(caseless.Find("ab"), std::string_view::npos);
  EXPECT_EQ(caseless.Find("xaba", 2), std::string_view::npos);
  EXPECT_EQ(caseless.Find("xaba", 9), std::string_view::npos);
  const LiteralFinder exact("aBa", Case::Exact);
  EXPECT_EQ(exact.FindAll("abaaBaABAaBa"), (std::vector<size_t>{3, 9}));
  // Bytes past ASCII and NUL compare as they are.
  const LiteralFinder bytes(std::string_view("\xC3\xA9\0z", 4), Case::Ignore);
  EXPECT_EQ(bytes.Find(std::string_view("\xC3\x89\0z\xC3\xA9\0Z", 8)), 4u);
}

TEST(LazyPattern, EveryEnginePatternCompiles) {
  for (const auto pattern : patterns::kAll) EXPECT_TRUE(LazyPattern(pattern).valid()) << pattern;
}

TEST(LazyPattern, FormsOutsideTheSupportedSetNeverMatch) {
  for (const char* pattern : {"", "a|b", "a+", "^a", "a$", ".*?b", "a.*?", "a.*?.*?b", "a\\d", "a(b)", "a.b", "a\\"}) {
    LazyPattern p(pattern);
    EXPECT_FALSE(p.valid()) << pattern;
    EXPECT_FALSE(p.Find("a.b ab aab").has_value()) << pattern;
  }
}

TEST(LazyPattern, LeftmostStartThenShortestGaps) {
  EXPECT_EQ(Find("<a.*?>", "x<a1>2>"), (Span{1, 5}));
  EXPECT_EQ(Find("<A.*?>", "x<a1>2>"), (Span{1, 5}));  // letters in any case
  // ".*?" stops at a line break, so the first "<a" cannot reach a ">".
  EXPECT_EQ(Find("<a.*?>", "<a\r\n<a>"), (Span{4, 7}));
  EXPECT_EQ(Find("<a(.|\\r|\\n)*?>", "<a\r\n<a>"), (Span{0, 7}));
  // "[^>]*?" never leaves the tag it starts in.
  EXPECT_EQ(Find("<div[^>]*?ID(.|\\r|\\n)*?</div>", "<div x><p id></div>"), std::nullopt);
  EXPECT_EQ(Find("<div[^>]*?ID(.|\\r|\\n)*?</div>", "<div x></div><div id=1>a</div>b</div>"), (Span{13, 30}));
  // A shorter first gap is kept even when a longer one would also succeed.
  EXPECT_EQ(Find("a[^>]*?b(.|\\r|\\n)*?c", "a b b c"), (Span{0, 7}));
  EXPECT_EQ(Find("\\#M\\.x\\{\\}", "#m.X{}"), (Span{0, 6}));
}

TEST(LazyPattern, ReportsNoMatchOnLargeTextsWithoutBacktrackingForever) {
  // Many starts, none of which can finish: a naive backtracker is quadratic
  // or worse here.
  std::string text;
  for (int i = 0; i < 200000; ++i) text += "<div BOX_SEARCH search-box <div TT_SEARCH ";
  EXPECT_EQ(LazyPattern(patterns::kFullSearchBox).Find(text), std::nullopt);
  text += "</div>";
  const auto span = LazyPattern(patterns::kFullSearchBox).Find(text);
  ASSERT_TRUE(span.has_value());
  EXPECT_EQ(span->start, 0u);
  EXPECT_EQ(span->end, text.size());
}

TEST(TextOps, ReplaceEveryIsLeftToRightWithoutOverlapAndLiteral) {
  std::string text = "aaaa";
  ReplaceEvery(text, "aa", "b", Case::Exact);
  EXPECT_EQ(text, "bb");
  text = "Ab ab AB";
  ReplaceEvery(text, "ab", "$1$&", Case::Exact);
  EXPECT_EQ(text, "Ab $1$& AB");
  ReplaceEvery(text, "aB", "x", Case::Ignore);
  EXPECT_EQ(text, "x $1$& x");
  ReplaceEvery(text, "", "y", Case::Ignore);
  EXPECT_EQ(text, "x $1$& x");
}

TEST(TextOps, PlaceholderReplacementAlsoFillsAPlaceholderAlreadyThere) {
  const LazyPattern pattern("<b>");
  std::string text = "<temp_for_replace> <B> <b>";
  ReplaceThroughPlaceholder(text, pattern, "[$X$]");
  EXPECT_EQ(text, "[$X$] [$X$] <b>");
  text = "nothing here";
  ReplaceThroughPlaceholder(text, pattern, "[$X$]");
  EXPECT_EQ(text, "nothing here");
}

// --- Same spans as an ECMAScript engine -----------------------------------------

// The literal pieces of a pattern, for building inputs that come close to
// matching it.
std::vector<std::string> Pieces(std::string_view pattern) {
  std::vector<std::string> pieces;
  std::string piece;
  for (size_t i = 0; i < pattern.size();) {
    const std::string_view rest = pattern.substr(i);
    size_t gap = 0;
    for (std::string_view form : {"(.|\\r|\\n)*?", ".*?", "[^>]*?"})
      if (rest.starts_with(form)) gap = form.size();
    if (gap) {
      pieces.push_back(piece);
      piece.clear();
      i += gap;
    } else if (pattern[i] == '\\') {
      piece += pattern[i + 1] == 'r' ? '\r' : pattern[i + 1] == 'n' ? '\n' : pattern[i + 1];
      i += 2;
    } else {
      piece += pattern[i++];
    }
  }
  pieces.push_back(piece);
  return pieces;
}

std::string GenerateInput(std::mt19937& random, const std::vector<std::string>& pieces) {
  static const std::vector<std::string> fillers = {">", "\r", "\n", "\r\n", "x", " ", "<", "/", "}", "'"};
  std::uniform_int_distribution<int> tokenCount(0, 9), pick(0, 99);
  std::string text;
  // Half of the inputs walk through the pieces in order, with fillers
  // between them, so that multi-piece patterns match often enough.
  const bool inOrder = pick(random) < 50;
  size_t nextPiece = 0;
  for (int n = tokenCount(random) + (inOrder ? 4 : 0); n > 0; --n) {
    const int kind = pick(random);
    std::string token;
    if (inOrder && kind < 45) {
      token = pieces[nextPiece++ % pieces.size()];
    } else if (kind < 45) {
      token = pieces[static_cast<size_t>(pick(random)) % pieces.size()];
    } else if (kind < 65) {
      // A broken piece: cut short or with one character changed.
      token = pieces[static_cast<size_t>(pick(random)) % pieces.size()];
      if (!token.empty()) {
        const size_t at = static_cast<size_t>(pick(random)) % token.size();
        if (pick(random) < 50)
          token.resize(at);
        else
          token[at] = fillers[static_cast<size_t>(pick(random)) % fillers.size()][0];
      }
    } else {
      token = fillers[static_cast<size_t>(pick(random)) % fillers.size()];
    }
    for (char& c : token)
      if (std::isalpha(static_cast<unsigned char>(c)) && pick(random) < 30)
        c = static_cast<char>(std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c));
    text += token;
  }
  return text;
}

TEST(LazyPattern, SameMatchAsAnEcmaScriptEngineOnGeneratedInputs) {
  std::mt19937 random(20260522);
  for (const auto pattern : patterns::kAll) {
    const std::regex reference(std::string(pattern), std::regex::ECMAScript | std::regex::icase);
    const LazyPattern ours(pattern);
    const auto pieces = Pieces(pattern);
    int matched = 0;
    for (int round = 0; round < 4000; ++round) {
      const std::string text = GenerateInput(random, pieces);
      std::smatch m;
      const bool found = std::regex_search(text, m, reference);
      const auto span = ours.Find(text);
      ASSERT_EQ(found, span.has_value()) << pattern << "\non: " << text;
      if (!found) continue;
      ++matched;
      ASSERT_EQ(static_cast<size_t>(m.position(0)), span->start) << pattern << "\non: " << text;
      ASSERT_EQ(static_cast<size_t>(m.position(0) + m.length(0)), span->end) << pattern << "\non: " << text;
    }
    // The inputs must exercise matches, not only misses.
    EXPECT_GT(matched, 200) << pattern;
  }
}

}  // namespace
}  // namespace rw
