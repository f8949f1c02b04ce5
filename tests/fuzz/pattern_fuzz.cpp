// The pattern matcher and the text operations built on it, against plain
// backtracking references that read like the regular-expression semantics:
// same match spans on small texts, no crash or runaway time on large ones.
//
// Input: a mode byte, a length byte, that many pattern bytes, then the text.
// Mode 0 takes one of the engine's own patterns, mode 1 builds a pattern from
// tokens (so that it is nearly always valid), mode 2 hands the bytes to the
// compiler as they are.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/lazy_pattern.h"
#include "engine/patterns.h"
#include "engine/text_ops.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr size_t kMaxText = 64 * 1024;
// The references are quadratic in the text; beyond this only the
// self-consistency checks run.
constexpr size_t kMaxReferenceText = 512;

using rw::fuzz::Check;

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

enum class Gap { Anything, NoLineBreak, NoCloseAngle };

// A pattern as the reference reads it: literal pieces with gaps between.
struct Parsed {
  std::vector<std::string> pieces;
  std::vector<Gap> gaps;
};

// Reads the supported forms independently of the compiler under test.
std::optional<Parsed> Parse(std::string_view pattern) {
  Parsed parsed;
  std::string piece;
  size_t i = 0;
  while (i < pattern.size()) {
    const std::string_view rest = pattern.substr(i);
    const struct {
      std::string_view form;
      Gap gap;
    } forms[] = {{"(.|\\r|\\n)*?", Gap::Anything}, {".*?", Gap::NoLineBreak}, {"[^>]*?", Gap::NoCloseAngle}};
    bool isGap = false;
    for (const auto& f : forms) {
      if (!rest.starts_with(f.form)) continue;
      if (piece.empty()) return std::nullopt;
      parsed.pieces.push_back(piece);
      parsed.gaps.push_back(f.gap);
      piece.clear();
      i += f.form.size();
      isGap = true;
      break;
    }
    if (isGap) continue;
    const char c = pattern[i];
    if (c == '\\') {
      if (i + 1 == pattern.size()) return std::nullopt;
      const char e = pattern[i + 1];
      if (e == 'r')
        piece += '\r';
      else if (e == 'n')
        piece += '\n';
      else if (std::string_view("#.{}*/\\").find(e) != std::string_view::npos)
        piece += e;
      else
        return std::nullopt;
      i += 2;
      continue;
    }
    if (std::string_view("^$\\.*+?()[]{}|").find(c) != std::string_view::npos) return std::nullopt;
    piece += c;
    ++i;
  }
  if (piece.empty()) return std::nullopt;
  parsed.pieces.push_back(piece);
  return parsed;
}

bool PieceAt(std::string_view text, size_t at, const std::string& piece) {
  if (text.size() - at < piece.size()) return false;
  for (size_t k = 0; k < piece.size(); ++k)
    if (Fold(text[at + k]) != Fold(piece[k])) return false;
  return true;
}

bool GapAllows(Gap gap, char c) {
  if (gap == Gap::NoLineBreak) return c != '\r' && c != '\n';
  if (gap == Gap::NoCloseAngle) return c != '>';
  return true;
}

// Backtracking as a lazy regular-expression engine does it: piece i at `at`,
// then each gap as short as possible. Failed states are remembered so that
// small texts stay cheap; the order of trying is unchanged.
struct Reference {
  const Parsed& p;
  std::string_view text;
  std::vector<std::vector<char>> failed;

  std::optional<size_t> From(size_t i, size_t at) {
    if (failed[i][at]) return std::nullopt;
    if (PieceAt(text, at, p.pieces[i])) {
      const size_t end = at + p.pieces[i].size();
      if (i + 1 == p.pieces.size()) return end;
      for (size_t next = end; next <= text.size(); ++next) {
        if (auto found = From(i + 1, next)) return found;
        if (next == text.size() || !GapAllows(p.gaps[i], text[next])) break;
      }
    }
    failed[i][at] = 1;
    return std::nullopt;
  }

