#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/line_diff.h"

namespace rw {
namespace {

namespace fs = std::filesystem;

// Expected texts written by `diff -u --label a/f --label b/f` for the same inputs.
TEST(LineDiff, WritesHunksAsDiffUDoes) {
  const struct {
    const char* oldText;
    const char* newText;
    const char* expected;
  } cases[] = {
      {"1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n", "1\ntwo\n3\n4\n5\n6\n7\n8\n10\n",
       "@@ -1,10 +1,9 @@\n 1\n-2\n+two\n 3\n 4\n 5\n 6\n 7\n 8\n-9\n 10\n"},
      {"1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n", "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n",
       "@@ -1,3 +1,4 @@\n+0\n 1\n 2\n 3\n@@ -9,4 +10,3 @@\n 9\n 10\n 11\n-12\n"},
      {"a\nb\nc", "a\nb\nc\nd\n", "@@ -1,3 +1,4 @@\n a\n b\n-c\n\\ No newline at end of file\n+c\n+d\n"},
      {"x\n", "x\ny", "@@ -1 +1,2 @@\n x\n+y\n\\ No newline at end of file\n"},
      {"", "x\ny\n", "@@ -0,0 +1,2 @@\n+x\n+y\n"},
      {"x\ny\n", "", "@@ -1,2 +0,0 @@\n-x\n-y\n"},
      {"a\r\nb\r\nc\r\n", "a\r\nB\r\nc\r\n", "@@ -1,3 +1,3 @@\n a\r\n-b\r\n+B\r\n c\r\n"},
      {"a\nb\nc\n", "a\nb\nb\nc\n", "@@ -1,3 +1,4 @@\n a\n b\n+b\n c\n"},
      {"\xEF\xBB\xBFp\nq\n", "p\nq\n", "@@ -1,2 +1,2 @@\n-\xEF\xBB\xBFp\n+p\n q\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(UnifiedDiff(c.oldText, c.newText, "f"), std::string("--- a/f\n+++ b/f\n") + c.expected) << c.oldText;
  EXPECT_EQ(UnifiedDiff("same\n", "same\n", "f"), "");
}

TEST(LineDiff, LargeFilesGiveTheirSizesInstead) {
  const DiffOrSizes small = DiffOrSizesOf("a\n", "b\n", "ui/x.css", 4);
  EXPECT_FALSE(small.tooLarge);
  EXPECT_EQ(PreviewText(small, "ui/x.css"), "--- a/ui/x.css\n+++ b/ui/x.css\n@@ -1 +1 @@\n-a\n+b\n");
  const DiffOrSizes large = DiffOrSizesOf("a\n", "bbbb\n", "ui/x.css", 4);
  EXPECT_TRUE(large.tooLarge);
  EXPECT_EQ(large.diff, "");
  EXPECT_EQ(PreviewText(large, "ui/x.css"), "ui/x.css: changed, 2 \u2192 5 bytes (too large to show line by line)\n");
  EXPECT_EQ(PreviewText(DiffOrSizesOf("aaaaa\n", "aaaaa\n", "f", 4), "f"), "");
}

// Random line lists over a few repeated lines, edited at random places,
// with the line ends and file ends that interface files come with.
struct Pair {
  std::string oldText, newText;
};

Pair RandomPair(std::mt19937& rng) {
  const auto below = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  const std::string eol = below(3) == 0 ? "\r\n" : "\n";
  std::vector<std::string> alphabet = {"a", "b", "c", "d", "{", "}", "", "x\xFF\xFE", std::string("n\0ul", 4)};
  if (below(8) == 0) alphabet.push_back(std::string(10000, 'L') + "!");
  std::vector<std::string> lines(below(4) == 0 ? below(3) : below(40));
  for (auto& line : lines) line = alphabet[below(alphabet.size())];
  std::vector<std::string> edited = lines;
  for (std::size_t edits = 1 + below(5); edits > 0; --edits) {
    const std::size_t where = below(3) == 0 ? 0 : below(3) == 0 ? edited.size() : below(edited.size() + 1);
    const std::size_t kind = edited.empty() ? 0 : below(3);
    const auto it = edited.begin() + std::min(where, edited.size() - (kind == 0 ? 0 : 1));
    if (kind == 0) edited.insert(it, alphabet[below(alphabet.size())]);
    if (kind == 1) edited.erase(it);
    if (kind == 2) *it = alphabet[below(alphabet.size())];
  }
  if (below(10) == 0) edited.clear();
  const auto join = [&](const std::vector<std::string>& list, bool finalBreak, bool bom) {
    std::string text = bom ? "\xEF\xBB\xBF" : "";
    for (const auto& line : list) text += line + eol;
    if (!finalBreak && !text.empty()) text.resize(text.size() - eol.size());
    return text;
  };
  const bool bom = below(5) == 0;
  return {join(lines, below(4) != 0, bom), join(edited, below(4) != 0, bom && below(3) != 0)};
}

// The lines changed on each side: "-" and "+" lines of the hunks.
std::pair<int, int> ChangedLines(const std::string& diff) {
  std::istringstream in(diff);
  std::string line;
  int removed = 0, added = 0;
  for (int n = 0; std::getline(in, line); ++n) {
    if (n < 2) continue;
    removed += line.rfind('-', 0) == 0;
    added += line.rfind('+', 0) == 0;
  }
  return {removed, added};
}

// Lines as the diff splits them, for the shortest-edit check.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = std::min(text.find('\n', pos), text.size() - 1) + 1;
    lines.push_back(text.substr(pos, end - pos));
    pos = end;
  }
  return lines;
}

std::size_t CommonSubsequence(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<std::size_t> row(b.size() + 1, 0);
  for (const auto& line : a) {
    std::size_t diagonal = 0;
    for (std::size_t j = 0; j < b.size(); ++j) {
      const std::size_t above = row[j + 1];
      row[j + 1] = line == b[j] ? diagonal + 1 : std::max(row[j], above);
      diagonal = above;
    }
  }
  return row.back();
}

TEST(LineDiff, ChangesNoMoreLinesThanNeeded) {
  std::mt19937 rng(14);
  for (int round = 0; round < 300; ++round) {
    const Pair p = RandomPair(rng);
    const auto a = Lines(p.oldText), b = Lines(p.newText);
    const auto [removed, added] = ChangedLines(UnifiedDiff(p.oldText, p.newText, "f"));
    const std::size_t common = CommonSubsequence(a, b);
    EXPECT_EQ(removed, static_cast<int>(a.size() - common)) << round;
    EXPECT_EQ(added, static_cast<int>(b.size() - common)) << round;
  }
}

class LineDiffTools : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("rw-line-diff-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "tree" / "ui");
  }
  void TearDown() override { fs::remove_all(dir_); }

