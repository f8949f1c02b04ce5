// A small matcher for the few pattern forms the template edits use, with
// the meaning an ECMAScript engine gives them (ignoring letter case):
// literal text, where "\#", "\.", "\{", "\}", "\*", "\r" and "\n" stand for
// the characters, separated by lazy gaps ".*?" (no line break), "[^>]*?"
// (no ">") and "(.|\r|\n)*?" (anything). It finds the leftmost match and,
// from there, the span a backtracking engine would report, in time linear in
// the text, so large files cannot make it backtrack without end.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rw {

enum class Case { Exact, Ignore };

/// Finds a literal text, exactly or comparing ASCII letters without regard
/// to case. A literal holding a character that is rare in markup and style
/// sheets ("*", "#", "!" ...) is found by looking for that character first;
/// any other through a skip table (Horspool), which stays fast on markup
/// where a literal's first character is everywhere.
class LiteralFinder {
 public:
  LiteralFinder(std::string_view literal, Case compare);

  /// First occurrence starting at or after `from`; npos when none.
  size_t Find(std::string_view text, size_t from = 0) const;
  /// Every occurrence, overlapping ones included.
  std::vector<size_t> FindAll(std::string_view text) const;
  size_t size() const { return literal_.size(); }

 private:
  bool Matches(std::string_view text, size_t pos) const;

  std::string literal_;  // lower case when ignoring case
  bool ignoreCase_;
  size_t anchor_;  // index of the rare character, npos when none
  std::array<size_t, 256> skip_;
};

struct Span {
  size_t start = 0;
  size_t end = 0;  // one past the last character
  bool operator==(const Span&) const = default;
};

class LazyPattern {
 public:
  /// Compiles the pattern; a form outside the supported set leaves the
  /// pattern invalid, and an invalid pattern never matches.
  explicit LazyPattern(std::string_view pattern);

  bool valid() const { return valid_; }

  /// The first match in the text, or nullopt.
  std::optional<Span> Find(std::string_view text) const;

 private:
  enum class Gap { Anything, NoLineBreak, NoCloseAngle };

  bool valid_ = false;
  std::vector<LiteralFinder> literals_;  // never empty
  std::vector<Gap> gaps_;                // gaps_[i] stands between literals_[i] and literals_[i + 1]
};

}  // namespace rw
