#include "engine/lazy_pattern.h"

#include <algorithm>
#include <cstring>

namespace rw {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool MatchesAt(std::string_view text, size_t pos, std::string_view lowerLiteral) {
  if (text.size() - pos < lowerLiteral.size()) return false;
  for (size_t k = 0; k < lowerLiteral.size(); ++k)
    if (Lower(text[pos + k]) != lowerLiteral[k]) return false;
  return true;
}

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
// forms below they make the pattern unsupported.
bool IsSpecial(char c) { return std::strchr("^$\\.*+?()[]{}|", c) != nullptr; }

}  // namespace

size_t FindIgnoreCase(std::string_view text, std::string_view lowerLiteral, size_t from) {
  if (lowerLiteral.empty()) return from <= text.size() ? from : std::string_view::npos;
  const char first = lowerLiteral[0];
  const char upper = IsLetter(first) ? static_cast<char>(first - 'a' + 'A') : first;
  size_t pos = from;
  while (pos < text.size()) {
    if (first == upper) {
      const void* hit = std::memchr(text.data() + pos, first, text.size() - pos);
      if (!hit) return std::string_view::npos;
      pos = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
    } else if (text[pos] != first && text[pos] != upper) {
      ++pos;
      continue;
    }
    if (MatchesAt(text, pos, lowerLiteral)) return pos;
    ++pos;
  }
  return std::string_view::npos;
}

std::vector<size_t> FindAllIgnoreCase(std::string_view text, std::string_view lowerLiteral) {
  std::vector<size_t> hits;
  for (size_t pos = FindIgnoreCase(text, lowerLiteral); pos != std::string_view::npos;
       pos = FindIgnoreCase(text, lowerLiteral, pos + 1))
    hits.push_back(pos);
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
      literals_.push_back(std::move(literal));
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
    literal.push_back(Lower(c));
  }
  if (literal.empty()) return;
  literals_.push_back(std::move(literal));
  valid_ = true;
}

std::optional<Span> LazyPattern::Find(std::string_view text) const {
  if (!valid_) return std::nullopt;
  const size_t n = text.size();
  const size_t count = literals_.size();

  // good[i]: positions where literal i occurs and the rest of the pattern
  // (from literal i on) can match. Built from the last literal backwards,
  // each from the occurrences of its literal and the list after it.
  std::vector<std::vector<size_t>> good(count);
  good[count - 1] = FindAllIgnoreCase(text, literals_[count - 1]);
  for (size_t i = count - 1; i-- > 0;) {
    const std::vector<size_t>& next = good[i + 1];
    const Gap gap = gaps_[i];
    const size_t length = literals_[i].size();
    size_t nextIndex = 0;
    size_t barrier = 0;  // first excluded character at or after the last p; valid when >= p
    bool barrierKnown = false;
    for (const size_t q : FindAllIgnoreCase(text, literals_[i])) {
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
