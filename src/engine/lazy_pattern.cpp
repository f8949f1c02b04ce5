#include "engine/lazy_pattern.h"

#include <algorithm>
#include <cstring>

namespace rw {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// ASCII lower case of every byte value, for the search loops.
constexpr std::array<unsigned char, 256> kFold = [] {
  std::array<unsigned char, 256> fold{};
  for (int c = 0; c < 256; ++c) fold[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return fold;
}();
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The character a "\x" escape stands for; 0 for an escape we do not accept.
char Unescape(char c) {
  switch (c) {
    case 'r':
      return '\r';
    case 'n':
      return '\n';
    case '#':
    case '.':
    case '{':
    case '}':
    case '*':
    case '/':
    case '\\':
      return c;
    default:
      return 0;
  }
}

// Characters with a meaning of their own in a pattern; outside the gap
// forms below they make the pattern unsupported. Not strchr: it would find
// a NUL byte at the end of the list.
bool IsSpecial(char c) { return std::string_view("^$\\.*+?()[]{}|").find(c) != std::string_view::npos; }

}  // namespace

LiteralFinder::LiteralFinder(std::string_view literal, Case compare)
    : literal_(literal), ignoreCase_(compare == Case::Ignore) {
  if (ignoreCase_)
    for (char& c : literal_) c = Lower(c);
  anchor_ = literal_.find_first_of("*#!$%@^~`|");
  const size_t m = literal_.size();
  skip_.fill(m == 0 ? 1 : m);
  for (size_t i = 0; i + 1 < m; ++i) {
    const char c = literal_[i];
    skip_[static_cast<unsigned char>(c)] = m - 1 - i;
    if (ignoreCase_ && IsLetter(c)) skip_[static_cast<unsigned char>(c - 'a' + 'A')] = m - 1 - i;
  }
}

bool LiteralFinder::Matches(std::string_view text, size_t pos) const {
  if (ignoreCase_) {
    for (size_t k = 0; k < literal_.size(); ++k)
      if (Lower(text[pos + k]) != literal_[k]) return false;
    return true;
  }
  return text.compare(pos, literal_.size(), literal_) == 0;
}

size_t LiteralFinder::Find(std::string_view text, size_t from) const {
  const size_t m = literal_.size();
  const size_t n = text.size();
  if (from > n || n - from < m) return std::string_view::npos;
  if (m == 0) return from;
  if (anchor_ != std::string::npos) {
    // The anchor is not a letter, so one byte search finds every candidate.
    const char anchor = literal_[anchor_];
    for (size_t at = from + anchor_; at + (m - anchor_) <= n; ++at) {
      const void* hit = std::memchr(text.data() + at, anchor, n - at - (m - anchor_ - 1));
      if (!hit) break;
      at = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
      if (Matches(text, at - anchor_)) return at - anchor_;
    }
    return std::string_view::npos;
  }
  // The window's last byte decides both the test and the skip.
  const unsigned char last = static_cast<unsigned char>(literal_[m - 1]);
  const unsigned char* data = reinterpret_cast<const unsigned char*>(text.data());
  for (size_t pos = from; pos + m <= n;) {
    const unsigned char c = data[pos + m - 1];
    if ((ignoreCase_ ? kFold[c] : c) == last && Matches(text, pos)) return pos;
    pos += skip_[c];
  }
  return std::string_view::npos;
}

std::vector<size_t> LiteralFinder::FindAll(std::string_view text) const {
  std::vector<size_t> hits;
  for (size_t pos = Find(text); pos != std::string_view::npos; pos = Find(text, pos + 1)) hits.push_back(pos);
  return hits;
}

LazyPattern::LazyPattern(std::string_view pattern) {
  static constexpr std::string_view kAnything = "(.|\\r|\\n)*?";
  static constexpr std::string_view kNoLineBreak = ".*?";
  static constexpr std::string_view kNoCloseAngle = "[^>]*?";
  std::string literal;
  size_t i = 0;
  while (i < pattern.size()) {
    const std::string_view rest = pattern.substr(i);
    std::optional<Gap> gap;
    size_t gapLength = 0;
    if (rest.starts_with(kAnything)) {
      gap = Gap::Anything, gapLength = kAnything.size();
    } else if (rest.starts_with(kNoLineBreak)) {
      gap = Gap::NoLineBreak, gapLength = kNoLineBreak.size();
    } else if (rest.starts_with(kNoCloseAngle)) {
      gap = Gap::NoCloseAngle, gapLength = kNoCloseAngle.size();
    }
    if (gap) {
      // A gap must stand between two pieces of literal text.
      if (literal.empty()) return;
      literals_.emplace_back(literal, Case::Ignore);
      literal.clear();
      gaps_.push_back(*gap);
      i += gapLength;
      continue;
    }
    char c = pattern[i];
    if (c == '\\') {
      if (i + 1 == pattern.size() || !(c = Unescape(pattern[i + 1]))) return;
      i += 2;
    } else {
      if (IsSpecial(c)) return;
      ++i;
    }
    literal.push_back(c);
  }
  if (literal.empty()) return;
  literals_.emplace_back(literal, Case::Ignore);
  valid_ = true;
}

std::optional<Span> LazyPattern::Find(std::string_view text) const {
  if (!valid_) return std::nullopt;
  const size_t n = text.size();
  const size_t count = literals_.size();
  // Cheap first test: each piece must occur somewhere.
  for (const auto& literal : literals_)
    if (literal.Find(text) == std::string_view::npos) return std::nullopt;

  // good[i]: positions where literal i occurs and the rest of the pattern
  // (from literal i on) can match. Built from the last literal backwards,
  // each from the occurrences of its literal and the list after it.
  std::vector<std::vector<size_t>> good(count);
  good[count - 1] = literals_[count - 1].FindAll(text);
  for (size_t i = count - 1; i-- > 0;) {
    const std::vector<size_t>& next = good[i + 1];
    if (next.empty()) return std::nullopt;
    const Gap gap = gaps_[i];
    const size_t length = literals_[i].size();
    size_t nextIndex = 0;
    size_t barrier = 0;  // first excluded character at or after the last p; valid when >= p
    bool barrierKnown = false;
    for (const size_t q : literals_[i].FindAll(text)) {
      const size_t p = q + length;
      while (nextIndex < next.size() && next[nextIndex] < p) ++nextIndex;
      if (nextIndex == next.size()) break;  // later occurrences have no continuation either
      const size_t g = next[nextIndex];
      if (gap != Gap::Anything) {
        if (!barrierKnown || barrier < p) {
          size_t b = p;
          if (gap == Gap::NoCloseAngle) {
            const void* hit = std::memchr(text.data() + p, '>', n - p);
            b = hit ? static_cast<size_t>(static_cast<const char*>(hit) - text.data()) : n;
          } else {
            while (b < n && text[b] != '\r' && text[b] != '\n') ++b;
          }
          barrier = b;
          barrierKnown = true;
        }
        if (g > barrier) continue;
      }
      good[i].push_back(q);
    }
  }
  if (good[0].empty()) return std::nullopt;

  // The leftmost start, then at each gap the shortest run that still lets
  // the rest match: the span a lazy backtracking engine reports.
  Span span{good[0][0], good[0][0] + literals_[0].size()};
  for (size_t i = 1; i < count; ++i) {
    const auto it = std::lower_bound(good[i].begin(), good[i].end(), span.end);
    span.end = *it + literals_[i].size();
  }
  return span;
}

}  // namespace rw
