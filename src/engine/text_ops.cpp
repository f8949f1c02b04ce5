#include "engine/text_ops.h"

#include "stores/text.h"

namespace rw {

bool HasMatch(std::string_view text, const LazyPattern& pattern) { return pattern.Find(text).has_value(); }

bool ReplaceFirstMatch(std::string& text, const LazyPattern& pattern, std::string_view with) {
  const auto span = pattern.Find(text);
  if (!span) return false;
  text.replace(span->start, span->end - span->start, with);
  return true;
}

void ReplaceEvery(std::string& text, std::string_view find, std::string_view with, Case compare) {
  if (find.empty()) return;
  const std::string lowerFind = AsciiLower(find);
  const auto next = [&](size_t from) {
    return compare == Case::Ignore ? FindIgnoreCase(text, lowerFind, from) : text.find(find, from);
  };
  size_t hit = next(0);
  if (hit == std::string::npos) return;  // the common case: no copy
  std::string out;
  out.reserve(text.size() + with.size());
  size_t pos = 0;
  for (; hit != std::string::npos; hit = next(pos)) {
    out.append(text, pos, hit - pos);
    out.append(with);
    pos = hit + find.size();
  }
  out.append(text, pos);
  text = std::move(out);
}

void ReplaceThroughPlaceholder(std::string& text, const LazyPattern& pattern, std::string_view markup) {
  ReplaceFirstMatch(text, pattern, kPlaceholder);
  ReplaceEvery(text, kPlaceholder, markup, Case::Exact);
}

}  // namespace rw