  std::optional<rw::Span> Search() {
    failed.assign(p.pieces.size(), std::vector<char>(text.size() + 1, 0));
    for (size_t start = 0; start <= text.size(); ++start)
      if (auto end = From(0, start)) return rw::Span{start, *end};
    return std::nullopt;
  }
};

// Every occurrence, left to right without overlap, one character at a time.
std::string NaiveReplaceEvery(std::string_view text, std::string_view find, std::string_view with, bool ignoreCase) {
  if (find.empty()) return std::string(text);
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    bool hit = text.size() - i >= find.size();
    for (size_t k = 0; hit && k < find.size(); ++k)
      hit = ignoreCase ? Fold(text[i + k]) == Fold(find[k]) : text[i + k] == find[k];
    if (hit) {
      out.append(with);
      i += find.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

// Pattern tokens: pieces of literal text (escaped where the syntax needs it)
// and the three gaps.
constexpr std::string_view kTokens[] = {
    "a",   "b", "Z",   "<", ">", " ", "'", "\\r", "\\n",  "\\#", "\\.",           "\\*", "\\{",
    "\\}", "/", "\\/", "!", "~", "%", "@", "div", "\\\\", "é",   "(.|\\r|\\n)*?", ".*?", "[^>]*?"};

std::string FromTokens(std::string_view bytes) {
  std::string pattern;
  for (char b : bytes) pattern += kTokens[static_cast<unsigned char>(b) % std::size(kTokens)];
  return pattern;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > kMaxText) return 0;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const unsigned mode = static_cast<unsigned char>(input[0]) % 3;
  const size_t length = static_cast<unsigned char>(input[1]) % 48;
  input.remove_prefix(2);
  std::string pattern;
  if (mode == 0) {
    pattern = rw::patterns::kAll[length % rw::patterns::kAll.size()];
  } else {
    const std::string_view source = input.substr(0, std::min(length, input.size()));
    input.remove_prefix(source.size());
    pattern = mode == 1 ? FromTokens(source) : std::string(source);
  }
  const std::string_view text = input;

  const rw::LazyPattern compiled(pattern);
  const auto parsed = Parse(pattern);
  Check(compiled.valid() == parsed.has_value());
  const auto span = compiled.Find(text);
  if (!compiled.valid()) {
    Check(!span);
    return 0;
  }

  if (span) {
    Check(span->start <= span->end && span->end <= text.size());
    Check(PieceAt(text, span->start, parsed->pieces.front()));
    Check(span->end - span->start >= parsed->pieces.back().size());
    Check(PieceAt(text, span->end - parsed->pieces.back().size(), parsed->pieces.back()));
    // The match starting where it starts, and the text cut after it, give
    // the same span: nothing before it matches, and the gaps only look ahead.
    const auto fromStart = compiled.Find(text.substr(span->start));
    Check(fromStart && fromStart->start == 0 && fromStart->end == span->end - span->start);
    Check(compiled.Find(text.substr(0, span->end)) == span);
  }
  if (text.size() <= kMaxReferenceText) {
    Reference reference{*parsed, text, {}};
    Check(reference.Search() == span);
  }

  // The text operations on the same input.
  std::string replaced(text);
  Check(rw::ReplaceFirstMatch(replaced, compiled, "<x>") == span.has_value());
  if (span) {
    Check(replaced == std::string(text.substr(0, span->start)) + "<x>" + std::string(text.substr(span->end)));
  } else {
    Check(replaced == text);
  }
  if (text.size() <= kMaxReferenceText) {
    // The first piece doubles as a plain find text.
    const std::string& find = parsed->pieces.front();
    for (const auto compare : {rw::Case::Exact, rw::Case::Ignore}) {
      std::string every(text);
      rw::ReplaceEvery(every, find, "$&", compare);
      Check(every == NaiveReplaceEvery(text, find, "$&", compare == rw::Case::Ignore));
    }
    std::string through(text);
    rw::ReplaceThroughPlaceholder(through, compiled, "[m]");
    std::string expected(text);
    if (span) expected.replace(span->start, span->end - span->start, rw::kPlaceholder);
    Check(through == NaiveReplaceEvery(expected, rw::kPlaceholder, "[m]", false));
  }
  return 0;
}
