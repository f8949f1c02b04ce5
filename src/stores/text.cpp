#include "stores/text.h"

namespace rw {

std::string CutAtNul(std::string_view text) {
  const auto nul = text.find('\0');
  return std::string(nul == std::string_view::npos ? text : text.substr(0, nul));
}

static char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view with) {
  if (find.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  for (;;) {
    const size_t hit = text.find(find, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(with);
    pos = hit + find.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::string Fill(std::string_view text, std::initializer_list<std::pair<std::string_view, std::string_view>> values) {
  std::string filled;
  filled.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::pair<std::string_view, std::string_view>* found = nullptr;
    for (const auto& value : values)
      if (!value.first.empty() && text.substr(at).starts_with(value.first) &&
          (!found || value.first.size() > found->first.size()))
        found = &value;
    if (found) {
      filled += found->second;
      at += found->first.size();
    } else {
      filled += text[at++];
    }
  }
  return filled;
}

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace rw