  bool Have(const std::string& tool) { return Run(tool + " --version") == 0; }

  // Runs a shell command in the folder; its output goes to output_.
  int Run(const std::string& command) {
    const fs::path log = dir_ / "output.txt";
    const int status = std::system(("cd \"" + dir_.string() + "\" && " + command + " > output.txt 2>&1").c_str());
    output_ = Read(log);
    return status;
  }

  static void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  fs::path dir_;
  std::string output_;
};

TEST_F(LineDiffTools, PatchTurnsTheOldTextIntoTheNewOne) {
  if (!Have("patch")) GTEST_SKIP() << "`patch` is not installed (scripts/install-deps.sh installs it)";
  std::mt19937 rng(1414);
  for (int round = 0; round <= 200; ++round) {
    Pair p = RandomPair(rng);
    if (round == 200) {  // far apart: the capped search must still be right
      p = {};
      for (int line = 0; line < 6000; ++line) {
        p.oldText += std::to_string(rng() % 1000) + "\n";
        p.newText += std::to_string(rng() % 1000) + "\n";
      }
    }
    const fs::path file = dir_ / "tree" / "ui" / "index.css";
    Write(file, p.oldText);
    Write(dir_ / "change.diff", UnifiedDiff(p.oldText, p.newText, "ui/index.css"));
    if (p.oldText == p.newText) continue;
    ASSERT_EQ(Run("cd tree && patch -p1 --batch < ../change.diff"), 0) << round << "\n" << output_;
    EXPECT_EQ(output_.find("fuzz"), std::string::npos) << round << "\n" << output_;
    EXPECT_EQ(output_.find("offset"), std::string::npos) << round << "\n" << output_;
    ASSERT_EQ(Read(file), p.newText) << round;
  }
}

// Where diff -u picks a different alignment of equal length, only the
// number of changed lines is compared (patch checks the rest).
TEST_F(LineDiffTools, AgreesWithDiffU) {
  if (!Have("diff")) GTEST_SKIP() << "`diff` is not installed (diffutils)";
  std::mt19937 rng(141414);
  int same = 0;
  const int rounds = 200;
  for (int round = 0; round < rounds; ++round) {
    const Pair p = RandomPair(rng);
    Write(dir_ / "old", p.oldText);
    Write(dir_ / "new", p.newText);
    Run("diff -a -u --label a/f --label b/f old new");
    const std::string ours = UnifiedDiff(p.oldText, p.newText, "f");
    same += ours == output_;
    EXPECT_EQ(ChangedLines(ours), ChangedLines(output_)) << round << "\n" << ours << "\n" << output_;
  }
  std::printf("identical to diff -u in %d of %d cases\n", same, rounds);
}

}  // namespace
}  // namespace rw
