#include "engine/text_ops.h"

namespace rw {

bool HasMatch(std::string_view text, const LazyPattern& pattern) { return pattern.Find(text).has_value(); }

bool ReplaceFirstMatch(std::string& text, const LazyPattern& pattern, std::string_view with) {
  const auto span = pattern.Find(text);
  if (!span) return false;
  text.replace(span->start, span->end - span->start, with);
  return true;
}

size_t ReplaceEvery(std::string& text, std::string_view find, std::string_view with, Case compare) {
  if (find.empty()) return 0;
  const LiteralFinder finder(find, compare);
  size_t hit = finder.Find(text);
  if (hit == std::string::npos) return 0;  // the common case: no copy
  size_t count = 0;
  std::string out;
  out.reserve(text.size() + with.size());
  size_t pos = 0;
  for (; hit != std::string::npos; hit = finder.Find(text, pos)) {
    out.append(text, pos, hit - pos);
    out.append(with);
    pos = hit + find.size();
    ++count;
  }
  out.append(text, pos);
  text = std::move(out);
  return count;
}

bool ReplaceThroughPlaceholder(std::string& text, const LazyPattern& pattern, std::string_view markup) {
  const bool found = ReplaceFirstMatch(text, pattern, kPlaceholder);
  ReplaceEvery(text, kPlaceholder, markup, Case::Exact);
  return found;
}

}  // namespace rw
